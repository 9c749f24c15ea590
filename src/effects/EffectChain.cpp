#include "effects/EffectChain.h"

#include "storage/Settings.h"

#include <atomic>

namespace {

std::atomic<float> g_stageGain{1.0f};
std::atomic<bool> g_stageMuted{false};

audio::Handle g_volumeChannel = 0;
audio::Handle g_volumeDsp = 0;

void VolumeStage(audio::Handle, audio::Handle, void* buffer, std::uint32_t length, void*)
{
    const float gain = g_stageMuted.load(std::memory_order_relaxed) ? 0.0f : g_stageGain.load(std::memory_order_relaxed);
    if (gain == 1.0f)
        return;
    // A squared law, as the legacy volume attribute: 50 % is a factor of 0.25.
    const float factor = gain * gain;
    float* samples = static_cast<float*>(buffer);
    const std::uint32_t count = length / sizeof(float);
    for (std::uint32_t i = 0; i < count; ++i)
        samples[i] *= factor;
}

}  // namespace

void SetVolumeStageGain(float gain, bool muted)
{
    g_stageGain.store(gain, std::memory_order_relaxed);
    g_stageMuted.store(muted, std::memory_order_relaxed);
}

void ApplyEffects(audio::Handle channel)
{
    RemoveAllEffects(g_volumeChannel);
    if (!channel)
        return;
    if (g_settings.advanced.legacyVolume) {
        // The channel's own volume attribute carries the gain instead.
        const float gain = g_stageMuted.load() ? 0.0f : g_stageGain.load();
        audio::ChannelSetAttribute(channel, audio::kAttribVolume, gain * gain);
        return;
    }
    g_volumeDsp = audio::ChannelSetDsp(channel, VolumeStage, nullptr, audio::kVolumeStagePriority);
    if (g_volumeDsp)
        g_volumeChannel = channel;
}

void RemoveAllEffects(audio::Handle channel)
{
    if (channel && channel == g_volumeChannel && g_volumeDsp)
        audio::ChannelRemoveDsp(channel, g_volumeDsp);
    if (channel == g_volumeChannel) {
        g_volumeChannel = 0;
        g_volumeDsp = 0;
    }
}
