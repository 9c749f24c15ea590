#pragma once
// The effect chain on the output channel. Today it holds the volume stage:
// gain and mute applied last, after every other DSP and effect.
#include "audio/AudioEngine.h"

// Installs the chain on a channel (replacing one installed earlier).
void ApplyEffects(audio::Handle channel);
// Takes every stage of the chain off the channel.
void RemoveAllEffects(audio::Handle channel);

// Read by the volume stage on the mixing thread without locks.
void SetVolumeStageGain(float gain, bool muted);
