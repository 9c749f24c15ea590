#include "tempo/SoundTouchProcessor.h"

#include "storage/Settings.h"

using namespace audio;

SoundTouchProcessor::SoundTouchProcessor(std::uint32_t extraOutputFlags)
    : extraOutputFlags_(extraOutputFlags) {}

SoundTouchProcessor::~SoundTouchProcessor() { release(); }

Handle SoundTouchProcessor::create(Handle source, float sampleRate) {
    source_ = source;
    sampleRate_ = sampleRate;
    output_ = TempoStreamCreate(source, kFxFreeSource | kSampleFloat | extraOutputFlags_);
    if (output_ == 0) return 0;
    const Settings::SoundTouch& options = g_settings.soundTouch;
    ChannelSetAttribute(output_, kAttribTempoUseAaFilter, options.antiAliasFilter ? 1.0f : 0.0f);
    ChannelSetAttribute(output_, kAttribTempoAaFilterLength, static_cast<float>(options.aaFilterLength));
    ChannelSetAttribute(output_, kAttribTempoUseQuickAlgo, options.quickAlgorithm ? 1.0f : 0.0f);
    ChannelSetAttribute(output_, kAttribTempoSequenceMs, static_cast<float>(options.sequenceMs));
    ChannelSetAttribute(output_, kAttribTempoSeekWindowMs, static_cast<float>(options.seekWindowMs));
    ChannelSetAttribute(output_, kAttribTempoOverlapMs, static_cast<float>(options.overlapMs));
    ChannelSetAttribute(output_, kAttribTempoPreventClick, options.preventClick ? 1.0f : 0.0f);
    ChannelSetAttribute(output_, kAttribTempo, tempo_);
    ChannelSetAttribute(output_, kAttribTempoPitch, pitch_);
    ChannelSetAttribute(output_, kAttribTempoFreq, rate_ * sampleRate_);
    return output_;
}

void SoundTouchProcessor::release() {
    if (output_ != 0) StreamFree(output_);  // frees the source with it
    output_ = 0;
    source_ = 0;
}

void SoundTouchProcessor::setTempo(float percent) {
    tempo_ = percent;
    if (output_ != 0) ChannelSetAttribute(output_, kAttribTempo, tempo_);
}

void SoundTouchProcessor::setPitch(float semitones) {
    pitch_ = semitones;
    if (output_ != 0) ChannelSetAttribute(output_, kAttribTempoPitch, pitch_);
}

void SoundTouchProcessor::setRate(float factor) {
    rate_ = factor;
    if (output_ != 0) ChannelSetAttribute(output_, kAttribTempoFreq, rate_ * sampleRate_);
}

double SoundTouchProcessor::lengthSeconds() {
    if (output_ == 0) return 0.0;
    const std::int64_t bytes = ChannelGetLength(output_);
    return bytes < 0 ? 0.0 : ChannelBytes2Seconds(output_, bytes);
}

double SoundTouchProcessor::positionSeconds() {
    if (output_ == 0) return 0.0;
    const std::int64_t bytes = ChannelGetPosition(output_);
    return bytes < 0 ? 0.0 : ChannelBytes2Seconds(output_, bytes);
}

void SoundTouchProcessor::seek(double seconds) {
    if (output_ == 0) return;
    ChannelSetPosition(output_, ChannelSeconds2Bytes(output_, seconds), kPosFlush);
}
