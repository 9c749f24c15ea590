#include "effects/EffectParams.h"

#include "audio/AudioEngine.h"
#include "effects/EffectChain.h"
#include "playback/PlaybackSession.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <algorithm>
#include <cmath>

const EffectParamInfo EffectParams[kEffectParamCount] = {
    {0, "Volume", "Volume", "%", 0.0f, 4.0f, 0.02f, 1.0f, -1},
    {1, "Pitch", "Pitch", " semitones", -12.0f, 12.0f, 1.0f, 0.0f, -1},
    {2, "Tempo", "Tempo", "%", -75.0f, 200.0f, 5.0f, 0.0f, -1},
    {3, "Rate", "Rate", "x", 0.25f, 4.0f, 0.01f, 1.0f, -1},
    {4, "ReverbMix", "Reverb Mix", "%", 0.0f, 100.0f, 5.0f, 30.0f, 0},
    {5, "ReverbRoom", "Reverb Room", "%", 0.0f, 100.0f, 5.0f, 50.0f, 0},
    {6, "ReverbDamp", "Reverb Damp", "%", 0.0f, 100.0f, 5.0f, 50.0f, 0},
    {7, "DX8ReverbTime", "DX8 Reverb Time", "ms", 1.0f, 3000.0f, 100.0f, 1000.0f, 0},
    {8, "DX8ReverbHFRatio", "DX8 HF Ratio", "", 0.001f, 0.999f, 0.1f, 0.5f, 0},
    {9, "DX8ReverbMix", "DX8 Reverb Mix", "dB", -96.0f, 0.0f, 3.0f, -10.0f, 0},
    {10, "I3DL2Room", "I3DL2 Room", "mB", -10000.0f, 0.0f, 500.0f, -1000.0f, 0},
    {11, "I3DL2DecayTime", "I3DL2 Decay", "s", 0.1f, 20.0f, 0.5f, 1.49f, 0},
    {12, "I3DL2Diffusion", "I3DL2 Diffusion", "%", 0.0f, 100.0f, 5.0f, 100.0f, 0},
    {13, "I3DL2Density", "I3DL2 Density", "%", 0.0f, 100.0f, 5.0f, 100.0f, 0},
    {14, "EchoDelay", "Echo Delay", "ms", 10.0f, 2000.0f, 50.0f, 300.0f, 1},
    {15, "EchoFeedback", "Echo Feedback", "%", 0.0f, 90.0f, 5.0f, 40.0f, 1},
    {16, "EchoMix", "Echo Mix", "%", 0.0f, 100.0f, 5.0f, 30.0f, 1},
    {17, "EQPreamp", "EQ Preamp", "dB", -15.0f, 0.0f, 1.0f, 0.0f, 2},
    {18, "EQBass", "EQ Bass", "dB", -15.0f, 15.0f, 1.0f, 0.0f, 2},
    {19, "EQMid", "EQ Mid", "dB", -15.0f, 15.0f, 1.0f, 0.0f, 2},
    {20, "EQTreble", "EQ Treble", "dB", -15.0f, 15.0f, 1.0f, 0.0f, 2},
    {21, "CompThreshold", "Comp Threshold", "dB", -60.0f, 0.0f, 3.0f, -20.0f, 3},
    {22, "CompRatio", "Comp Ratio", ":1", 1.0f, 20.0f, 1.0f, 4.0f, 3},
    {23, "CompAttack", "Comp Attack", "ms", 0.01f, 500.0f, 10.0f, 20.0f, 3},
    {24, "CompRelease", "Comp Release", "ms", 10.0f, 2000.0f, 50.0f, 200.0f, 3},
    {25, "CompGain", "Comp Gain", "dB", -20.0f, 20.0f, 1.0f, 0.0f, 3},
    {26, "StereoWidth", "Stereo Width", "%", 0.0f, 200.0f, 10.0f, 100.0f, 4},
    {27, "CenterCancel", "Center Cancel", "%", -100.0f, 100.0f, 10.0f, 0.0f, 5},
    {28, "ConvolutionMix", "Conv Mix", "%", 0.0f, 100.0f, 5.0f, 50.0f, 6},
    {29, "ConvolutionGain", "Conv Gain", "dB", -20.0f, 20.0f, 1.0f, 0.0f, 6},
    {30, "SpatialBlend", "3D Blend", "%", 0.0f, 100.0f, 5.0f, 100.0f, 7},
    {31, "SpatialWidth", "3D Width", " deg", 15.0f, 90.0f, 5.0f, 45.0f, 7},
    {32, "SpatialRotation", "3D Rotation", " deg", -180.0f, 180.0f, 5.0f, 0.0f, 7},
    {33, "SpatialMode", "3D Mode", "", 0.0f, 1.0f, 1.0f, 0.0f, 7},
    {34, "SpatialRearCenter", "3D Rear Speaker", "", 0.0f, 1.0f, 1.0f, 1.0f, 7},
    {35, "SpatialX", "3D Listener X", "", -50.0f, 50.0f, 1.0f, 0.0f, 7},
    {36, "SpatialY", "3D Listener Y", "", -50.0f, 50.0f, 1.0f, 0.0f, 7},
    {37, "SpatialZ", "3D Listener Z", "", -50.0f, 50.0f, 1.0f, 0.0f, 7},
};

std::atomic<float> g_effectValues[kEffectParamCount];

static_assert(std::atomic<float>::is_always_lock_free, "the mixing thread reads these without locks");

namespace {

void ApplyVolume(float gain)
{
    g_settings.playback.volume = gain;
    // The same stage SetVolume drives, without its spoken text: the cycle
    // speaks its own.
    SetVolumeStageGain(gain, g_session.muted);
    if (g_settings.advanced.legacyVolume && g_session.output) {
        const float level = g_session.muted ? 0.0f : gain;
        audio::ChannelSetAttribute(g_session.output, audio::kAttribVolume, level * level);
    }
}

// The processor of the open stream; none is built just to take a value.
TempoProcessor* OpenTempoProcessor()
{
    if (!g_session.output)
        return nullptr;
    TempoProcessor* processor = CurrentTempoProcessor();
    return processor && processor->isActive() ? processor : nullptr;
}

}  // namespace

// The table defaults before anything else runs, as start-up expects.
static const bool g_effectDefaultsSet = (ResetEffectValues(), true);

const EffectParamInfo* FindEffectParam(int id)
{
    if (id < 0 || id >= kEffectParamCount)
        return nullptr;
    return &EffectParams[id];
}

int ReverbAlgorithmOfParam(int id)
{
    if (id >= 4 && id <= 6)
        return 1;
    if (id >= 7 && id <= 9)
        return 2;
    if (id >= 10 && id <= 13)
        return 3;
    return 0;
}

float EffectParamMaximum(int id)
{
    if (id == kParamVolume)
        return g_settings.playback.allowAmplify ? 4.0f : 1.0f;
    const EffectParamInfo* row = FindEffectParam(id);
    return row ? row->maximum : 0.0f;
}

void ResetEffectValues()
{
    for (const EffectParamInfo& row : EffectParams)
        g_effectValues[row.id].store(row.defaultValue, std::memory_order_relaxed);
}

void LoadEffectValuesFromSettings()
{
    ResetEffectValues();
    for (int id = 4; id < kEffectParamCount; ++id) {
        if (const float* stored = DspParamField(g_settings.dspParams, id))
            SetEffectParam(id, *stored);
    }
}

void SetEffectParam(int id, float value)
{
    const EffectParamInfo* row = FindEffectParam(id);
    if (!row)
        return;
    // A NaN would pass through clamp and reach the DSP routines.
    if (std::isnan(value))
        value = row->defaultValue;
    value = std::clamp(value, row->minimum, EffectParamMaximum(id));
    g_effectValues[id].store(value, std::memory_order_relaxed);

    switch (id) {
    case kParamVolume:
        ApplyVolume(value);
        return;
    case kParamPitch:
        g_settings.playback.pitch = value;
        if (TempoProcessor* processor = OpenTempoProcessor())
            processor->setPitch(value);
        return;
    case kParamTempo:
        g_settings.playback.tempo = value;
        if (!g_session.live) {
            if (TempoProcessor* processor = OpenTempoProcessor())
                processor->setTempo(value);
        }
        return;
    case kParamRate:
        g_settings.playback.rate = value;
        if (g_session.output && !g_session.live)
            audio::ChannelSetAttribute(g_session.output, audio::kAttribFreq, value * g_session.sourceRate);
        return;
    default:
        if (float* stored = DspParamField(g_settings.dspParams, id))
            *stored = value;
        // Engine effects hold their own parameter blocks; the program's DSP
        // routines read the slot on their next block.
        if (id <= 25)
            UpdateEffectParams(id);
        return;
    }
}

float GetEffectParam(int id)
{
    switch (id) {
    case kParamVolume: return g_settings.playback.volume;
    case kParamPitch: return g_settings.playback.pitch;
    case kParamTempo: return g_settings.playback.tempo;
    case kParamRate: return g_settings.playback.rate;
    default: break;
    }
    if (id < 0 || id >= kEffectParamCount)
        return 0.0f;
    return g_effectValues[id].load(std::memory_order_relaxed);
}
