#pragma once
// The output device: SDL2 for real devices, our own real-time "No sound"
// device otherwise. The device side only copies from a ring that the mixing
// thread fills; both sides are lock-free.
#include <cstdint>

#include "audio/AudioEngine.h"

namespace audio {

constexpr int kDeviceChannels = 2;

// Device numbers as the API uses them: 0 "No sound", 1.. real devices.
bool DeviceInfoAt(int device, DeviceInfo* info);
// Opens a device (-1 default; a default that fails gives "No sound").
// Returns the device opened, or -1 with the error code set.
int DeviceOpen(int device, int sampleRate);
void DeviceClose();

int DeviceSampleRate();
// Frames the mixing thread should add to reach the ring's target fill.
int DeviceFramesWanted();
void DeviceWrite(const float* frames, int count);
// Frames written but not yet heard (ring plus the device's own buffer).
int DeviceQueuedFrames();
std::uint64_t DeviceUnderruns();
// Sleeps the mixing thread about until the ring wants more (at most `ms`).
void DeviceWaitForSpace(int ms);

}  // namespace audio
