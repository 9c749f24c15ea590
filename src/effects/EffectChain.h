#pragma once
// The effect chain on the output channel, in its fixed order: reverb, echo,
// EQ (pre-amplifier and three bands), compressor, stereo width, centre cancel,
// and last the volume stage (gain and mute, after every other DSP and effect).
// UI thread; the stages themselves run on the mixing thread.
#include "audio/AudioEngine.h"

// Installs on `channel` every stage that is switched on and not installed yet.
// A chain left on another channel is taken off that channel first.
void ApplyEffects(audio::Handle channel);
// Takes every stage of the chain off the channel (the volume stage included).
void RemoveAllEffects(audio::Handle channel);

// Effect n (0 reverb .. 7 3D audio) on or off: stored in the settings, and
// on the open stream the effect is added (through ApplyEffects) or removed
// at once. n outside 0..7 is ignored.
void SetDspSwitch(int n, bool on);
// Reverb algorithm a (0 off, 1 Freeverb, 2 DX8, 3 I3DL2; others ignored):
// the installed reverb is removed and, when a > 0 and a stream is open, the
// new one installed.
void SetReverbAlgorithm(int algorithm);

// Parameter `id` (4..25) changed: its installed effect takes the new value at
// once. Effects that are not installed are left alone.
void UpdateEffectParams(int id);

// Read by the volume stage on the mixing thread without locks.
void SetVolumeStageGain(float gain, bool muted);

// What is installed now, for the Options dialog and the tests: the number of
// engine effects and DSP routines the chain holds on its channel.
int InstalledEffectCount();
// The channel the chain is installed on; 0 when none.
audio::Handle EffectChainChannel();
