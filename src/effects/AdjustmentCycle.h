#pragma once
// The adjustment cycle: the parameters that are active now, the selected one,
// and the keyboard operations that step, reset and announce it. UI thread.
#include <string>
#include <vector>

struct EffectCycle {
    int currentParam = 0;  // selected parameter id; not kept across runs
};
extern EffectCycle g_effectCycle;

// Factor of one semitone, the rate step in semitone mode.
constexpr float kSemitoneFactor = 1.0594631f;

// Active ids in table order: stream parameters whose switch is on, the
// chosen reverb algorithm's parameters, and those of every DSP effect on.
std::vector<int> BuildCycle();

// [ (-1) and ]: moves through the cycle without wrapping; a selection that
// left the cycle restarts at its first entry.
void SelectNextParam(int direction);
// Up (+1) and Down (-1) on the selected parameter.
void AdjustParam(int direction);
void ResetParam();
void ParamToMinimum();
void ParamToMaximum();
// Speaks the selected parameter and its value (when Speech/Effect is on).
void AnnounceParam();

// One step of `value` for parameter `id` in `direction`: the rules of each
// parameter (volume step and limit, rate semitone mode, wrapping rotation,
// the two 3D toggles), before SetEffectParam's own clamp.
float SteppedValue(int id, float value, int direction);
// The spoken form of parameter `id` at `value`; empty for unknown ids.
std::string ParamAnnouncementText(int id, float value);
