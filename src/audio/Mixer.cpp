#include "audio/Mixer.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "audio/Device.h"
#include "audio/Syncs.h"

namespace audio {
namespace {

constexpr int kFillBlockFrames = 1024;   // frames pulled from a source per DSP call
constexpr int kMixBlockFrames = 256;

struct MixerState {
    std::mutex mutex;                    // the list below
    std::vector<ChannelPtr> channels;
    std::thread thread;
    std::atomic<bool> running{false};
    std::atomic<bool> refillNow{false};
    // Mixing-thread scratch, reused so that the loop never allocates.
    std::vector<ChannelPtr> snapshot;
    std::vector<float> mix;
    std::vector<float> scratch;
    std::vector<float> frameBuf;
};

MixerState g_mixer;

std::size_t RingCapacityFrames(const Channel& ch)
{
    return ch.ring.size() / static_cast<std::size_t>(ch.chans);
}

void RingPush(Channel& ch, const float* src, std::size_t frames)
{
    const std::size_t cap = RingCapacityFrames(ch);
    const std::size_t c = static_cast<std::size_t>(ch.chans);
    std::size_t at = (ch.ringStart + ch.ringFrames) % cap;
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(frames - done, cap - at);
        std::memcpy(&ch.ring[at * c], src + done * c, n * c * sizeof(float));
        done += n;
        at = (at + n) % cap;
    }
    ch.ringFrames += frames;
}

const float* RingFront(const Channel& ch) { return &ch.ring[ch.ringStart * static_cast<std::size_t>(ch.chans)]; }

void RingPop(Channel& ch, std::size_t frames)
{
    ch.ringStart = (ch.ringStart + frames) % RingCapacityFrames(ch);
    ch.ringFrames -= frames;
}

std::size_t TargetBufferFrames(const Channel& ch)
{
    const float seconds = ch.bufferSeconds.load();
    const double s = seconds > 0.0f ? seconds : g_audio.bufferMs.load() / 1000.0;
    return static_cast<std::size_t>(std::max(0.05, s) * ch.freq);
}

// Pulls up to `frames` from the source into the playback buffer. Channel lock held.
void FillPlaybackBuffer(Channel& ch, std::size_t frames)
{
    const std::size_t target = TargetBufferFrames(ch);
    if (RingCapacityFrames(ch) < target + kFillBlockFrames || ch.ring.empty()) {
        // Grows only when the buffer length changes; the contents are moved over.
        std::vector<float> grown((target + kFillBlockFrames) * 2 * static_cast<std::size_t>(ch.chans));
        const std::size_t keep = ch.ringFrames;
        for (std::size_t i = 0; i < keep && !ch.ring.empty(); ++i) {
            const std::size_t at = (ch.ringStart + i) % RingCapacityFrames(ch);
            std::memcpy(&grown[i * ch.chans], &ch.ring[at * ch.chans], ch.chans * sizeof(float));
        }
        ch.ring.swap(grown);
        ch.ringStart = 0;
    }
    frames = std::min(frames, RingCapacityFrames(ch) - ch.ringFrames);
    auto& buf = g_mixer.scratch;
    if (buf.size() < static_cast<std::size_t>(kFillBlockFrames * ch.chans))
        buf.resize(static_cast<std::size_t>(kFillBlockFrames * ch.chans));
    while (frames > 0 && !ch.sourceEnded) {
        const int want = static_cast<int>(std::min<std::size_t>(frames, kFillBlockFrames));
        const int got = ch.source->Read(buf.data(), want);
        if (got < 0) {
            ch.sourceEnded = true;
            break;
        }
        if (got == 0)
            break;  // a network stream waiting for data
        RunChain(ch, buf.data(), got);
        RingPush(ch, buf.data(), static_cast<std::size_t>(got));
        frames -= static_cast<std::size_t>(got);
    }
}

void TopUp(Channel& ch)
{
    const std::size_t target = TargetBufferFrames(ch);
    if (ch.ringFrames < target)
        FillPlaybackBuffer(ch, target - ch.ringFrames);
}

// Adds one input frame to the stereo mix.
inline void MixFrame(float* out, const float* in, int chans, float gain)
{
    if (chans == 2) {
        out[0] += in[0] * gain;
        out[1] += in[1] * gain;
    } else if (chans == 1) {
        out[0] += in[0] * gain;
        out[1] += in[0] * gain;
    } else {
        // Fold front, centre and surround channels into two.
        float l = in[0], r = in[1];
        if (chans > 2) {
            l += 0.7071f * in[2];
            r += 0.7071f * in[2];
        }
        if (chans > 4) {
            l += 0.7071f * in[4];
            r += 0.7071f * in[chans > 5 ? 5 : 4];
        }
        out[0] += l * 0.5f * gain;
        out[1] += r * 0.5f * gain;
    }
}

// Mixes `frames` device frames of one playing channel. Channel lock held.
// Returns how many frames it could produce.
int MixChannel(Channel& ch, float* mix, int frames)
{
    const double step = ch.playFreq.load() / DeviceSampleRate();
    const std::size_t need = static_cast<std::size_t>(frames * step) + 4;
    if (ch.ringFrames < need && !ch.sourceEnded)
        FillPlaybackBuffer(ch, std::max<std::size_t>(need - ch.ringFrames, kFillBlockFrames));

    const float target = VolumeGain(ch.volume.load());
    const float start = ch.lastGain < 0.0f ? target : ch.lastGain;
    const float gainStep = (target - start) / static_cast<float>(frames);
    const int c = ch.chans;
    const std::size_t cap = RingCapacityFrames(ch);
    int produced = 0;

    if (step == 1.0) {
        ch.history.clear();
        while (produced < frames && ch.ringFrames > 0) {
            const std::size_t run = std::min({static_cast<std::size_t>(frames - produced), ch.ringFrames, cap - ch.ringStart});
            const float* in = RingFront(ch);
            for (std::size_t i = 0; i < run; ++i) {
                const float g = start + gainStep * static_cast<float>(produced + i);
                MixFrame(mix + (produced + i) * kDeviceChannels, in + i * c, c, g);
            }
            RingPop(ch, run);
            produced += static_cast<int>(run);
        }
    } else {
        // Cubic (Hermite) interpolation between history[1] and history[2].
        auto& h = ch.history;
        if (h.size() != static_cast<std::size_t>(4 * c)) {
            h.assign(static_cast<std::size_t>(4 * c), 0.0f);
            ch.phase = 0.0;
        }
        auto& frame = g_mixer.frameBuf;
        frame.resize(static_cast<std::size_t>(c));
        while (produced < frames) {
            while (ch.phase >= 1.0) {
                if (ch.ringFrames == 0)
                    break;
                std::memmove(h.data(), h.data() + c, static_cast<std::size_t>(3 * c) * sizeof(float));
                std::memcpy(h.data() + 3 * c, RingFront(ch), static_cast<std::size_t>(c) * sizeof(float));
                RingPop(ch, 1);
                ch.phase -= 1.0;
            }
            if (ch.phase >= 1.0)
                break;
            const float t = static_cast<float>(ch.phase);
            for (int k = 0; k < c; ++k) {
                const float y0 = h[k], y1 = h[c + k], y2 = h[2 * c + k], y3 = h[3 * c + k];
                const float a = -0.5f * y0 + 1.5f * y1 - 1.5f * y2 + 0.5f * y3;
                const float b = y0 - 2.5f * y1 + 2.0f * y2 - 0.5f * y3;
                const float cc = -0.5f * y0 + 0.5f * y2;
                frame[k] = ((a * t + b) * t + cc) * t + y1;
            }
            MixFrame(mix + produced * kDeviceChannels, frame.data(), c, start + gainStep * static_cast<float>(produced));
            ++produced;
            ch.phase += step;
        }
    }
    ch.lastGain = target;
    return produced;
}

void MixBlock(float* mix, int frames)
{
    std::memset(mix, 0, static_cast<std::size_t>(frames) * kDeviceChannels * sizeof(float));
    for (auto& chp : g_mixer.snapshot) {
        Channel& ch = *chp;
        const int state = ch.state.load();
        if (state != kStatePlaying && state != kStateStalled)
            continue;
        std::lock_guard<std::mutex> lock(ch.lock);
        if (ch.freed || ch.state.load() == kStatePaused || ch.state.load() == kStateStopped)
            continue;
        const int produced = MixChannel(ch, mix, frames);
        if (produced < frames) {
            if (ch.sourceEnded && ch.ringFrames == 0) {
                ch.state = kStateStopped;
                if (!ch.endSyncSent) {
                    ch.endSyncSent = true;
                    FireSyncs(ch, kSyncEnd, 0);
                }
            } else {
                ch.state = kStateStalled;
            }
        } else if (state == kStateStalled) {
            ch.state = kStatePlaying;
        }
    }
}

void RefillAll()
{
    for (auto& chp : g_mixer.snapshot) {
        Channel& ch = *chp;
        const int state = ch.state.load();
        if (state != kStatePlaying && state != kStateStalled)
            continue;
        std::lock_guard<std::mutex> lock(ch.lock);
        if (!ch.freed && !ch.sourceEnded)
            TopUp(ch);
    }
}

}  // namespace

void RaiseThreadPriority()
{
    // Best effort: real-time scheduling needs a privilege we may not have.
    sched_param param{};
    param.sched_priority = 10;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0)
        setpriority(PRIO_PROCESS, 0, -10);
}

namespace {

void MixerLoop()
{
    using Clock = std::chrono::steady_clock;
    RaiseThreadPriority();
    auto lastRefill = Clock::now();
    while (g_mixer.running) {
        {
            std::lock_guard<std::mutex> lock(g_mixer.mutex);
            g_mixer.snapshot = g_mixer.channels;
        }
        int wanted = DeviceFramesWanted();
        while (wanted > 0) {
            const int n = std::min(wanted, kMixBlockFrames);
            MixBlock(g_mixer.mix.data(), n);
            DeviceWrite(g_mixer.mix.data(), n);
            wanted -= n;
        }
        const auto now = Clock::now();
        const auto period = std::chrono::milliseconds(g_audio.updatePeriodMs.load());
        if (now - lastRefill >= period || g_mixer.refillNow.exchange(false)) {
            RefillAll();
            lastRefill = now;
        }
        g_mixer.snapshot.clear();
        DeviceWaitForSpace(20);
    }
}

}  // namespace

void RunChain(Channel& ch, float* samples, int frames)
{
    const auto bytes = static_cast<std::uint32_t>(frames * ch.chans * sizeof(float));
    for (auto& slot : ch.chain) {
        if (slot.proc)
            slot.proc(slot.handle, ch.handle, samples, bytes, slot.user);
        else if (slot.fx)
            slot.fx->Process(samples, frames, ch.chans, ch.freq);
    }
}

void ClearPlaybackBuffer(Channel& ch)
{
    ch.ringStart = 0;
    ch.ringFrames = 0;
    ch.history.clear();
    ch.phase = 0.0;
}

std::int64_t HeardPositionFrames(Channel& ch)
{
    double pending = static_cast<double>(ch.ringFrames);
    if (ch.state.load() == kStatePlaying)
        pending += DeviceQueuedFrames() * ch.playFreq.load() / DeviceSampleRate();
    const double speed = ch.source->SourceFramesPerOutputFrame();
    const std::int64_t pos = ch.source->PositionFrames() - static_cast<std::int64_t>(pending * speed);
    return std::max(pos, ch.mixedPosition.load());
}

void MixerStart()
{
    if (g_mixer.running)
        return;
    g_mixer.mix.assign(kMixBlockFrames * kDeviceChannels, 0.0f);
    g_mixer.running = true;
    g_mixer.thread = std::thread(MixerLoop);
}

void MixerStop()
{
    if (!g_mixer.running)
        return;
    g_mixer.running = false;
    g_mixer.thread.join();
    std::lock_guard<std::mutex> lock(g_mixer.mutex);
    g_mixer.channels.clear();
}

void MixerAdd(const ChannelPtr& channel)
{
    std::lock_guard<std::mutex> lock(g_mixer.mutex);
    for (auto& c : g_mixer.channels) {
        if (c == channel)
            return;
    }
    g_mixer.channels.push_back(channel);
}

void MixerRemove(Handle handle)
{
    std::lock_guard<std::mutex> lock(g_mixer.mutex);
    std::erase_if(g_mixer.channels, [handle](const ChannelPtr& c) { return c->handle == handle; });
}

void MixerWake() { g_mixer.refillNow = true; }

}  // namespace audio
