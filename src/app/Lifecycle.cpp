#include "app/Lifecycle.h"

#include "app/Commands.h"
#include "app/MainFrame.h"
#include "i18n/TranslateWx.h"
#include "app/PlaybackCommands.h"
#include "effects/EffectChain.h"
#include "effects/EffectParams.h"
#include "hotkeys/GlobalKeys.h"
#include "hotkeys/TrayIcon.h"
#include "log/Log.h"
#include "playback/PlaybackSession.h"
#include "recording/Recorder.h"
#include "platform/Clock.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/QueueSources.h"
#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"
#include "speech/AnnouncementQueue.h"
#include "storage/Database.h"
#include "storage/PlaylistState.h"
#include "storage/Settings.h"

#include <wx/menu.h>

#include <algorithm>

bool CreationSteps(MainFrame& frame)
{
    ConnectPlaybackUi(frame);
    if (!AudioStartup())
        return false;
    OpenDatabase();
    ResetEffectValues();
    LoadEffectValuesFromSettings();
    SetVolumeStageGain(g_settings.playback.volume, false);
    InitAnnouncements();
    RegisterHotkeys(&frame);
    if (wxMenuBar* bar = frame.GetMenuBar())
        bar->Check(cmd::Shuffle, g_settings.playback.shuffle);
    return true;
}

void PlayCommandLineQueue(MainFrame& frame)
{
    if (g_playlist.entries.empty())
        return;
    g_playlist.current = -1;
    const int index = ApplyLoadFolder(g_playlist.entries, g_settings.playback.loadFolder);
    StartQueueAt(frame, index, true);
}

void StartBackgroundChecks(MainFrame&)
{
}

void ShutdownSteps(MainFrame&)
{
    RemoveTrayIcon();
    UnregisterHotkeys();
    StopRecording();
    if (g_session.output && g_playlist.current >= 0)
        SaveResumePosition();
    SavePlaylistState(CurrentPositionSeconds());
    SaveSettings();
    CloseDatabase();
    LogStop();
    AudioShutdown();
    ShutdownAnnouncements();
}

void StartQueueAt(MainFrame& frame, int index, bool play)
{
    PlayIndex(index, play);
    frame.RefreshTitle();
    frame.RefreshStatus();
}

std::vector<std::string> ExpandLaunchPath(const std::string& path)
{
    std::vector<std::string> entries;
    AppendOpenedPath(path, entries);
    return entries;
}

ReceiveResult ReceiveFileFromQueueOwner(const std::string& path)
{
    return ReceiveFileFromInstance(g_instanceBatch, g_playlist.entries, path, TickCount(),
                                   g_settings.advanced.disableBatchDelay, ExpandLaunchPath);
}

void PlayPendingBatch(MainFrame& frame)
{
    BatchPlan plan = TakePendingBatch(g_instanceBatch, g_settings.playback.loadFolder,
                                      [](const std::string& path, std::vector<std::string>& queue, int& index) {
                                          index = LoadFolderOf(path, queue);
                                          return true;
                                      });
    if (!plan.play)
        return;
    g_playlist.current = -1;
    g_playlist.entries = std::move(plan.queue);
    StartQueueAt(frame, plan.index, true);
    if (g_settings.playback.bringToFront) {
        if (!frame.IsShown()) {
            RestoreFromTray(&frame);
            return;
        }
        frame.Raise();
        if (frame.IsIconized())
            frame.Iconize(false);
    }
}

void RestoreQueueFromSettings(MainFrame& frame)
{
    // The remembered item opens without an announcement or a recent-files entry.
    const PlaylistRestore restore = RestorePlaylistState();
    if (!restore.open || restore.index < 0 || restore.index >= static_cast<int>(g_playlist.entries.size()))
        return;
    g_playlist.current = restore.index;
    if (!OpenFile(g_playlist.entries[restore.index]) || g_session.live)
        return;
    if (restore.positionSeconds > 0)
        SeekSeconds(std::min(restore.positionSeconds, CurrentLengthSeconds()));
    frame.RefreshStatus();
}
