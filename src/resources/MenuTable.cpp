#include "resources/MenuTable.h"

#include "app/Commands.h"

namespace {

MenuItemDef Item(int id, const char* text) { return {MenuItemKind::Command, id, text}; }
MenuItemDef Check(int id, const char* text) { return {MenuItemKind::Check, id, text}; }
MenuItemDef Separator() { return {MenuItemKind::Separator, 0, ""}; }

}  // namespace

const std::vector<MenuDef>& MainMenuBar()
{
    static const std::vector<MenuDef> menus = {
        {"&File",
         {
             Item(cmd::Open, "&Open...\tCtrl+O"),
             Item(cmd::AddFolder, "Add &Folder...\tCtrl+Shift+O"),
             Item(cmd::PlaylistManager, "&Playlist...\tCtrl+P"),
             Item(cmd::OpenUrl, "Open &URL...\tCtrl+U"),
             Item(cmd::Paste, "Paste from clip&board\tCtrl+V"),
             Separator(),
             Item(cmd::YouTube, "&YouTube...\tCtrl+Y"),
             Item(cmd::Radio, "&Radio...\tCtrl+R"),
             Item(cmd::AddStreamToFavorites, "&Add Stream to Favorites...\tCtrl+D"),
             Item(cmd::Podcasts, "&Podcasts...\tCtrl+Shift+P"),
             Item(cmd::Schedule, "&Schedule...\tCtrl+S"),
             Item(cmd::SongHistory, "Song &History...\tCtrl+Shift+H"),
             Separator(),
             {MenuItemKind::SubMenuBegin, 0, "Recent &Files"},
             {MenuItemKind::Disabled, 0, "(Empty)"},
             {MenuItemKind::SubMenuEnd, 0, ""},
             Separator(),
             Item(cmd::HideToTray, "&Hide to Tray\tCtrl+H"),
             Item(cmd::Options, "O&ptions...\tCtrl+,"),
             Separator(),
             Item(cmd::Exit, "E&xit\tAlt+F4"),
         }},
        {"&Playback",
         {
             Item(cmd::Play, "&Play\tX"),
             Item(cmd::Pause, "Pa&use\tC"),
             Item(cmd::PlayPause, "Play/Pause\tSpace"),
             Item(cmd::Stop, "&Stop\tV"),
             Item(cmd::Previous, "P&revious\tZ"),
             Item(cmd::Next, "&Next\tB"),
             Separator(),
             Check(cmd::Shuffle, "S&huffle\tH"),
             Item(cmd::Repeat, "R&epeat\tE"),
             Separator(),
             Item(cmd::SeekBackward, "Seek &Backward\tLeft"),
             Item(cmd::SeekForward, "Seek &Forward\tRight"),
             Item(cmd::Beginning, "&Beginning\tHome"),
             Item(cmd::JumpToTime, "&Jump to Time...\tJ"),
             Separator(),
             Item(cmd::VolumeUp, "Volume &Up\tUp"),
             Item(cmd::VolumeDown, "Volume &Down\tDown"),
             Separator(),
             Item(cmd::SpeakElapsed, "Speak &Elapsed\tCtrl+Shift+E"),
             Item(cmd::SpeakRemaining, "Speak &Remaining\tCtrl+Shift+R"),
             Item(cmd::SpeakTotal, "Speak &Total\tCtrl+Shift+T"),
         }},
        {"&Video",
         {
             Item(cmd::Fullscreen, "&Fullscreen\tF11"),
             Separator(),
             Item(cmd::CycleSubtitles, "Cycle &Subtitles"),
             Item(cmd::LoadSubtitleFile, "&Load Subtitle File..."),
             Item(cmd::SubtitlesOff, "Subtitles &Off"),
             Separator(),
             Item(cmd::CycleAudioTrack, "Cycle &Audio Track"),
             Item(cmd::CycleAspectRatio, "Cycle Aspect &Ratio"),
             Separator(),
             Item(cmd::TakeScreenshot, "Take Scr&eenshot"),
         }},
        {"&Help",
         {
             Item(cmd::Manual, "&Manual\tF1"),
             Item(cmd::Readme, "&Readme"),
             Separator(),
             Item(cmd::CheckForUpdates, "Check for &Updates..."),
             Item(cmd::LoadedPlugins, "&Loaded Plugins..."),
             Separator(),
             Item(cmd::TestYouTube, "&Test YouTube playback"),
             Item(cmd::ClearYouTubeCache, "C&lear YouTube cache..."),
             Item(cmd::AuditLayout, "Audit dialog &layout..."),
         }},
    };
    return menus;
}

const std::vector<AccelDef>& MainAccelerators()
{
    using namespace mod;
    static const std::vector<AccelDef> table = {
        // File
        {Ctrl, 'O', cmd::Open},
        {Ctrl | Shift, 'O', cmd::AddFolder},
        {Ctrl, 'P', cmd::PlaylistManager},
        {Ctrl, 'U', cmd::OpenUrl},
        {Ctrl, 'V', cmd::Paste},
        {Ctrl, 'Y', cmd::YouTube},
        {Ctrl, 'R', cmd::Radio},
        {Ctrl, 'D', cmd::AddStreamToFavorites},
        {Ctrl | Shift, 'P', cmd::Podcasts},
        {Ctrl, 'S', cmd::Schedule},
        {Ctrl | Shift, 'H', cmd::SongHistory},
        {Ctrl, 'H', cmd::HideToTray},
        {Ctrl, ',', cmd::Options},
        // Playback
        {None, 'X', cmd::Play},
        {None, 'C', cmd::Pause},
        {None, key::Space, cmd::PlayPause},
        {None, 'V', cmd::Stop},
        {None, 'Z', cmd::Previous},
        {None, 'B', cmd::Next},
        {None, 'H', cmd::Shuffle},
        {None, 'E', cmd::Repeat},
        {None, key::Left, cmd::SeekBackward},
        {None, key::Right, cmd::SeekForward},
        {None, key::Home, cmd::Beginning},
        {None, 'J', cmd::JumpToTime},
        {Ctrl, key::Up, cmd::VolumeUp},
        {Ctrl, key::Down, cmd::VolumeDown},
        {Ctrl | Shift, 'E', cmd::SpeakElapsed},
        {Ctrl | Shift, 'R', cmd::SpeakRemaining},
        {Ctrl | Shift, 'T', cmd::SpeakTotal},
        // Video
        {None, key::F11, cmd::Fullscreen},
        {Ctrl | Shift, 'T', cmd::CycleSubtitles},  // shadowed by Speak Total above
        {Ctrl | Shift, 'A', cmd::CycleAudioTrack},
        {Ctrl | Shift, 'S', cmd::TakeScreenshot},
        // Help
        {None, key::F1, cmd::Manual},
        // Keyboard-only
        {None, key::Up, cmd::IncreaseEffect},
        {None, key::Down, cmd::DecreaseEffect},
        {None, '[', cmd::PreviousEffect},
        {None, ']', cmd::NextEffect},
        {None, key::Back, cmd::ResetEffect},
        {Ctrl, key::Home, cmd::EffectMinimum},
        {Ctrl, key::End, cmd::EffectMaximum},
        {None, ',', cmd::PreviousSeekUnit},
        {None, '.', cmd::NextSeekUnit},
        {None, 'U', cmd::ToggleMute},
        {None, 'A', cmd::AudioDeviceMenu},
        {None, 'P', cmd::PresetMenu},
        {None, 'M', cmd::AddBookmark},
        {Ctrl, 'M', cmd::Bookmarks},
        {None, 'R', cmd::ToggleRecording},
        {Ctrl, '1', cmd::ToggleVolume},
        {Ctrl, '2', cmd::ToggleVolume + 1},
        {Ctrl, '3', cmd::ToggleVolume + 2},
        {Ctrl, '4', cmd::ToggleVolume + 3},
        {Ctrl, '5', cmd::ToggleEffect0},
        {Ctrl, '6', cmd::ToggleEffect0 + 1},
        {Ctrl, '7', cmd::ToggleEffect0 + 2},
        {Ctrl, '8', cmd::ToggleEffect0 + 3},
        {Ctrl, '9', cmd::ToggleEffect0 + 4},
        {Ctrl, '0', cmd::ToggleEffect0 + 5},
        {Ctrl, '-', cmd::ToggleConvolution},
        {Ctrl, '=', cmd::Toggle3DAudio},
        {None, '1', cmd::SpeakTitle},
        {None, '2', cmd::SpeakTitle + 1},
        {None, '3', cmd::SpeakTitle + 2},
        {None, '4', cmd::SpeakTitle + 3},
        {None, '5', cmd::SpeakTitle + 4},
        {None, '6', cmd::SpeakTitle + 5},
        {None, '7', cmd::SpeakTitle + 6},
        {None, '8', cmd::SpeakTitle + 7},
        {None, '9', cmd::SpeakTitle + 8},
        {None, '0', cmd::SpeakFileName},
        {Shift, '1', cmd::ShowTitle},
        {Shift, '2', cmd::ShowTitle + 1},
        {Shift, '3', cmd::ShowTitle + 2},
        {Shift, '4', cmd::ShowTitle + 3},
        {Shift, '5', cmd::ShowTitle + 4},
        {Shift, '6', cmd::ShowTitle + 5},
        {Shift, '7', cmd::ShowTitle + 6},
        {Shift, '8', cmd::ShowTitle + 7},
        {Shift, '9', cmd::ShowTitle + 8},
        {Shift, '0', cmd::ShowTitle + 9},
    };
    return table;
}

int FindAccelerator(std::uint8_t mods, int keyCode)
{
    for (const AccelDef& a : MainAccelerators()) {
        if (a.mods == mods && a.key == keyCode)
            return a.id;
    }
    return 0;
}
