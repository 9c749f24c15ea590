// Runs 60 s of 44.1 kHz stereo noise through every stage of the effect chain
// in 1024-frame blocks, as the mixing thread does, and prints the CPU time
// each stage takes per second of audio.
#include "audio/EffectParams.h"
#include "effects/BuiltInEffects.h"
#include "effects/StereoEffects.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 60;
constexpr int kBlock = 1024;

double MillisecondsPerSecond(const std::function<void(float*, int)>& stage, std::vector<float> audio)
{
    const auto start = std::chrono::steady_clock::now();
    for (size_t at = 0; at + kBlock * 2 <= audio.size(); at += kBlock * 2)
        stage(&audio[at], kBlock);
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / kSeconds;
}

}  // namespace

int main()
{
    std::vector<float> audio(static_cast<size_t>(kRate) * kSeconds * 2);
    std::mt19937 random(1);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    for (float& v : audio)
        v = noise(random);

    struct Named {
        const char* name;
        std::unique_ptr<audio::EffectProcessor> fx;
    } engines[] = {
        {"Freeverb", MakeFreeverbEffect()}, {"DX8 reverb", MakeDx8ReverbEffect()},
        {"I3DL2 reverb", MakeI3dl2ReverbEffect()}, {"echo", MakeEchoEffect()},
        {"EQ band", MakePeakEqEffect()}, {"compressor", MakeCompressorEffect()},
    };
    audio::FreeverbParams freeverb;
    engines[0].fx->SetParameters(&freeverb);
    audio::Dx8ReverbParams dx8;
    engines[1].fx->SetParameters(&dx8);
    audio::I3dl2ReverbParams i3dl2;
    engines[2].fx->SetParameters(&i3dl2);
    audio::Echo4Params echo;
    engines[3].fx->SetParameters(&echo);
    audio::PeakEqParams band;
    band.gain = 6.0f;
    engines[4].fx->SetParameters(&band);
    audio::Compressor2Params compressor;
    engines[5].fx->SetParameters(&compressor);

    double total = 0.0;
    for (Named& e : engines) {
        const double ms = MillisecondsPerSecond([&](float* s, int n) { e.fx->Process(s, n, 2, kRate); }, audio);
        std::printf("%-14s %7.3f ms per second of audio\n", e.name, ms);
        total += ms;
    }
    PrepareCenterCancelEngine();
    const double width = MillisecondsPerSecond([](float* s, int n) { ApplyStereoWidth(s, n, 150.0f); }, audio);
    const double cancel = MillisecondsPerSecond([](float* s, int n) { ApplyCenterCancel(s, n, 100.0f); }, audio);
    std::printf("%-14s %7.3f ms per second of audio\n", "stereo width", width);
    std::printf("%-14s %7.3f ms per second of audio\n", "centre cancel", cancel);
    total += width + cancel;
    std::printf("one reverb of each kind, echo, one EQ band, compressor and both stereo routines: %.3f ms per second\n", total);
    return 0;
}
