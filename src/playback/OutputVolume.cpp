#include "playback/OutputVolume.h"

#include "audio/AudioEngine.h"
#include "effects/EffectChain.h"
#include "i18n/Translations.h"
#include "playback/PlaybackSession.h"
#include "recording/Recorder.h"
#include "playlist/Playlist.h"
#include "tempo/TempoProcessor.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Settings.h"

#include <algorithm>
#include <cstdio>

namespace {

void ApplyLegacyVolume()
{
    if (!g_settings.advanced.legacyVolume || !g_session.output)
        return;
    const float gain = g_session.muted ? 0.0f : g_settings.playback.volume;
    audio::ChannelSetAttribute(g_session.output, audio::kAttribVolume, gain * gain);
}

}  // namespace

int DeviceIndexByName(const std::string& name)
{
    if (name.empty())
        return -1;
    audio::DeviceInfo info;
    for (int i = 1; audio::AudioGetDeviceInfo(i, &info); ++i) {
        if ((info.flags & audio::kDeviceEnabled) && info.name == name)
            return i;
    }
    return -1;
}

std::string DeviceName(int index)
{
    audio::DeviceInfo info;
    if (index <= 0 || !audio::AudioGetDeviceInfo(index, &info))
        return {};
    return info.name;
}

float MaxVolume()
{
    return g_settings.playback.allowAmplify ? 4.0f : 1.0f;
}

void SetVolume(float gain)
{
    gain = std::clamp(gain, 0.0f, MaxVolume());
    g_settings.playback.volume = gain;
    SetVolumeStageGain(gain, g_session.muted);
    ApplyLegacyVolume();
    if (g_settings.speech.volume) {
        char text[64];
        std::snprintf(text, sizeof text, Translate("Volume %d%%"), static_cast<int>(gain * 100.0f + 0.5f));
        Announce(text, true);
    }
}

void ToggleMute()
{
    g_session.muted = !g_session.muted;
    SetVolumeStageGain(g_settings.playback.volume, g_session.muted);
    ApplyLegacyVolume();
    Announce(TranslateUtf8(g_session.muted ? "Muted" : "Unmuted"), true);
}

std::vector<DeviceChoice> DeviceChoices()
{
    std::vector<DeviceChoice> out;
    audio::DeviceInfo info;
    for (int i = 1; audio::AudioGetDeviceInfo(i, &info); ++i) {
        if (!(info.flags & audio::kDeviceEnabled))
            continue;
        const bool current = i == g_session.deviceIndex ||
                             (g_session.deviceIndex == -1 && (info.flags & audio::kDeviceIsDefault));
        out.push_back({i, info.name, current});
    }
    return out;
}

bool SwitchDevice(int index)
{
    const bool hadOutput = g_session.output != 0;
    const bool wasPlaying = hadOutput && audio::ChannelIsActive(g_session.output) == audio::kStatePlaying;
    double position = 0.0;
    std::string entry;
    if (hadOutput) {
        position = CurrentPositionSeconds();
        if (g_playlist.current >= 0 && g_playlist.current < static_cast<int>(g_playlist.entries.size()))
            entry = g_playlist.entries[g_playlist.current];
        RecorderOutputClosing(g_session.output);
        RemoveAllEffects(g_session.output);
        DestroyTempoProcessor();
        audio::StreamFree(g_session.output);
        if (g_session.source)
            audio::StreamFree(g_session.source);
        g_session.output = g_session.source = g_session.tagChannel = 0;
        g_session.endSync = g_session.metaSync = g_session.downloadSync = 0;
    }
    audio::AudioFree();

    if (audio::AudioInit(index, 44100)) {
        g_session.deviceIndex = index;
        g_settings.playback.deviceName = DeviceName(index);
        ApplyEngineOptions();
        if (!entry.empty() && OpenFile(entry) && g_session.output) {
            if (!g_session.live)
                SeekSeconds(position);
            if (!wasPlaying)
                audio::ChannelPause(g_session.output);
            PlaybackRefresh();
        }
        return true;
    }
    if (index != -1 && audio::AudioInit(-1, 44100)) {
        g_session.deviceIndex = -1;
        g_settings.playback.deviceName.clear();
        ApplyEngineOptions();
    }
    return false;
}

void SwitchDeviceAndAnnounce(int index)
{
    if (index <= 0)
        return;
    const std::string name = DeviceName(index);
    if (SwitchDevice(index)) {
        g_session.deviceIndex = index;
        g_settings.playback.deviceName = name;
        SaveSettings();
        Announce(TranslateUtf8("Switched to ") + name, true);
    } else {
        Announce(TranslateUtf8("Failed to switch audio device"), true);
    }
}
