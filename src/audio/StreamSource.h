#pragma once
// What every kind of stream (file, URL, MIDI, custom, tempo) offers the
// channel that plays or decodes it. Sources produce interleaved float frames.
#include <cstdint>
#include <string>

namespace audio {

class StreamSource {
public:
    virtual ~StreamSource() = default;

    // Frames written (> 0), 0 when nothing is ready yet (a network stream
    // waiting for data), -1 at the end. Called with the channel's lock held.
    virtual int Read(float* out, int frames) = 0;
    // Sets the error code and returns false when the source cannot seek.
    virtual bool Seek(std::int64_t frame, bool flush) = 0;
    // -1 unknown, 0 live.
    virtual std::int64_t LengthFrames() const { return -1; }
    // Source time, in frames, of the next frame Read gives.
    virtual std::int64_t PositionFrames() const = 0;
    // How far the source advances per frame produced (tempo streams differ from 1).
    virtual double SourceFramesPerOutputFrame() const { return 1.0; }
    virtual std::string Tags(int /*type*/) const { return {}; }
    virtual float BitrateKbps() const { return 0.0f; }
    virtual bool IsVariableBitrate() const { return false; }
    // Attributes a source owns (tempo options); false when not its own.
    virtual bool GetAttribute(int /*attrib*/, float* /*value*/) const { return false; }
    virtual bool SetAttribute(int /*attrib*/, float /*value*/) { return false; }
    // URL streams: true once the whole file has arrived.
    virtual bool DownloadComplete() const { return false; }
    // MIDI streams: replaces the SoundFont; false for other sources.
    virtual bool SetSoundFont(const std::string& /*path*/) { return false; }
    // Called once when the channel is freed, before the source is destroyed.
    virtual void Shutdown() {}

    int sampleRate = 44100;
    int channels = 2;
};

}  // namespace audio
