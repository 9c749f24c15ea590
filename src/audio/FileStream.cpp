#include "audio/FileStream.h"

#include <sys/stat.h>

#include "audio/EngineState.h"
#include "audio/FfmpegDecoder.h"
#include "audio/FileTags.h"

namespace audio {
namespace {

class FileSource : public StreamSource {
public:
    FfmpegDecoder decoder;
    std::string path;
    // Read from disk once at open: the tags are asked for under the
    // channel's lock, which the mixing thread also takes.
    std::string id3v1, id3v2;

    int Read(float* out, int frames) override { return decoder.Read(out, frames); }
    bool Seek(std::int64_t frame, bool) override
    {
        if (!decoder.Seek(frame)) {
            SetError(kErrPosition);
            return false;
        }
        return true;
    }
    std::int64_t LengthFrames() const override { return decoder.LengthFrames(); }
    std::int64_t PositionFrames() const override { return decoder.PositionFrames(); }
    float BitrateKbps() const override { return decoder.BitrateKbps(); }
    bool IsVariableBitrate() const override { return decoder.IsVariableBitrate(); }
    std::string Tags(int type) const override
    {
        if (type == kTagId3)
            return id3v1;
        if (type == kTagId3v2)
            return id3v2;
        if (type == decoder.MetadataTagType())
            return decoder.MetadataList();
        return {};
    }
};

}  // namespace

std::unique_ptr<StreamSource> OpenFileSource(const std::string& path)
{
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        SetError(kErrFileOpen);
        return nullptr;
    }
    if (st.st_size == 0) {
        SetError(kErrFileForm);
        return nullptr;
    }
    auto source = std::make_unique<FileSource>();
    source->path = path;
    const int error = source->decoder.Open(path);
    if (error != 0) {
        SetError(error);
        return nullptr;
    }
    source->id3v1 = ReadId3v1Block(path);
    source->id3v2 = ReadId3v2Block(path);
    source->sampleRate = source->decoder.sampleRate();
    source->channels = source->decoder.channels();
    return source;
}

}  // namespace audio
