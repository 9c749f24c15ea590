#pragma once
// The algorithms behind the engine's built-in effect types: reverbs, echo,
// volume, peaking EQ band and compressor. Each processor works in place on
// interleaved float frames on the mixing thread; parameter blocks arrive
// through SetParameters under the channel's lock, between two blocks.
#include <memory>

#include "audio/EffectParams.h"

// Most channels an effect processes; further channels pass through.
constexpr int kMaxEffectChannels = 8;

// Whether an effect block's channel selector (-1 all, else a bit per
// channel, bit 0 = first) includes channel `index`.
inline bool EffectChannelSelected(int selector, int index)
{
    return selector == -1 || (index < 31 && ((selector >> index) & 1) != 0);
}

std::unique_ptr<audio::EffectProcessor> MakeFreeverbEffect();
std::unique_ptr<audio::EffectProcessor> MakeDx8ReverbEffect();
std::unique_ptr<audio::EffectProcessor> MakeI3dl2ReverbEffect();
std::unique_ptr<audio::EffectProcessor> MakeEchoEffect();
std::unique_ptr<audio::EffectProcessor> MakeVolumeEffect();
std::unique_ptr<audio::EffectProcessor> MakePeakEqEffect();
std::unique_ptr<audio::EffectProcessor> MakeCompressorEffect();

// Plugs every algorithm above into the engine; safe to call again.
void RegisterBuiltInEffects();
