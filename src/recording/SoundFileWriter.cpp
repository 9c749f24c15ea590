#include "recording/SoundFileWriter.h"

#include "platform/Paths.h"
#include "recording/RecordingName.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

namespace {

SNDFILE* Handle(const SoundFileWriter* w) { return static_cast<SNDFILE*>(w->file); }

// Vorbis is set by quality, not bit rate: nominal rates of qualities 0..10
// for 44.1 kHz stereo.
double VorbisQualityFor(int kbps)
{
    static const int kRates[] = {64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 500};
    if (kbps <= kRates[0])
        return 0.0;
    for (int q = 1; q <= 10; ++q) {
        if (kbps <= kRates[q])
            return (q - 1 + double(kbps - kRates[q - 1]) / (kRates[q] - kRates[q - 1])) / 10.0;
    }
    return 1.0;
}

int MajorFormat(int format)
{
    switch (format) {
    case kRecordMp3: return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    case kRecordOgg: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case kRecordFlac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    default: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    }
}

void SetBitrate(SNDFILE* file, int format, int kbps)
{
    if (format == kRecordMp3) {
        int mode = SF_BITRATE_MODE_CONSTANT;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
        // libsndfile maps level 0..1 linearly onto 320..32 kbps.
        double level = std::clamp((320.0 - kbps) / (320.0 - 32.0), 0.0, 1.0);
        sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    } else if (format == kRecordOgg) {
        double level = 1.0 - VorbisQualityFor(kbps);
        sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }
}

void SyncFolder(const std::string& path)
{
    const int fd = ::open(ParentDir(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string NumberedPath(const std::string& path, int n)
{
    const std::string name = FileNamePart(path);
    const std::size_t dot = name.rfind('.');
    const std::size_t cut = path.size() - name.size() + (dot == std::string::npos || dot == 0 ? name.size() : dot);
    return path.substr(0, cut) + " (" + std::to_string(n) + ")" + path.substr(cut);
}

bool OpenSoundFile(SoundFileWriter* writer, const std::string& finalPath, int format, int bitrate, int rate,
                   int channels)
{
    format = ClampRecordingFormat(format);
    const std::string folder = ParentDir(finalPath);
    writer->finalPath = finalPath;
    writer->tempPath = (folder.empty() ? "" : folder + "/") + "." + FileNamePart(finalPath) + ".part";
    writer->channels = channels;

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = MajorFormat(format);
    if (!sf_format_check(&info))
        return false;
    SNDFILE* file = sf_open(writer->tempPath.c_str(), SFM_WRITE, &info);
    if (!file) {
        ::unlink(writer->tempPath.c_str());
        return false;
    }
    writer->file = file;
    // Float samples above full scale must clip, not wrap around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    SetBitrate(file, format, bitrate);
    return true;
}

bool WriteSoundFrames(SoundFileWriter* writer, const float* frames, long long count)
{
    if (!writer->file || count <= 0)
        return writer->file != nullptr;
    return sf_writef_float(Handle(writer), frames, count) == count;
}

std::string FinishSoundFile(SoundFileWriter* writer)
{
    if (!writer->file)
        return {};
    sf_write_sync(Handle(writer));
    const bool closed = sf_close(Handle(writer)) == 0;
    writer->file = nullptr;
    if (!closed)
        return {};
    // link() refuses an existing name, so an earlier recording is never replaced.
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? writer->finalPath : NumberedPath(writer->finalPath, n);
        if (::link(writer->tempPath.c_str(), target.c_str()) == 0) {
            ::unlink(writer->tempPath.c_str());
            SyncFolder(target);
            return target;
        }
        if (errno != EEXIST)
            break;
    }
    // Filesystems without hard links: rename only onto a free name.
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? writer->finalPath : NumberedPath(writer->finalPath, n);
        if (!PathExists(target) && ::rename(writer->tempPath.c_str(), target.c_str()) == 0) {
            SyncFolder(target);
            return target;
        }
    }
    return {};
}

void AbandonSoundFile(SoundFileWriter* writer)
{
    if (writer->file) {
        sf_close(Handle(writer));
        writer->file = nullptr;
    }
    if (!writer->tempPath.empty())
        ::unlink(writer->tempPath.c_str());
}
