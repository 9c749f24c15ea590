#include "playback/OutputVolume.h"

#include "audio/AudioEngine.h"
#include "effects/EffectChain.h"
#include "i18n/Translations.h"
#include "playback/PlaybackSession.h"
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
