#pragma once
// The program's own stereo DSP routines: stereo width and centre cancel. Both
// read their parameter from g_effectValues on every call and leave anything
// but two-channel audio untouched.
#include <cstdint>

#include "audio/AudioEngine.h"

// DSP routines for audio::ChannelSetDsp; `user` carries the channel count,
// taken when the routine is installed (cast from an integer).
void StereoWidthDsp(audio::Handle dsp, audio::Handle channel, void* buffer, std::uint32_t length, void* user);
void CenterCancelDsp(audio::Handle dsp, audio::Handle channel, void* buffer, std::uint32_t length, void* user);

// Builds the process-wide centre-cancel engine if it does not exist yet. Call
// it before installing CenterCancelDsp so that the mixing thread never
// allocates; without the engine the routine passes audio through when the
// amount is positive.
void PrepareCenterCancelEngine();

// The same algorithms on a plain interleaved stereo buffer, for callers that
// hold samples themselves.
void ApplyStereoWidth(float* frames, int count, float widthPercent);
void ApplyCenterCancel(float* frames, int count, float amountPercent);
