#pragma once
#include <cstdint>

#include "tempo/TempoProcessor.h"

// The engine's own tempo stream (SoundTouch). No lock of its own: the audio
// engine serialises access to the stream. Freeing the output frees the
// source too.
class SoundTouchProcessor : public TempoProcessor {
public:
    // `extraOutputFlags` are added to the output stream's creation flags:
    // audio::kStreamDecode makes an output that is pulled with
    // ChannelGetData instead of played (offline rendering).
    explicit SoundTouchProcessor(std::uint32_t extraOutputFlags = 0);
    ~SoundTouchProcessor() override;

    audio::Handle create(audio::Handle source, float sampleRate) override;
    void release() override;
    void setTempo(float percent) override;
    void setPitch(float semitones) override;
    void setRate(float factor) override;
    float getTempo() override { return tempo_; }
    float getPitch() override { return pitch_; }
    float getRate() override { return rate_; }
    bool isActive() override { return output_ != 0; }
    int typeId() override { return kTempoSoundTouch; }
    double lengthSeconds() override;
    double positionSeconds() override;
    void seek(double seconds) override;
    audio::Handle sourceHandle() override { return source_; }

private:
    std::uint32_t extraOutputFlags_;
    audio::Handle source_ = 0;
    audio::Handle output_ = 0;
    float sampleRate_ = 44100.0f;
    float tempo_ = 0.0f;
    float pitch_ = 0.0f;
    float rate_ = 1.0f;
};
