#pragma once
// Parameter blocks of the built-in effect types, as set with FxSetParameters
// and read back with FxGetParameters. Channel -1 means all channels.
#include <memory>

#include "audio/AudioCodes.h"

namespace audio {

struct FreeverbParams {
    float dryMix = 1.0f;
    float wetMix = 1.0f;
    float roomSize = 0.5f;
    float damp = 0.5f;
    float width = 1.0f;
    int mode = 0;
    int channel = -1;
};

struct Dx8ReverbParams {
    float inGain = 0.0f;        // dB
    float reverbMix = 0.0f;     // dB
    float reverbTime = 1000.0f; // ms
    float highFreqRtRatio = 0.001f;
};

struct I3dl2ReverbParams {
    int room = -1000;           // mB
    int roomHf = -100;
    float roomRolloffFactor = 0.0f;
    float decayTime = 1.49f;    // s
    float decayHfRatio = 0.83f;
    int reflections = -2602;
    float reflectionsDelay = 0.007f;
    int reverb = 200;
    float reverbDelay = 0.011f;
    float diffusion = 100.0f;
    float density = 100.0f;
    float hfReference = 5000.0f;
};

struct VolumeParams {
    int channel = -1;
    float volume = 1.0f;        // linear factor
};

struct PeakEqParams {
    int band = 0;
    float bandwidth = 2.5f;     // octaves
    float q = 0.0f;
    float center = 1000.0f;     // Hz
    float gain = 0.0f;          // dB
    int channel = -1;
};

struct Compressor2Params {
    float gain = 0.0f;          // dB
    float threshold = -15.0f;   // dB
    float ratio = 3.0f;
    float attack = 10.0f;       // ms
    float release = 200.0f;     // ms
    int channel = -1;
};

struct Echo4Params {
    float dryMix = 1.0f;
    float wetMix = 0.5f;
    float feedback = 0.5f;
    float delay = 0.5f;         // s
    int stereo = 1;
    int channel = -1;
};

// Size of the parameter block of an effect type; 0 for an unknown type.
int EffectParamsSize(int fxType);

// The processing side of a built-in effect. The engine keeps the parameter
// block and hands it over on every change; until a factory is registered for a
// type, its slots pass audio through unchanged.
class EffectProcessor {
public:
    virtual ~EffectProcessor() = default;
    virtual void SetParameters(const void* params) = 0;
    // Interleaved float frames, in place, on the mixing thread.
    virtual void Process(float* samples, int frames, int channels, int sampleRate) = 0;
};

using EffectFactory = std::unique_ptr<EffectProcessor> (*)(int fxType);

// Registers the algorithm of one effect type (nullptr removes it); slots set
// afterwards use it.
void RegisterEffectFactory(int fxType, EffectFactory factory);

}  // namespace audio
