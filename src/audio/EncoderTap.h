#pragma once
// A tap on a channel's processed output for file encoders: a DSP routine on
// the mixing thread copies every block into a lock-free ring, and one reader
// thread (the encoder's writer) takes the frames out. The mixing thread never
// waits: when the reader falls behind, the newest frames are dropped and counted.
#include <cstddef>
#include <cstdint>

#include "audio/AudioEngine.h"

namespace audio {

// After the effects, before the volume stage (kVolumeStagePriority), so that a
// recording carries tempo, pitch and effects but not the listener's volume.
constexpr int kEncoderTapPriority = -1000;

struct EncoderTap;

// Attaches a tap holding up to `capacityFrames` frames; null on failure (a
// bad channel leaves the engine's error code set). Sample rate and channel count are the channel's.
EncoderTap* EncoderTapAttach(Handle channel, std::size_t capacityFrames);
// Takes up to `maxFrames` interleaved frames; returns how many. Reader thread.
std::size_t EncoderTapRead(EncoderTap* tap, float* out, std::size_t maxFrames);
int EncoderTapRate(const EncoderTap* tap);
int EncoderTapChannels(const EncoderTap* tap);
Handle EncoderTapChannel(const EncoderTap* tap);
std::uint64_t EncoderTapDroppedFrames(const EncoderTap* tap);
// Removes the DSP routine; afterwards the mixing thread no longer touches the
// tap. Harmless when the channel is already gone (freeing it removed the DSP).
void EncoderTapDetach(EncoderTap* tap);
// Detaches if needed and frees the tap.
void EncoderTapFree(EncoderTap* tap);

}  // namespace audio
