#pragma once
// The one process-wide engine record and the channel record it holds.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/EffectParams.h"
#include "audio/StreamSource.h"

namespace audio {

// One DSP callback or built-in effect on a channel.
struct ChainSlot {
    Handle handle = 0;
    int priority = 0;
    DspProc proc = nullptr;
    void* user = nullptr;
    int fxType = 0;                        // 0 for a DSP callback
    std::vector<unsigned char> params;     // effect parameter block
    std::unique_ptr<EffectProcessor> fx;   // null: passes audio through
};

struct SyncSlot {
    Handle handle = 0;
    std::uint32_t type = 0;
    std::uint64_t param = 0;
    SyncProc proc = nullptr;
    void* user = nullptr;
};

struct Channel {
    Handle handle = 0;
    std::uint32_t flags = 0;
    int freq = 44100;
    int chans = 2;
    bool decodeOnly = false;
    Handle ownedSource = 0;                // freed together with this channel

    // Guards the source, the chain and the playback buffer. Held by the mixing
    // thread for one block at a time and by callers for short edits.
    std::mutex lock;
    std::unique_ptr<StreamSource> source;
    std::vector<ChainSlot> chain;          // highest priority first

    std::mutex syncLock;
    std::vector<SyncSlot> syncs;

    std::atomic<int> state{kStateStopped};
    std::atomic<bool> freed{false};
    std::atomic<float> volume{1.0f};
    std::atomic<float> playFreq{44100.0f};
    std::atomic<float> bufferSeconds{0.0f};

    // Playback buffer: processed frames waiting to be mixed (under `lock`).
    std::vector<float> ring;
    std::size_t ringStart = 0;             // frame index of the oldest frame
    std::size_t ringFrames = 0;
    bool sourceEnded = false;
    bool endSyncSent = false;
    std::int64_t bufferedSourceFrames = 0; // source frames that the buffer represents

    // Resampler and volume ramp state of the mixer.
    double phase = 0.0;
    std::vector<float> history;            // last 4 input frames
    float lastGain = -1.0f;
    std::atomic<std::int64_t> mixedPosition{0};  // source frame at the mixer's read point
};

using ChannelPtr = std::shared_ptr<Channel>;

struct AudioState {
    std::mutex mutex;                      // the maps below and start-up state
    std::unordered_map<Handle, ChannelPtr> channels;
    std::unordered_map<Handle, Handle> slotOwner;  // sync, DSP and FX handles to their channel
    std::unordered_map<Handle, std::string> fonts; // SoundFont handles to their path
    Handle defaultFont = 0;
    Handle nextHandle = 0x10000;
    bool initialized = false;
    int device = -1;
    int sampleRate = 44100;

    std::atomic<int> bufferMs{500};
    std::atomic<int> updatePeriodMs{100};
    std::atomic<int> logVolumeCurve{0};
    std::atomic<int> netTimeoutMs{30000};
    std::atomic<int> netBufferMs{10000};
    std::atomic<int> netPrebufferPercent{50};
    std::atomic<int> netMaxRedirects{10};
    std::atomic<int> midiVoices{256};
    std::string userAgent = "Corvane/1.0";   // under mutex
};

extern AudioState g_audio;

void SetError(int code);
// Sets kErrHandle and returns null when the handle is not a live channel.
ChannelPtr FindChannel(Handle handle);
Handle NewHandle();   // call with g_audio.mutex held
// Registers a new channel built around `source`; returns its handle.
Handle AddChannel(std::unique_ptr<StreamSource> source, std::uint32_t flags);
// Reads decoded frames from a decode channel (tempo streams pull their source
// this way). Same results as ChannelGetData in frames.
int ReadDecodeChannel(Channel& ch, float* out, int frames);
// Gain of a volume attribute value on the configured curve.
float VolumeGain(float attribute);

}  // namespace audio
