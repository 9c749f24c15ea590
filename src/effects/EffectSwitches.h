#pragma once
// The switches that put parameters into the adjustment cycle: the four
// stream-parameter switches and the eight DSP effect switches.
#include <string>

// Stream parameter n (0 volume, 1 pitch, 2 tempo, 3 rate) is in the cycle.
bool StreamParamSwitch(int n);
// DSP effect n (0 reverb .. 7 3D audio) is on; reverb counts as on when a
// reverb algorithm is chosen.
bool DspEffectSwitch(int n);

// Inverts a stream-parameter switch and speaks "<Name> enabled/disabled";
// the parameter's value is left alone. n outside 0..3 is ignored.
void ToggleStreamParam(int n);
// n 0 cycles the reverb algorithm (off, Freeverb, DX8, I3DL2) and speaks
// "Reverb: <algorithm>"; n 1..7 inverts that effect's switch and speaks
// "<Effect> enabled/disabled". n outside 0..7 is ignored.
void ToggleDspEffect(int n);

// The spoken texts of the two toggles, for the value the switch now has.
std::string StreamParamToggleText(int n, bool on);
std::string DspEffectToggleText(int n, bool on, int reverbAlgorithm);
