#include "effects/EffectSwitches.h"

#include "effects/EffectChain.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"

namespace {

bool* StreamSwitchField(int n)
{
    switch (n) {
    case 0: return &g_settings.effects.volume;
    case 1: return &g_settings.effects.pitch;
    case 2: return &g_settings.effects.tempo;
    case 3: return &g_settings.effects.rate;
    default: return nullptr;
    }
}

bool* DspSwitchField(int n)
{
    Settings::DspEffects& e = g_settings.dspEffects;
    switch (n) {
    case 0: return &e.reverb;
    case 1: return &e.echo;
    case 2: return &e.eq;
    case 3: return &e.compressor;
    case 4: return &e.stereoWidth;
    case 5: return &e.centerCancel;
    case 6: return &e.convolution;
    case 7: return &e.spatialAudio;
    default: return nullptr;
    }
}

const char* const kStreamNames[] = {"Volume", "Pitch", "Tempo", "Rate"};
const char* const kEffectNames[] = {"Reverb", "Echo", "EQ", "Compressor", "Stereo Width",
                                    "Center Cancel", "Convolution", "3D Audio"};
const char* const kReverbNames[] = {"Off", "Freeverb", "DX8 Reverb", "I3DL2 Reverb"};

}  // namespace

bool StreamParamSwitch(int n)
{
    const bool* on = StreamSwitchField(n);
    return on && *on;
}

bool DspEffectSwitch(int n)
{
    if (n == 0)
        return g_settings.effects.reverbAlgorithm > 0;
    const bool* on = DspSwitchField(n);
    return on && *on;
}

std::string StreamParamToggleText(int n, bool on)
{
    if (n < 0 || n > 3)
        return {};
    return std::string(kStreamNames[n]) + (on ? " enabled" : " disabled");
}

std::string DspEffectToggleText(int n, bool on, int reverbAlgorithm)
{
    if (n == 0) {
        if (reverbAlgorithm < 0 || reverbAlgorithm > 3)
            return {};
        return std::string("Reverb: ") + kReverbNames[reverbAlgorithm];
    }
    if (n < 1 || n > 7)
        return {};
    return std::string(kEffectNames[n]) + (on ? " enabled" : " disabled");
}

void ToggleStreamParam(int n)
{
    bool* on = StreamSwitchField(n);
    if (!on)
        return;
    *on = !*on;
    Announce(StreamParamToggleText(n, *on), true);
}

void ToggleDspEffect(int n)
{
    if (n == 0) {
        // A stored value outside 0..3 starts the cycle again from off.
        const int current = g_settings.effects.reverbAlgorithm;
        const int next = current >= 0 && current < 3 ? current + 1 : 0;
        SetReverbAlgorithm(next);
        Announce(DspEffectToggleText(0, next > 0, next), true);
        return;
    }
    bool* on = DspSwitchField(n);
    if (!on)
        return;
    SetDspSwitch(n, !*on);
    Announce(DspEffectToggleText(n, *on, g_settings.effects.reverbAlgorithm), true);
}
