#pragma once
// The mixing thread: keeps each playing channel's buffer filled (source,
// then DSP and effects in priority order) and mixes the channels, at their
// playback rate and volume, into the device ring.
#include <cstdint>

#include "audio/EngineState.h"

namespace audio {

void MixerStart();
void MixerStop();
void MixerAdd(const ChannelPtr& channel);   // starts mixing it (idempotent)
void MixerRemove(Handle channel);
void MixerWake();
// Best effort real-time scheduling for the threads that feed the device.
void RaiseThreadPriority();

// With the channel's lock held: empties its playback buffer.
void ClearPlaybackBuffer(Channel& ch);
// With the channel's lock held: source time of what is being heard now.
std::int64_t HeardPositionFrames(Channel& ch);
// With the channel's lock held: runs the DSP and effect chain over a block.
void RunChain(Channel& ch, float* samples, int frames);

}  // namespace audio
