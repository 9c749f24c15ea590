#include "audio/FfmpegDecoder.h"

#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

#include "audio/AudioCodes.h"

namespace audio {

FfmpegDecoder::~FfmpegDecoder() { Close(); }

void FfmpegDecoder::Close()
{
    swr_free(&swr_);
    avcodec_free_context(&codec_);
    if (format_)
        avformat_close_input(&format_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
}

int FfmpegDecoder::Open(const std::string& path, AVIOContext* io)
{
    format_ = avformat_alloc_context();
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!format_ || !packet_ || !frame_)
        return kErrMemory;
    if (io) {
        format_->pb = io;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    if (quickProbe_) {
        format_->probesize = 64 * 1024;
        format_->max_analyze_duration = AV_TIME_BASE / 2;
    }
    int r = avformat_open_input(&format_, io ? "" : path.c_str(), nullptr, nullptr);
    if (r < 0) {
        format_ = nullptr;  // freed by the failed open
        if (r == AVERROR(ENOENT) || r == AVERROR(EACCES) || r == AVERROR(EISDIR))
            return kErrFileOpen;
        return r == AVERROR(ETIMEDOUT) ? kErrTimeout : kErrFileForm;
    }
    if (avformat_find_stream_info(format_, nullptr) < 0)
        return kErrFileForm;
    formatName_ = format_->iformat ? format_->iformat->name : "";

    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ == AVERROR_DECODER_NOT_FOUND)
        return kErrCodec;
    if (stream_ < 0)
        return kErrFileForm;
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        if (static_cast<int>(i) != stream_)
            format_->streams[i]->discard = AVDISCARD_ALL;
    }
    AVStream* st = format_->streams[stream_];
    if (!decoder)
        return kErrCodec;
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, st->codecpar) < 0)
        return kErrMemory;
    codec_->pkt_timebase = st->time_base;
    if (avcodec_open2(codec_, decoder, nullptr) < 0)
        return kErrCodec;
    rate_ = codec_->sample_rate;
    channels_ = codec_->ch_layout.nb_channels;
    if (rate_ <= 0 || channels_ <= 0 || channels_ > 32)
        return kErrFormat;

    startTime_ = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        lengthFrames_ = av_rescale_q(st->duration, st->time_base, AVRational{1, rate_});
    else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
        lengthFrames_ = av_rescale_q(format_->duration, AV_TIME_BASE_Q, AVRational{1, rate_});
    if (format_->bit_rate > 0)
        bitrateKbps_ = static_cast<float>(format_->bit_rate) / 1000.0f;
    else if (st->codecpar->bit_rate > 0)
        bitrateKbps_ = static_cast<float>(st->codecpar->bit_rate) / 1000.0f;

    // A file that opens but yields no sound at all is not one we can play.
    if (!DecodeMore())
        return kErrFileForm;
    return 0;
}

void FfmpegDecoder::Append(AVFrame* frame)
{
    const int n = frame->nb_samples;
    if (n <= 0)
        return;
    std::int64_t start = decodedEnd_;
    int skip = 0;
    if (dropUntil_ >= 0) {
        // First frames after a seek: the demuxer lands at or before the target.
        const std::int64_t pts = frame->best_effort_timestamp;
        start = pts != AV_NOPTS_VALUE
                    ? av_rescale_q(pts - startTime_, format_->streams[stream_]->time_base, AVRational{1, rate_})
                    : dropUntil_;
        if (start + n <= dropUntil_) {
            decodedEnd_ = start + n;
            return;
        }
        skip = static_cast<int>(std::max<std::int64_t>(0, dropUntil_ - start));
        dropUntil_ = -1;
        position_ = start + skip;
    }

    const bool direct = frame->format == AV_SAMPLE_FMT_FLT && frame->ch_layout.nb_channels == channels_ &&
                        frame->sample_rate == rate_ && !swr_;
    const std::size_t before = pending_.size();
    if (direct) {
        const float* src = reinterpret_cast<const float*>(frame->data[0]) + static_cast<std::size_t>(skip) * channels_;
        pending_.insert(pending_.end(), src, src + static_cast<std::size_t>(n - skip) * channels_);
    } else {
        if (!swr_ || swrInFormat_ != frame->format || swrInRate_ != frame->sample_rate ||
            swrInChannels_ != frame->ch_layout.nb_channels) {
            swr_free(&swr_);
            AVChannelLayout out{};
            av_channel_layout_default(&out, channels_);
            AVChannelLayout in{};
            if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
                av_channel_layout_default(&in, frame->ch_layout.nb_channels);
            else
                av_channel_layout_copy(&in, &frame->ch_layout);
            swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_FLT, rate_, &in,
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
            av_channel_layout_uninit(&in);
            av_channel_layout_uninit(&out);
            if (!swr_ || swr_init(swr_) < 0) {
                swr_free(&swr_);
                return;
            }
            swrInFormat_ = frame->format;
            swrInRate_ = frame->sample_rate;
            swrInChannels_ = frame->ch_layout.nb_channels;
        }
        const int room = swr_get_out_samples(swr_, n);
        pending_.resize(before + static_cast<std::size_t>(std::max(room, 0)) * channels_);
        std::uint8_t* outPtr = reinterpret_cast<std::uint8_t*>(pending_.data() + before);
        const int got = swr_convert(swr_, &outPtr, room, const_cast<const std::uint8_t**>(frame->extended_data), n);
        pending_.resize(before + static_cast<std::size_t>(std::max(got, 0)) * channels_);
        const std::size_t have = std::max(got, 0);
        const std::size_t cut = std::min<std::size_t>(have, static_cast<std::size_t>(skip));
        if (cut > 0)
            pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(before),
                           pending_.begin() + static_cast<std::ptrdiff_t>(before + cut * channels_));
    }
    const auto added = static_cast<std::int64_t>((pending_.size() - before) / channels_);
    decodedEnd_ = start + skip + added;
}

bool FfmpegDecoder::DecodeMore()
{
    const std::size_t had = pending_.size();
    while (true) {
        int r = avcodec_receive_frame(codec_, frame_);
        if (r == 0) {
            Append(frame_);
            av_frame_unref(frame_);
            if (pending_.size() > had)
                return true;
            continue;
        }
        // A broken frame (any other error) is skipped: ask for more input.
        if (r == AVERROR_EOF || (r != AVERROR(EAGAIN) && flushed_))
            return false;
        if (inputEnded_) {
            if (flushed_)
                return false;
            avcodec_send_packet(codec_, nullptr);
            flushed_ = true;
            continue;
        }
        r = av_read_frame(format_, packet_);
        if (r < 0) {
            inputEnded_ = true;
            continue;
        }
        if (packet_->stream_index != stream_) {
            av_packet_unref(packet_);
            continue;
        }
        if (packetsMeasured_ < 200 && packet_->duration > 0 && packet_->size > 0) {
            const double rateNow = packet_->size / static_cast<double>(packet_->duration);
            if (packetsMeasured_ == 0 || rateNow < minPacketRate_)
                minPacketRate_ = rateNow;
            if (packetsMeasured_ == 0 || rateNow > maxPacketRate_)
                maxPacketRate_ = rateNow;
            ++packetsMeasured_;
            vbr_ = maxPacketRate_ > minPacketRate_ * 1.1;
        }
        r = avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
        (void)r;  // a packet the decoder rejects is skipped
    }
}

int FfmpegDecoder::Read(float* out, int frames)
{
    int copied = 0;
    while (copied < frames) {
        std::size_t avail = pending_.size() / channels_ - pendingRead_;
        if (avail == 0) {
            pending_.clear();
            pendingRead_ = 0;
            if (!DecodeMore())
                break;
            continue;
        }
        const std::size_t n = std::min<std::size_t>(avail, static_cast<std::size_t>(frames - copied));
        std::memcpy(out + static_cast<std::size_t>(copied) * channels_, pending_.data() + pendingRead_ * channels_,
                    n * channels_ * sizeof(float));
        pendingRead_ += n;
        copied += static_cast<int>(n);
        position_ += static_cast<std::int64_t>(n);
    }
    return copied > 0 ? copied : -1;
}

bool FfmpegDecoder::Seek(std::int64_t frame)
{
    if (frame < 0)
        return false;
    AVStream* st = format_->streams[stream_];
    const std::int64_t ts = av_rescale_q(frame, AVRational{1, rate_}, st->time_base) + startTime_;
    int r = avformat_seek_file(format_, stream_, INT64_MIN, ts, ts, 0);
    if (r < 0)
        r = av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD);
    if (r < 0)
        return false;
    avcodec_flush_buffers(codec_);
    swr_free(&swr_);
    pending_.clear();
    pendingRead_ = 0;
    inputEnded_ = false;
    flushed_ = false;
    dropUntil_ = frame;
    position_ = frame;
    decodedEnd_ = frame;
    return true;
}

std::string FfmpegDecoder::MetadataList() const
{
    std::string list;
    auto add = [&list](const AVDictionary* dict) {
        const AVDictionaryEntry* e = nullptr;
        while ((e = av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
            list += e->key;
            list += '=';
            list += e->value;
            list += '\0';
        }
    };
    add(format_->metadata);
    add(format_->streams[stream_]->metadata);  // OGG Vorbis and Opus keep theirs here
    // The Ogg demuxer turns CHAPTERnnn comments into its chapter list and
    // drops them from the metadata: give them back in comment form.
    if (MetadataTagType() == kTagVorbis && list.find("CHAPTER") == std::string::npos) {
        for (unsigned i = 0; i < format_->nb_chapters && i < 999; ++i) {
            const AVChapter* c = format_->chapters[i];
            const double start = c->start * av_q2d(c->time_base);
            if (!(start >= 0))
                continue;
            const long ms = static_cast<long>(start * 1000.0 + 0.5);
            char key[16], value[48];
            std::snprintf(key, sizeof key, "CHAPTER%03u", i + 1);
            std::snprintf(value, sizeof value, "%02ld:%02ld:%02ld.%03ld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
            list += std::string(key) + "=" + value + '\0';
            if (const AVDictionaryEntry* title = av_dict_get(c->metadata, "title", nullptr, 0))
                list += std::string(key) + "NAME=" + title->value + '\0';
        }
    }
    if (!list.empty())
        list += '\0';
    return list;
}

int FfmpegDecoder::MetadataTagType() const
{
    const std::string& f = formatName_;
    if (f == "ogg" || f == "flac" || f == "opus")
        return kTagVorbis;
    if (f == "ape" || f == "wv" || f == "mpc" || f == "mpc8" || f == "tak")
        return kTagApe;
    if (f.rfind("mov", 0) == 0)
        return kTagMp4;
    if (f == "asf")
        return kTagWma;
    if (f == "wav" || f == "w64")
        return kTagRiffInfo;
    if (f == "mp3" || f == "mpeg")
        return -1;  // MP3 tags are the raw ID3 blocks
    return kTagMediaFoundation;  // any other container's key=value list
}

}  // namespace audio
