#pragma once
// What the effect commands speak: the real announcement queue in front of a
// screen reader that only writes down what it is given.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "audio/AudioEngine.h"

struct SpokenTexts {
    SpokenTexts();   // fresh settings, English tables, an active queue
    ~SpokenTexts();
    // Delivers what is queued, as the main window would, and returns the
    // utterances since the last call.
    std::vector<std::string> Take();
};

// What leaves the chain: a DSP at the lowest priority, after every stage,
// the volume stage included.
struct OutputTap {
    std::mutex lock;
    std::vector<float> samples;
    static void Proc(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void* user);
    // Forgets what was heard, then collects about `seconds` of output at `rate`.
    std::vector<float> Listen(double seconds, int rate);
};
