#include "effects/EffectChain.h"

#include "audio/EffectParams.h"
#include "effects/BuiltInEffects.h"
#include "effects/EffectParams.h"
#include "effects/StereoEffects.h"
#include "playback/PlaybackSession.h"
#include "storage/Settings.h"

#include <atomic>
#include <cmath>
#include <cstdint>

namespace {

std::atomic<float> g_stageGain{1.0f};
std::atomic<bool> g_stageMuted{false};
// Mirrors Advanced/LegacyVolume for the mixing thread: the attribute then
// carries the gain and the stage must not apply it twice.
std::atomic<bool> g_stageLegacy{false};

// Each stage has its own priority so that the order holds whichever effect
// was switched on first; all run before the volume stage.
enum StagePriority : int {
    kReverbPriority = 90,
    kEchoPriority = 80,
    kPreampPriority = 70,
    kBandPriority = 69,   // bass; mid and treble one and two below
    kCompressorPriority = 60,
    kStereoWidthPriority = 50,
    kCenterCancelPriority = 40,
};

enum Band { kBass, kMid, kTreble, kBandCount };

struct ChainHandles {
    audio::Handle channel = 0;
    audio::Handle reverb = 0;
    int reverbAlgorithm = 0;  // algorithm of the installed reverb
    audio::Handle echo = 0;
    audio::Handle preamp = 0;
    audio::Handle bands[kBandCount] = {};
    audio::Handle compressor = 0;
    audio::Handle stereoWidth = 0;
    audio::Handle centerCancel = 0;
    audio::Handle volume = 0;
};
ChainHandles g_chain;

float Value(int id) { return g_effectValues[id].load(std::memory_order_relaxed); }

void VolumeStage(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void*)
{
    if (g_stageLegacy.load(std::memory_order_relaxed))
        return;
    const float gain = g_stageMuted.load(std::memory_order_relaxed) ? 0.0f : g_stageGain.load(std::memory_order_relaxed);
    if (gain == 1.0f)
        return;
    // A squared law, as the legacy volume attribute: 50 % is a factor of 0.25.
    const float factor = gain * gain;
    float* samples = static_cast<float*>(buffer);
    const std::uint32_t count = length / sizeof(float);
    for (std::uint32_t i = 0; i < count; ++i)
        samples[i] *= factor;
}

int ReverbFxType(int algorithm)
{
    switch (algorithm) {
    case 1: return audio::kFxFreeverb;
    case 2: return audio::kFxDx8Reverb;
    case 3: return audio::kFxI3dl2Reverb;
    default: return 0;
    }
}

// The fields of each block that follow the parameters; the others keep
// what the block holds.
void FillReverb(int algorithm, void* block)
{
    if (algorithm == 1) {
        auto* p = static_cast<audio::FreeverbParams*>(block);
        p->dryMix = 1.0f - Value(4) / 100.0f;
        p->wetMix = Value(4) / 100.0f * 3.0f;
        p->roomSize = Value(5) / 100.0f;
        p->damp = Value(6) / 100.0f;
    } else if (algorithm == 2) {
        auto* p = static_cast<audio::Dx8ReverbParams*>(block);
        p->reverbMix = Value(9);
        p->reverbTime = Value(7);
        p->highFreqRtRatio = Value(8);
    } else if (algorithm == 3) {
        auto* p = static_cast<audio::I3dl2ReverbParams*>(block);
        p->room = static_cast<int>(Value(10));
        p->decayTime = Value(11);
        p->diffusion = Value(12);
        p->density = Value(13);
    }
}

void FillEcho(audio::Echo4Params* p)
{
    p->dryMix = 1.0f - Value(16) / 100.0f;
    p->wetMix = Value(16) / 100.0f;
    p->feedback = Value(15) / 100.0f;
    p->delay = Value(14) / 1000.0f;
}

void FillCompressor(audio::Compressor2Params* p)
{
    p->threshold = Value(21);
    p->ratio = Value(22);
    p->attack = Value(23);
    p->release = Value(24);
    p->gain = Value(25);
}

float PreampGain() { return std::pow(10.0f, Value(17) / 20.0f); }

void InstallReverb(audio::Handle channel, int algorithm)
{
    const int type = ReverbFxType(algorithm);
    if (!type)
        return;
    const audio::Handle fx = audio::ChannelSetFx(channel, type, kReverbPriority);
    if (!fx)
        return;
    if (algorithm == 1) {
        audio::FreeverbParams p;
        p.width = 1.0f;
        p.mode = 0;
        p.channel = -1;
        FillReverb(1, &p);
        audio::FxSetParameters(fx, &p);
    } else if (algorithm == 2) {
        audio::Dx8ReverbParams p;
        p.inGain = 0.0f;
        FillReverb(2, &p);
        audio::FxSetParameters(fx, &p);
    } else {
        audio::I3dl2ReverbParams p;
        p.roomHf = 0;
        p.roomRolloffFactor = 0.0f;
        p.decayHfRatio = 0.83f;
        p.reflections = -2602;
        p.reflectionsDelay = 0.007f;
        p.reverb = 200;
        p.reverbDelay = 0.011f;
        p.hfReference = 5000.0f;
        FillReverb(3, &p);
        audio::FxSetParameters(fx, &p);
    }
    g_chain.reverb = fx;
    g_chain.reverbAlgorithm = algorithm;
}

void InstallEq(audio::Handle channel)
{
    if (!g_chain.preamp) {
        g_chain.preamp = audio::ChannelSetFx(channel, audio::kFxVolume, kPreampPriority);
        audio::VolumeParams p;
        p.channel = -1;
        p.volume = PreampGain();
        if (g_chain.preamp)
            audio::FxSetParameters(g_chain.preamp, &p);
    }
    // The centres are read only here: a changed frequency is heard the next
    // time the EQ is installed.
    const float centres[kBandCount] = {g_settings.advanced.eqBassFreq, g_settings.advanced.eqMidFreq,
                                       g_settings.advanced.eqTrebleFreq};
    for (int band = 0; band < kBandCount; ++band) {
        if (g_chain.bands[band])
            continue;
        g_chain.bands[band] = audio::ChannelSetFx(channel, audio::kFxPeakEq, kBandPriority - band);
        if (!g_chain.bands[band])
            continue;
        audio::PeakEqParams p;
        p.band = 0;
        p.bandwidth = 2.5f;
        p.q = 0.0f;
        p.center = centres[band];
        p.gain = Value(kParamEqBass + band);
        p.channel = -1;
        audio::FxSetParameters(g_chain.bands[band], &p);
    }
}

void RemoveFx(audio::Handle& fx)
{
    if (fx && g_chain.channel)
        audio::ChannelRemoveFx(g_chain.channel, fx);
    fx = 0;
}

void RemoveDsp(audio::Handle& dsp)
{
    if (dsp && g_chain.channel)
        audio::ChannelRemoveDsp(g_chain.channel, dsp);
    dsp = 0;
}

void RemoveEffect(int n)
{
    switch (n) {
    case 0: RemoveFx(g_chain.reverb); g_chain.reverbAlgorithm = 0; break;
    case 1: RemoveFx(g_chain.echo); break;
    case 2:
        RemoveFx(g_chain.preamp);
        for (audio::Handle& band : g_chain.bands)
            RemoveFx(band);
        break;
    case 3: RemoveFx(g_chain.compressor); break;
    case 4: RemoveDsp(g_chain.stereoWidth); break;
    case 5: RemoveDsp(g_chain.centerCancel); break;
    default: break;  // convolution and 3D audio install nothing yet
    }
}

bool* SwitchField(int n)
{
    Settings::DspEffects& e = g_settings.dspEffects;
    bool* fields[] = {&e.reverb, &e.echo, &e.eq, &e.compressor, &e.stereoWidth, &e.centerCancel, &e.convolution, &e.spatialAudio};
    return n >= 0 && n < 8 ? fields[n] : nullptr;
}

}  // namespace

void SetVolumeStageGain(float gain, bool muted)
{
    g_stageGain.store(gain, std::memory_order_relaxed);
    g_stageMuted.store(muted, std::memory_order_relaxed);
}

void ApplyEffects(audio::Handle channel)
{
    if (!channel)
        return;
    RegisterBuiltInEffects();
    if (g_chain.channel && g_chain.channel != channel)
        RemoveAllEffects(g_chain.channel);
    g_chain.channel = channel;

    const Settings::DspEffects& on = g_settings.dspEffects;
    const int algorithm = g_settings.effects.reverbAlgorithm;
    if (algorithm > 0 && !g_chain.reverb)
        InstallReverb(channel, algorithm);
    if (on.echo && !g_chain.echo) {
        g_chain.echo = audio::ChannelSetFx(channel, audio::kFxEcho4, kEchoPriority);
        audio::Echo4Params p;
        p.stereo = 1;
        p.channel = -1;
        FillEcho(&p);
        if (g_chain.echo)
            audio::FxSetParameters(g_chain.echo, &p);
    }
    if (on.eq)
        InstallEq(channel);
    if (on.compressor && !g_chain.compressor) {
        g_chain.compressor = audio::ChannelSetFx(channel, audio::kFxCompressor2, kCompressorPriority);
        audio::Compressor2Params p;
        p.channel = -1;
        FillCompressor(&p);
        if (g_chain.compressor)
            audio::FxSetParameters(g_chain.compressor, &p);
    }
    audio::ChannelInfo info;
    const int channels = audio::ChannelGetInfo(channel, &info) ? info.channels : 0;
    // The routines learn the channel count here; the mixing thread never asks.
    void* channelCount = reinterpret_cast<void*>(static_cast<std::intptr_t>(channels));
    if (on.stereoWidth && !g_chain.stereoWidth)
        g_chain.stereoWidth = audio::ChannelSetDsp(channel, StereoWidthDsp, channelCount, kStereoWidthPriority);
    if (on.centerCancel && !g_chain.centerCancel) {
        PrepareCenterCancelEngine();
        g_chain.centerCancel = audio::ChannelSetDsp(channel, CenterCancelDsp, channelCount, kCenterCancelPriority);
    }

    g_stageLegacy.store(g_settings.advanced.legacyVolume, std::memory_order_relaxed);
    if (g_settings.advanced.legacyVolume) {
        // The channel's own volume attribute carries the gain instead.
        const float gain = g_stageMuted.load() ? 0.0f : g_stageGain.load();
        audio::ChannelSetAttribute(channel, audio::kAttribVolume, gain * gain);
    } else if (!g_chain.volume) {
        g_chain.volume = audio::ChannelSetDsp(channel, VolumeStage, nullptr, audio::kVolumeStagePriority);
    }
}

void RemoveAllEffects(audio::Handle channel)
{
    if (!channel || channel != g_chain.channel)
        return;
    for (int n = 0; n < 8; ++n)
        RemoveEffect(n);
    RemoveDsp(g_chain.volume);
    g_chain = ChainHandles{};
}

void SetDspSwitch(int n, bool on)
{
    bool* field = SwitchField(n);
    if (!field)
        return;
    const bool was = *field;
    *field = on;
    if (!g_session.output || was == on)
        return;
    if (on)
        ApplyEffects(g_session.output);
    else
        RemoveEffect(n);
}

void SetReverbAlgorithm(int algorithm)
{
    if (algorithm < 0 || algorithm > 3)
        return;
    RemoveEffect(0);
    g_settings.effects.reverbAlgorithm = algorithm;
    g_settings.dspEffects.reverb = algorithm > 0;
    if (algorithm > 0 && g_session.output)
        ApplyEffects(g_session.output);
}

void UpdateEffectParams(int id)
{
    if (id >= 4 && id <= 13) {
        if (!g_chain.reverb || g_chain.reverbAlgorithm != ReverbAlgorithmOfParam(id))
            return;
        // Large enough for any reverb block; read first so other fields stay.
        alignas(8) unsigned char block[sizeof(audio::I3dl2ReverbParams) + sizeof(audio::FreeverbParams)] = {};
        if (audio::FxGetParameters(g_chain.reverb, block)) {
            FillReverb(g_chain.reverbAlgorithm, block);
            audio::FxSetParameters(g_chain.reverb, block);
        }
    } else if (id >= 14 && id <= 16) {
        audio::Echo4Params p;
        if (g_chain.echo && audio::FxGetParameters(g_chain.echo, &p)) {
            FillEcho(&p);
            audio::FxSetParameters(g_chain.echo, &p);
        }
    } else if (id == 17) {
        audio::VolumeParams p;
        if (g_chain.preamp && audio::FxGetParameters(g_chain.preamp, &p)) {
            p.channel = -1;
            p.volume = PreampGain();
            audio::FxSetParameters(g_chain.preamp, &p);
        }
    } else if (id >= kParamEqBass && id <= kParamEqTreble) {
        const audio::Handle band = g_chain.bands[id - kParamEqBass];
        audio::PeakEqParams p;
        if (band && audio::FxGetParameters(band, &p)) {
            p.gain = Value(id);
            audio::FxSetParameters(band, &p);
        }
    } else if (id >= 21 && id <= 25) {
        audio::Compressor2Params p;
        if (g_chain.compressor && audio::FxGetParameters(g_chain.compressor, &p)) {
            FillCompressor(&p);
            audio::FxSetParameters(g_chain.compressor, &p);
        }
    }
}

int InstalledEffectCount()
{
    int count = 0;
    for (audio::Handle h : {g_chain.reverb, g_chain.echo, g_chain.preamp, g_chain.bands[0], g_chain.bands[1],
                            g_chain.bands[2], g_chain.compressor, g_chain.stereoWidth, g_chain.centerCancel,
                            g_chain.volume})
        count += h != 0;
    return count;
}

audio::Handle EffectChainChannel() { return g_chain.channel; }
