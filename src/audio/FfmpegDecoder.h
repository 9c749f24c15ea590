#pragma once
// One audio track of a file or byte stream decoded with FFmpeg into
// interleaved float frames, with sample-exact seeking.
#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVIOContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

namespace audio {

class FfmpegDecoder {
public:
    FfmpegDecoder() = default;
    ~FfmpegDecoder();
    FfmpegDecoder(const FfmpegDecoder&) = delete;
    FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

    // Opens a path, or when `io` is given a byte stream read through it (the
    // caller keeps `io` alive and frees it after this object). Returns 0 or an
    // engine error code.
    int Open(const std::string& path, AVIOContext* io = nullptr);
    // Network streams: probe only a little, so that opening a live stream
    // does not wait for seconds of it.
    void SetQuickProbe(bool quick) { quickProbe_ = quick; }

    int Read(float* out, int frames);   // frames, or -1 at the end
    bool Seek(std::int64_t frame);
    std::int64_t LengthFrames() const { return lengthFrames_; }
    std::int64_t PositionFrames() const { return position_; }

    int sampleRate() const { return rate_; }
    int channels() const { return channels_; }
    float BitrateKbps() const { return bitrateKbps_; }
    bool IsVariableBitrate() const { return vbr_; }
    const std::string& FormatName() const { return formatName_; }
    // The container's and the track's metadata: "key=value" texts, each ended
    // by a zero byte, the list by an empty text. Empty when there is none.
    std::string MetadataList() const;
    // Tag block type the container's metadata is reported under.
    int MetadataTagType() const;

private:
    bool DecodeMore();                  // false at the end
    void Append(AVFrame* frame);
    void Close();

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    int rate_ = 0;
    int channels_ = 0;
    int swrInFormat_ = -1;
    int swrInRate_ = 0;
    int swrInChannels_ = 0;
    std::int64_t lengthFrames_ = -1;
    std::int64_t position_ = 0;         // frame index of the next frame Read gives
    std::int64_t decodedEnd_ = 0;       // frame index after the last pending frame
    std::int64_t dropUntil_ = -1;       // after a seek: frames before this are dropped
    std::int64_t startTime_ = 0;        // stream start in its time base
    bool inputEnded_ = false;
    bool flushed_ = false;
    float bitrateKbps_ = 0.0f;
    bool vbr_ = false;
    bool quickProbe_ = false;
    double minPacketRate_ = 0.0;
    double maxPacketRate_ = 0.0;
    int packetsMeasured_ = 0;
    std::string formatName_;
    std::vector<float> pending_;
    std::size_t pendingRead_ = 0;       // frames already handed out of pending_
};

}  // namespace audio
