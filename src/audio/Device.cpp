#include "audio/Device.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/EngineState.h"
#include "audio/Mixer.h"

namespace audio {
namespace {

// Single producer (mixing thread), single consumer (device side).
struct FrameRing {
    std::vector<float> data;
    std::size_t capacity = 0;  // frames, a power of two
    std::atomic<std::uint64_t> writeCount{0};
    std::atomic<std::uint64_t> readCount{0};

    void Reset(std::size_t frames)
    {
        capacity = frames;
        data.assign(frames * kDeviceChannels, 0.0f);
        writeCount = 0;
        readCount = 0;
    }
    std::size_t Queued() const { return static_cast<std::size_t>(writeCount.load() - readCount.load()); }

    void Write(const float* src, std::size_t frames)
    {
        std::uint64_t w = writeCount.load(std::memory_order_relaxed);
        for (std::size_t done = 0; done < frames;) {
            const std::size_t at = w % capacity;
            const std::size_t n = std::min(frames - done, capacity - at);
            std::memcpy(&data[at * kDeviceChannels], src + done * kDeviceChannels, n * kDeviceChannels * sizeof(float));
            done += n;
            w += n;
        }
        writeCount.store(w, std::memory_order_release);
    }
    // Copies up to `frames`; returns how many were there.
    std::size_t Read(float* dst, std::size_t frames)
    {
        std::uint64_t r = readCount.load(std::memory_order_relaxed);
        const std::size_t avail = static_cast<std::size_t>(writeCount.load(std::memory_order_acquire) - r);
        const std::size_t take = std::min(avail, frames);
        for (std::size_t done = 0; done < take;) {
            const std::size_t at = r % capacity;
            const std::size_t n = std::min(take - done, capacity - at);
            if (dst)
                std::memcpy(dst + done * kDeviceChannels, &data[at * kDeviceChannels], n * kDeviceChannels * sizeof(float));
            done += n;
            r += n;
        }
        readCount.store(r, std::memory_order_release);
        return take;
    }
};

struct DeviceState {
    FrameRing ring;
    int rate = 44100;
    int targetFrames = 0;        // fill the mixer keeps in the ring
    int deviceBufferFrames = 0;  // the device's own buffer, for latency
    std::atomic<std::uint64_t> underruns{0};
    std::atomic<bool> primed{false};
    SDL_AudioDeviceID sdlDevice = 0;
    bool sdlReady = false;
    std::thread noSoundThread;
    std::atomic<bool> noSoundRunning{false};
    std::mutex wakeMutex;
    std::condition_variable wake;
};

DeviceState g_device;

bool EnsureSdlAudio()
{
    if (g_device.sdlReady)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    g_device.sdlReady = true;
    return true;
}

void ConsumeInto(float* out, std::size_t frames)
{
    const std::size_t got = g_device.ring.Read(out, frames);
    if (got < frames) {
        if (out)
            std::memset(out + got * kDeviceChannels, 0, (frames - got) * kDeviceChannels * sizeof(float));
        if (g_device.primed.load(std::memory_order_relaxed))
            g_device.underruns.fetch_add(1, std::memory_order_relaxed);
    }
    // Wake the mixing thread once a quarter of the cushion is gone: fewer
    // wake-ups, and most of it left to absorb a late one.
    if (static_cast<int>(g_device.ring.Queued()) <= g_device.targetFrames * 3 / 4)
        g_device.wake.notify_one();
}

void SdlCallback(void*, Uint8* stream, int len)
{
    ConsumeInto(reinterpret_cast<float*>(stream), static_cast<std::size_t>(len) / (sizeof(float) * kDeviceChannels));
}

// "No sound": takes frames from the ring at the real-time rate and drops them.
// Like a sound card's thread it runs at raised priority where allowed, so that
// a busy machine delays it no more than it would a real device.
void NoSoundLoop()
{
    using Clock = std::chrono::steady_clock;
    RaiseThreadPriority();
    while (g_device.noSoundRunning && !g_device.primed)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const auto start = Clock::now();
    std::uint64_t consumed = 0;
    while (g_device.noSoundRunning) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = static_cast<std::uint64_t>(elapsed * g_device.rate);
        if (due > consumed) {
            ConsumeInto(nullptr, static_cast<std::size_t>(due - consumed));
            consumed = due;
        }
    }
}

int OpenSdl(const char* name, int rate)
{
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = kDeviceChannels;
    want.samples = 1024;  // smaller buffers gave 11.6 ms callbacks
    want.callback = SdlCallback;
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    if (id == 0)
        return -1;
    g_device.sdlDevice = id;
    g_device.deviceBufferFrames = have.samples;
    return 0;
}

}  // namespace

bool DeviceInfoAt(int device, DeviceInfo* info)
{
    if (device == kDeviceNoSound) {
        info->name = "No sound";
        info->driver = "";
        info->flags = kDeviceEnabled;
    } else {
        if (device < 1 || !EnsureSdlAudio())
            return false;
        const int count = SDL_GetNumAudioDevices(0);
        if (device > count)
            return false;
        const char* name = SDL_GetAudioDeviceName(device - 1, 0);
        info->name = name ? name : "";
        info->driver = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
        info->flags = kDeviceEnabled;
        char* defaultName = nullptr;
        SDL_AudioSpec spec{};
        if (SDL_GetDefaultAudioInfo(&defaultName, &spec, 0) == 0 && defaultName) {
            if (info->name == defaultName)
                info->flags |= kDeviceIsDefault;
            SDL_free(defaultName);
        } else if (device == 1) {
            info->flags |= kDeviceIsDefault;
        }
    }
    if (g_audio.initialized && g_audio.device == device)
        info->flags |= kDeviceInitialized;
    return true;
}

int DeviceOpen(int device, int sampleRate)
{
    g_device.rate = sampleRate;
    g_device.ring.Reset(32768);
    g_device.underruns = 0;
    g_device.primed = false;
    g_device.deviceBufferFrames = 0;
    g_device.targetFrames = sampleRate * 100 / 1000;

    int opened = kDeviceNoSound;
    if (device != kDeviceNoSound) {
        const char* name = nullptr;
        std::string nameText;
        if (device > 0) {
            DeviceInfo info;
            if (!DeviceInfoAt(device, &info)) {
                SetError(kErrDevice);
                return -1;
            }
            nameText = info.name;
            name = nameText.c_str();
        }
        if (EnsureSdlAudio() && OpenSdl(name, sampleRate) == 0) {
            opened = device;
        } else if (device > 0) {
            SetError(kErrDriver);
            return -1;
        }
        // The default device failing (no sound hardware or server) falls
        // through to "No sound" so that the program still runs.
    }
    if (g_device.sdlDevice != 0) {
        g_device.targetFrames = std::max(g_device.targetFrames, g_device.deviceBufferFrames * 2);
        SDL_PauseAudioDevice(g_device.sdlDevice, 0);
    } else {
        g_device.noSoundRunning = true;
        g_device.noSoundThread = std::thread(NoSoundLoop);
    }
    return opened;
}

void DeviceClose()
{
    if (g_device.sdlDevice != 0) {
        SDL_CloseAudioDevice(g_device.sdlDevice);
        g_device.sdlDevice = 0;
    }
    if (g_device.noSoundThread.joinable()) {
        g_device.noSoundRunning = false;
        g_device.noSoundThread.join();
    }
}

int DeviceSampleRate() { return g_device.rate; }

int DeviceFramesWanted()
{
    const auto queued = static_cast<int>(g_device.ring.Queued());
    return std::max(0, g_device.targetFrames - queued);
}

void DeviceWrite(const float* frames, int count)
{
    g_device.ring.Write(frames, static_cast<std::size_t>(count));
    if (!g_device.primed && static_cast<int>(g_device.ring.Queued()) >= g_device.targetFrames)
        g_device.primed = true;
}

int DeviceQueuedFrames()
{
    return static_cast<int>(g_device.ring.Queued()) + g_device.deviceBufferFrames / 2;
}

std::uint64_t DeviceUnderruns() { return g_device.underruns.load(); }

void DeviceWaitForSpace(int ms)
{
    std::unique_lock<std::mutex> lock(g_device.wakeMutex);
    g_device.wake.wait_for(lock, std::chrono::milliseconds(ms));
}

}  // namespace audio
