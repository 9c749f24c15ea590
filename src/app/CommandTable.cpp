#include "app/CommandTable.h"

#include "app/Commands.h"
#include "app/EffectCommands.h"
#include "app/FileCommands.h"
#include "app/InfoCommands.h"
#include "app/PlaybackCommands.h"
#include "app/SeekCommands.h"
#include "app/Lifecycle.h"
#include "app/MainFrame.h"
#include "effects/Presets.h"
#include "hotkeys/TrayIcon.h"
#include "i18n/Translations.h"
#include "platform/Paths.h"
#include "playlist/Playlist.h"
#include "storage/RecentFiles.h"
#include "ui/PresetMenu.h"
#include "storage/Settings.h"

#include <wx/mimetype.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

namespace {

void CloseMainWindow(MainFrame& frame, int, long)
{
    frame.Close(true);
}

void HideToTrayCommand(MainFrame& frame, int, long) { HideToTray(&frame); }
void RestoreFromTrayCommand(MainFrame& frame, int, long) { RestoreFromTray(&frame); }
void ToggleWindowCommand(MainFrame& frame, int, long) { ToggleWindow(&frame); }

void PresetMenuCommand(MainFrame& frame, int, long)
{
    ShowPresetMenu(&frame);
    frame.RefreshStatus();
}
void SavePresetMenuCommand(MainFrame& frame, int, long) { SavePresetCommand(&frame); }
void LoadPresetMenuCommand(MainFrame& frame, int id, long)
{
    LoadPresetCommand(id - cmd::LoadPresetFirst);
    frame.RefreshStatus();
}
void DeletePresetMenuCommand(MainFrame&, int id, long) { DeletePresetCommand(id - cmd::DeletePresetFirst); }

void PlayRecentFile(MainFrame& frame, int id, long)
{
    const int index = QueueRecentFile(id);
    if (index >= 0)
        StartQueueAt(frame, index, true);
}

// Opens a shipped document with the desktop's default program.
void OpenShippedDocument(MainFrame& frame, const std::string& name, const char* failure, const char* caption)
{
    const std::string path = ResourceDir() + "/docs/" + name;
    if (!PathExists(path) || !wxLaunchDefaultApplication(wxString::FromUTF8(path))) {
        wxMessageBox(wxString::FromUTF8(Translate(failure)), wxString::FromUTF8(Translate(caption)),
                     wxOK | wxICON_WARNING, &frame);
    }
}

void OpenManual(MainFrame& frame, int, long)
{
    const bool french = g_settings.general.language == "fr";
    OpenShippedDocument(frame, french ? "manual_fr.html" : "manual_en.html",
                        "Could not open the manual. Make sure the docs folder is present alongside the corvane program.",
                        "Manual");
}

void OpenReadme(MainFrame& frame, int, long)
{
    OpenShippedDocument(frame, "readme.txt",
                        "Could not open readme.txt. Make sure the docs folder is present alongside the corvane program.",
                        "Readme");
}

const CommandRoute kRoutes[] = {
    {cmd::Open, cmd::Open, OpenFilesCommand, "Open"},
    {cmd::OpenUrl, cmd::OpenUrl, OpenUrlCommand, "Open URL"},
    {cmd::AddFolder, cmd::AddFolder, AddFolderCommand, "Add Folder"},
    {cmd::Paste, cmd::Paste, PasteCommand, "Paste"},
    {cmd::Shuffle, cmd::Shuffle, ToggleShuffleCommand, "Toggle Shuffle"},
    {cmd::Play, cmd::Play, PlayCommand, "Play"},
    {cmd::Pause, cmd::Pause, PauseCommand, "Pause"},
    {cmd::PlayPause, cmd::PlayPause, PlayPauseCommand, "Play/Pause"},
    {cmd::Stop, cmd::Stop, StopCommand, "Stop"},
    {cmd::Previous, cmd::Previous, PreviousCommand, "Previous Track"},
    {cmd::Next, cmd::Next, NextCommand, "Next Track"},
    {cmd::Repeat, cmd::Repeat, RepeatCommand, "Repeat"},
    {cmd::VolumeUp, cmd::VolumeDown, VolumeStepCommand, "Volume"},
    {cmd::PreviousEffect, cmd::NextEffect, SelectParamCommand, "Previous/Next Effect"},
    {cmd::IncreaseEffect, cmd::DecreaseEffect, AdjustParamCommand, "Increase/Decrease Effect"},
    {cmd::ResetEffect, cmd::ResetEffect, ResetParamCommand, "Reset parameter"},
    {cmd::EffectMinimum, cmd::EffectMinimum, ParamMinimumCommand, "Parameter minimum"},
    {cmd::EffectMaximum, cmd::EffectMaximum, ParamMaximumCommand, "Parameter maximum"},
    {cmd::ToggleVolume, cmd::ToggleVolume + 3, ToggleStreamParamCommand, "Toggle stream parameter"},
    {cmd::ToggleEffect0, cmd::ToggleEffect0 + 5, ToggleDspEffectCommand, "Toggle effect"},
    {cmd::Toggle3DAudio, cmd::ToggleConvolution, ToggleDspEffectCommand, "Toggle effect"},
    {cmd::ToggleMute, cmd::ToggleMute, MuteCommand, "Toggle Mute"},
    {cmd::LoadedPlugins, cmd::LoadedPlugins, LoadedPluginsCommand, "Loaded Plugins"},
    {cmd::PlaylistManager, cmd::PlaylistManager, PlaylistManagerCommand, "Playlist"},
    {cmd::ToggleRecording, cmd::ToggleRecording, RecordingCommand, "Toggle Recording"},
    {cmd::AddBookmark, cmd::AddBookmark, AddBookmarkCommand, "Add Bookmark"},
    {cmd::Bookmarks, cmd::Bookmarks, BookmarksCommand, "Bookmarks"},
    {cmd::SongHistory, cmd::SongHistory, SongHistoryCommand, "Song History"},
    {cmd::AudioDeviceMenu, cmd::AudioDeviceMenu, DeviceMenuCommand, "Audio Device Menu"},
    {cmd::DeviceFirst + 1, cmd::DeviceLast, SwitchDeviceCommand, "Switch device"},
    {cmd::SeekBackward, cmd::SeekForward, SeekCommand, "Seek"},
    {cmd::Beginning, cmd::Beginning, SeekCommand, "Beginning"},
    {cmd::PreviousSeekUnit, cmd::NextSeekUnit, SeekUnitCommand, "Seek unit"},
    {cmd::SpeakSeekUnit, cmd::SpeakSeekUnit, SeekUnitCommand, "Speak Seek Unit"},
    {cmd::SpeakElapsed, cmd::SpeakTotal, TimeReadoutCommand, "Speak time"},
    {cmd::JumpToTime, cmd::JumpToTime, JumpToTimeCommand, "Jump to Time"},
    {cmd::SpeakNowPlaying, cmd::SpeakNowPlaying, SpeakInfoCommand, "Speak Now Playing"},
    {cmd::SpeakFileName, cmd::SpeakFileName + 9, SpeakInfoCommand, "Speak information"},
    {cmd::ShowTitle, cmd::ShowTitle + 9, ShowInfoCommand, "Show information"},
    {cmd::Exit, cmd::Exit, CloseMainWindow, "Exit"},
    {cmd::TrayExit, cmd::TrayExit, CloseMainWindow, "Exit"},
    {cmd::HideToTray, cmd::HideToTray, HideToTrayCommand, "Hide to Tray"},
    {cmd::PresetMenu, cmd::PresetMenu, PresetMenuCommand, "Preset menu"},
    {cmd::SavePreset, cmd::SavePreset, SavePresetMenuCommand, "Save preset"},
    {cmd::LoadPresetFirst, cmd::LoadPresetLast, LoadPresetMenuCommand, "Load preset"},
    {cmd::DeletePresetFirst, cmd::DeletePresetLast, DeletePresetMenuCommand, "Delete preset"},
    {cmd::TrayRestore, cmd::TrayRestore, RestoreFromTrayCommand, "Restore"},
    {cmd::ToggleWindow, cmd::ToggleWindow, ToggleWindowCommand, "Toggle Window"},
    {cmd::Manual, cmd::Manual, OpenManual, "Manual"},
    {cmd::Readme, cmd::Readme, OpenReadme, "Readme"},
    {cmd::RecentFirst, cmd::RecentLast, PlayRecentFile, "Recent file"},
};

}  // namespace

const CommandRoute* FindCommandRoute(int id)
{
    for (const CommandRoute& r : kRoutes) {
        if (id >= r.first && id <= r.last)
            return &r;
    }
    return nullptr;
}
