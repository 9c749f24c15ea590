#include "audio/EngineState.h"

#include <cmath>

extern "C" {
#include <libavutil/log.h>
}

#include "audio/Device.h"
#include "audio/Mixer.h"
#include "audio/Syncs.h"

namespace audio {

AudioState g_audio;

namespace {
thread_local int t_error = 0;
}

void SetError(int code) { t_error = code; }
int AudioErrorCode() { return t_error; }

Handle NewHandle()
{
    Handle h = g_audio.nextHandle++;
    if (g_audio.nextHandle == 0)
        g_audio.nextHandle = 0x10000;
    return h;
}

ChannelPtr FindChannel(Handle handle)
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    auto it = g_audio.channels.find(handle);
    if (it == g_audio.channels.end()) {
        SetError(kErrHandle);
        return nullptr;
    }
    return it->second;
}

Handle AddChannel(std::unique_ptr<StreamSource> source, std::uint32_t flags)
{
    auto ch = std::make_shared<Channel>();
    ch->flags = flags | kSampleFloat;
    ch->freq = source->sampleRate;
    ch->chans = source->channels;
    ch->playFreq = static_cast<float>(source->sampleRate);
    ch->decodeOnly = (flags & kStreamDecode) != 0;
    ch->source = std::move(source);
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    if (!g_audio.initialized) {
        SetError(kErrInit);
        return 0;
    }
    ch->handle = NewHandle();
    g_audio.channels[ch->handle] = ch;
    if (!ch->decodeOnly)
        MixerAdd(ch);
    SetError(kOk);
    return ch->handle;
}

float VolumeGain(float v)
{
    if (v <= 0.0f)
        return 0.0f;
    if (v > 1.0f || !g_audio.logVolumeCurve.load())
        return v;
    // Logarithmic: the attribute spans 60 dB, 0 is silence.
    return std::pow(10.0f, 3.0f * (v - 1.0f));
}

bool AudioInit(int device, int sampleRate)
{
    if (device < -1 || sampleRate < 8000 || sampleRate > 384000) {
        SetError(device < -1 ? kErrDevice : kErrIllegalParam);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        if (g_audio.initialized) {
            SetError(kErrAlready);
            return false;
        }
    }
    av_log_set_level(AV_LOG_FATAL);  // broken input is reported through error codes
    const int opened = DeviceOpen(device, sampleRate);
    if (opened < 0)
        return false;  // error set by the device
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        g_audio.initialized = true;
        g_audio.device = opened;
        g_audio.sampleRate = sampleRate;
    }
    NotificationThreadStart();
    MixerStart();
    SetError(kOk);
    return true;
}

bool AudioFree()
{
    std::vector<Handle> handles;
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        if (!g_audio.initialized) {
            SetError(kErrInit);
            return false;
        }
        for (auto& [h, ch] : g_audio.channels)
            handles.push_back(h);
    }
    for (Handle h : handles)
        StreamFree(h);
    MixerStop();
    DeviceClose();
    NotificationThreadStop();
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    g_audio.initialized = false;
    SetError(kOk);
    return true;
}

bool AudioIsInitialized()
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    return g_audio.initialized;
}

int AudioCurrentDevice()
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    return g_audio.initialized ? g_audio.device : -1;
}

bool AudioGetDeviceInfo(int device, DeviceInfo* info)
{
    if (!info || !DeviceInfoAt(device, info)) {
        SetError(kErrDevice);
        return false;
    }
    SetError(kOk);
    return true;
}

std::uint64_t AudioUnderrunCount() { return DeviceUnderruns(); }

bool AudioSetConfig(int option, int value)
{
    auto clamp = [](int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); };
    switch (option) {
    case kConfigBuffer: g_audio.bufferMs = clamp(value, 10, 5000); break;
    case kConfigUpdatePeriod: g_audio.updatePeriodMs = clamp(value, 5, 500); break;
    case kConfigVolumeCurve: g_audio.logVolumeCurve = value ? 1 : 0; break;
    case kConfigNetTimeout: g_audio.netTimeoutMs = clamp(value, 100, 600000); break;
    case kConfigNetBuffer: g_audio.netBufferMs = clamp(value, 500, 60000); break;
    case kConfigNetPrebuffer: g_audio.netPrebufferPercent = clamp(value, 0, 100); break;
    case kConfigNetMaxRedirects: g_audio.netMaxRedirects = clamp(value, 0, 50); break;
    case kConfigMidiVoices: g_audio.midiVoices = clamp(value, 1, 1000); break;
    default: SetError(kErrIllegalType); return false;
    }
    SetError(kOk);
    return true;
}

int AudioGetConfig(int option)
{
    SetError(kOk);
    switch (option) {
    case kConfigBuffer: return g_audio.bufferMs;
    case kConfigUpdatePeriod: return g_audio.updatePeriodMs;
    case kConfigVolumeCurve: return g_audio.logVolumeCurve;
    case kConfigNetTimeout: return g_audio.netTimeoutMs;
    case kConfigNetBuffer: return g_audio.netBufferMs;
    case kConfigNetPrebuffer: return g_audio.netPrebufferPercent;
    case kConfigNetMaxRedirects: return g_audio.netMaxRedirects;
    case kConfigMidiVoices: return g_audio.midiVoices;
    default: SetError(kErrIllegalType); return -1;
    }
}

bool AudioSetConfigText(int option, const std::string& value)
{
    if (option != kConfigNetAgent) {
        SetError(kErrIllegalType);
        return false;
    }
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    g_audio.userAgent = value;
    SetError(kOk);
    return true;
}

std::string AudioGetConfigText(int option)
{
    if (option != kConfigNetAgent) {
        SetError(kErrIllegalType);
        return {};
    }
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    SetError(kOk);
    return g_audio.userAgent;
}

}  // namespace audio
