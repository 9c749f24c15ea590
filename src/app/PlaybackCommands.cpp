#include "app/PlaybackCommands.h"

#include "app/Commands.h"
#include "app/MainFrame.h"
#include "i18n/Translations.h"
#include "playback/OutputVolume.h"
#include "playback/PlaybackSession.h"
#include "storage/Settings.h"

#include "playback/Bookmarks.h"
#include "recording/Recorder.h"
#include "speech/AnnouncementQueue.h"
#include "ui/HistoryDialogs.h"
#include "ui/PlaylistManagerDialog.h"

#include <wx/menu.h>
#include <wx/msgdlg.h>

namespace {

void ShowPlaybackMessage(const std::string& text, MessageKind kind)
{
    long style = wxOK;
    switch (kind) {
    case MessageKind::Error: style |= wxICON_ERROR; break;
    case MessageKind::Warning: style |= wxICON_WARNING; break;
    case MessageKind::Information: style |= wxICON_INFORMATION; break;
    }
    wxWindow* owner = wxGetActiveWindow();
    if (!owner)
        owner = TheMainFrame();
    wxMessageBox(wxString::FromUTF8(text), "Corvane", style, owner);
}

void RefreshTitleHook()
{
    if (MainFrame* f = TheMainFrame())
        f->RefreshTitle();
}

void RefreshStatusHook()
{
    if (MainFrame* f = TheMainFrame())
        f->RefreshStatus();
}

void LeaveVideoModeHook()
{
    MainFrame* f = TheMainFrame();
    if (!f || !f->VideoHost() || !f->VideoHost()->IsShown())
        return;
    f->VideoHost()->Hide();
    f->SetSize(wxSize(500, 150));
}

}  // namespace

static void ShowRecorderMessage(const std::string& text, bool isError)
{
    ShowPlaybackMessage(text, isError ? MessageKind::Error : MessageKind::Warning);
}

void ConnectPlaybackUi(MainFrame&)
{
    RecorderUi recorder;
    recorder.showMessage = ShowRecorderMessage;
    recorder.refreshStatus = RefreshStatusHook;
    SetRecorderUi(recorder);

    PlaybackUi ui;
    ui.showMessage = ShowPlaybackMessage;
    ui.refreshTitle = RefreshTitleHook;
    ui.refreshStatus = RefreshStatusHook;
    ui.leaveVideoMode = LeaveVideoModeHook;
    ui.currentEntryChanged = PlaylistManagerCurrentChanged;
    SetPlaybackUi(ui);
}

void PlayCommand(MainFrame&, int, long) { Play(); }
void PauseCommand(MainFrame&, int, long) { Pause(); }
void PlayPauseCommand(MainFrame&, int, long) { PlayPause(); }
void StopCommand(MainFrame&, int, long) { Stop(); }
void PreviousCommand(MainFrame&, int, long) { PreviousTrack(); }
void RepeatCommand(MainFrame&, int, long) { CycleRepeat(); }
void MuteCommand(MainFrame& frame, int, long)
{
    ToggleMute();
    frame.RefreshStatus();
}

// lParam 1: the end of a track with neither auto-advance nor repeat, so the
// next item is loaded but left paused.
void NextCommand(MainFrame&, int, long lParam)
{
    NextTrack(lParam == 0);
}

void VolumeStepCommand(MainFrame& frame, int id, long)
{
    const float step = g_settings.playback.volumeStep;
    const bool up = id == cmd::VolumeUp || id == cmd::IncreaseEffect;
    SetVolume(g_settings.playback.volume + (up ? step : -step));
    frame.RefreshStatus();
}

void LoadedPluginsCommand(MainFrame& frame, int, long)
{
    wxMessageBox(wxString::FromUTF8(PluginReport()), wxString::FromUTF8(Translate("Loaded Plugins")),
                 wxOK | wxICON_INFORMATION, &frame);
}

void DeviceMenuCommand(MainFrame& frame, int, long)
{
    const std::vector<DeviceChoice> devices = DeviceChoices();
    if (devices.empty()) {
        Announce(TranslateUtf8("No audio devices found"), true);
        return;
    }
    wxMenu menu;
    for (const DeviceChoice& d : devices) {
        if (d.index > cmd::DeviceLast - cmd::DeviceFirst)
            break;
        menu.AppendCheckItem(cmd::DeviceFirst + d.index, wxString::FromUTF8(d.name))->Check(d.checked);
    }
    const bool wasHidden = !frame.IsShown();
    if (wasHidden)
        frame.Show();
    frame.Raise();
    const int chosen = frame.GetPopupMenuSelectionFromUser(menu);
    if (chosen >= cmd::DeviceFirst && chosen <= cmd::DeviceLast)
        SwitchDeviceAndAnnounce(chosen - cmd::DeviceFirst);
    if (wasHidden)
        frame.Hide();
    frame.RefreshStatus();
}

void SwitchDeviceCommand(MainFrame& frame, int id, long)
{
    SwitchDeviceAndAnnounce(id - cmd::DeviceFirst);
    frame.RefreshStatus();
}

void AddBookmarkCommand(MainFrame&, int, long)
{
    AddBookmarkHere();
}

void BookmarksCommand(MainFrame& frame, int, long)
{
    ShowBookmarksDialog(&frame);
    frame.RefreshStatus();
}

void SongHistoryCommand(MainFrame& frame, int, long)
{
    ShowSongHistoryDialog(&frame);
}

void PlaylistManagerCommand(MainFrame& frame, int, long)
{
    ShowPlaylistManager(&frame);
    frame.RefreshTitle();
    frame.RefreshStatus();
}

void RecordingCommand(MainFrame& frame, int, long)
{
    ToggleRecording();
    frame.RefreshStatus();
}
