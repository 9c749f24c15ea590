#include "playback/PlaybackSession.h"
#include "recording/Recorder.h"

#include "effects/EffectChain.h"
#include "i18n/Translations.h"
#include "playback/TrackAnnouncement.h"
#include "playlist/Playlist.h"
#include "playlist/ShuffleRandom.h"
#include "speech/AnnouncementQueue.h"
#include "storage/RecentFiles.h"
#include "storage/Settings.h"
#include "tempo/TempoProcessor.h"

#include <algorithm>

namespace {

constexpr int kMaxOpenAttempts = 10;

int QueueSize()
{
    return static_cast<int>(g_playlist.entries.size());
}

bool HasCurrentEntry()
{
    return g_playlist.current >= 0 && g_playlist.current < QueueSize();
}

bool OutputIsPlaying()
{
    return g_session.output && audio::ChannelIsActive(g_session.output) == audio::kStatePlaying;
}

void RefreshUi()
{
    PlaybackRefresh();
}

// No output: play the queue from its start, or reopen the current entry.
void StartWithoutOutput()
{
    if (!HasCurrentEntry()) {
        if (QueueSize() > 0)
            PlayIndex(0, true);
        return;
    }
    const std::string& entry = g_playlist.entries[g_playlist.current];
    const bool opened = IsStreamUrl(entry) ? OpenUrl(entry, false) : OpenFile(entry);
    if (opened && g_session.output)
        audio::ChannelPlay(g_session.output, false);
}

void ReleaseLiveStream()
{
    RecorderOutputClosing(g_session.output);
    RemoveAllEffects(g_session.output);
    DestroyTempoProcessor();
    if (g_session.output) {
        if (g_session.endSync)
            audio::ChannelRemoveSync(g_session.output, g_session.endSync);
        audio::ChannelStop(g_session.output);
        audio::StreamFree(g_session.output);
    }
    if (g_session.source)
        audio::StreamFree(g_session.source);
    g_session.output = g_session.source = g_session.tagChannel = 0;
    g_session.endSync = g_session.metaSync = g_session.downloadSync = 0;
    g_session.live = false;
    g_session.openBitrate = 0;
}

}  // namespace

void PlayIndex(int index, bool play)
{
    if (g_session.changingTrack || index < 0 || index >= QueueSize())
        return;
    g_session.changingTrack = true;
    if (g_session.output && HasCurrentEntry())
        SaveResumePosition();

    bool opened = false;
    for (int attempt = 0; attempt < kMaxOpenAttempts; ++attempt) {
        g_playlist.current = index;
        if (OpenFile(g_playlist.entries[index])) {
            opened = true;
            break;
        }
        if (QueueSize() >= 2 && index + 1 < QueueSize()) {
            ++index;
            continue;
        }
        break;
    }
    if (!opened) {
        g_session.changingTrack = false;
        return;
    }

    AddRecentFile(g_playlist.entries[index]);
    if (!play && g_session.output)
        audio::ChannelPause(g_session.output);
    NotifyCurrentEntryChanged();
    if (g_settings.speech.trackChange && (g_session.source || g_session.output))
        Announce(TrackAnnouncementText(g_playlist.entries[index]), true);
    g_session.changingTrack = false;
    RefreshUi();
}

void NextTrack(bool play)
{
    if (g_playlist.entries.empty() || g_session.changingTrack)
        return;
    if (g_settings.playback.repeatMode == 1 && HasCurrentEntry()) {
        PlayIndex(g_playlist.current, play);
        return;
    }
    if (g_settings.playback.shuffle && QueueSize() >= 2) {
        int next;
        do {
            next = NextShuffleValue(g_shuffleRandom) % QueueSize();
        } while (next == g_playlist.current);
        PlayIndex(next, play);
        return;
    }
    const int next = HasCurrentEntry() ? g_playlist.current + 1 : 0;
    if (next >= QueueSize()) {
        if (g_settings.playback.repeatMode == 2)
            PlayIndex(0, play);
        else
            Stop();
        return;
    }
    PlayIndex(next, play);
}

void PreviousTrack()
{
    if (g_playlist.entries.empty() || g_session.changingTrack)
        return;
    if (g_session.output && CurrentPositionSeconds() > 3.0) {
        SeekSeconds(0.0);
        RefreshUi();
        return;
    }
    PlayIndex(std::max(g_playlist.current - 1, 0), true);
}

void JumpTracks(int n)
{
    if (g_playlist.entries.empty() || g_session.changingTrack)
        return;
    const int target = std::clamp(g_playlist.current + n, 0, QueueSize() - 1);
    if (target != g_playlist.current)
        PlayIndex(target, true);
}

void Play()
{
    if (g_session.output) {
        if (OutputIsPlaying())
            SeekSeconds(0.0);
        audio::ChannelPlay(g_session.output, false);
    } else {
        StartWithoutOutput();
    }
    RefreshUi();
}

void Pause()
{
    if (!g_session.output)
        return;
    if (g_session.live) {
        Announce(TranslateUtf8("Cannot pause live stream"), true);
        return;
    }
    audio::ChannelPause(g_session.output);
    if (audio::ChannelIsActive(g_session.output) == audio::kStateStopped && audio::AudioErrorCode() == audio::kErrHandle) {
        g_session.output = g_session.source = 0;  // the engine let go of it
        RefreshUi();
        return;
    }
    const int rewindMs = g_settings.playback.rewindOnPauseMs;
    if (rewindMs > 0 && !g_session.opening && !g_session.changingTrack) {
        TempoProcessor* p = CurrentTempoProcessor();
        if (p && p->isActive() && p->lengthSeconds() > 0) {
            const double target = std::clamp(p->positionSeconds() - rewindMs / 1000.0, 0.0, p->lengthSeconds());
            p->seek(target);
        }
    }
    RefreshUi();
}

void PlayPause()
{
    if (g_session.output) {
        if (OutputIsPlaying()) {
            if (g_session.live)
                Stop();
            else
                Pause();
        } else {
            audio::ChannelPlay(g_session.output, false);
        }
    } else {
        StartWithoutOutput();
    }
    RefreshUi();
}

void Stop()
{
    if (g_session.live) {
        ReleaseLiveStream();
    } else if (g_session.output) {
        audio::ChannelStop(g_session.output);
        SeekSeconds(0.0);
    }
    RefreshUi();
}

void CycleRepeat()
{
    g_settings.playback.repeatMode = (g_settings.playback.repeatMode + 1) % 3;
    static const char* const kTexts[] = {"Repeat off", "Repeat track", "Repeat all"};
    Announce(TranslateUtf8(kTexts[g_settings.playback.repeatMode]), true);
    SaveSettings();
}
