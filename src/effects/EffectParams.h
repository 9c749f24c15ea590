#pragma once
// The 38 adjustable effect parameters: their table, their current values and
// the one setter that clamps a value and applies it to the open stream.
#include <atomic>
#include <cstddef>

constexpr int kEffectParamCount = 38;

// Ids with behaviour of their own.
constexpr int kParamVolume = 0;
constexpr int kParamPitch = 1;
constexpr int kParamTempo = 2;
constexpr int kParamRate = 3;
constexpr int kParamEqBass = 18;
constexpr int kParamEqMid = 19;
constexpr int kParamEqTreble = 20;
constexpr int kParamSpatialRotation = 32;
constexpr int kParamSpatialMode = 33;
constexpr int kParamSpatialRearCenter = 34;

// Group of a row: the stream parameters, then DSP effect numbers 0..7.
constexpr int kGroupStream = -1;
constexpr int kGroupReverb = 0;

struct EffectParamInfo {
    int id;
    const char* key;   // DSPParams key; Playback key for ids 0..3
    const char* name;  // spoken, never translated
    const char* unit;  // appended directly to the value
    float minimum;
    float maximum;
    float step;
    float defaultValue;
    int group;
};

extern const EffectParamInfo EffectParams[kEffectParamCount];

// The row of an id; nullptr outside 0..37.
const EffectParamInfo* FindEffectParam(int id);

// The reverb algorithm (1 Freeverb, 2 DX8, 3 I3DL2) a parameter belongs to; 0
// for parameters outside the reverb group.
int ReverbAlgorithmOfParam(int id);

// The upper limit in force: volume stops at 1.0 unless amplification is allowed.
float EffectParamMaximum(int id);

// Current values. The DSP routines read them on the mixing thread without
// locks; slots 0..3 only mirror the last value set for the stream parameters.
extern std::atomic<float> g_effectValues[kEffectParamCount];

// Every slot back to its table default.
void ResetEffectValues();
// Start-up: defaults first, then every DSP parameter (ids 4..37) from the
// loaded settings, through SetEffectParam so stored values are clamped.
void LoadEffectValuesFromSettings();

// Clamps, stores and applies at once where a stream is open; unknown ids are
// ignored. Stream parameters land in the Playback settings, DSP parameters in
// both their slot and the DSPParams settings so the next save keeps them.
void SetEffectParam(int id, float value);
// Ids 0..3 from the Playback settings, 4..37 from their slot, else 0.
float GetEffectParam(int id);
