#pragma once
// Command identifiers: every user action is one of these numbers.

namespace cmd {

// File menu
constexpr int Open = 101;
constexpr int Exit = 102;
constexpr int Options = 103;
constexpr int OpenUrl = 104;
constexpr int YouTube = 105;
constexpr int HideToTray = 106;
constexpr int Radio = 107;
constexpr int Schedule = 108;
constexpr int LoadedPlugins = 109;
constexpr int AddFolder = 110;
constexpr int PlaylistManager = 111;
constexpr int CheckForUpdates = 112;
constexpr int AddStreamToFavorites = 113;
constexpr int Readme = 114;
constexpr int TestYouTube = 118;
constexpr int ClearYouTubeCache = 119;
constexpr int AuditLayout = 120;
constexpr int Manual = 121;
constexpr int Paste = 122;
constexpr int Podcasts = 940;
constexpr int SongHistory = 990;

// Playback
constexpr int PlayPause = 201;
constexpr int Stop = 202;
constexpr int Previous = 203;
constexpr int Next = 204;
constexpr int SeekBackward = 205;
constexpr int SeekForward = 206;
constexpr int VolumeUp = 207;
constexpr int VolumeDown = 208;
constexpr int SpeakElapsed = 209;
constexpr int SpeakRemaining = 210;
constexpr int SpeakTotal = 211;
constexpr int Play = 212;
constexpr int Pause = 213;
constexpr int SpeakNowPlaying = 214;
constexpr int Shuffle = 215;
constexpr int Beginning = 216;
constexpr int JumpToTime = 217;
constexpr int ToggleMute = 218;
constexpr int Repeat = 219;
constexpr int PreviousSeekUnit = 220;
constexpr int NextSeekUnit = 221;
constexpr int PreviousEffect = 230;
constexpr int NextEffect = 231;
constexpr int IncreaseEffect = 232;
constexpr int DecreaseEffect = 233;
constexpr int ResetEffect = 234;
constexpr int EffectMinimum = 235;
constexpr int EffectMaximum = 236;
constexpr int AudioDeviceMenu = 237;
constexpr int PresetMenu = 238;
constexpr int ToggleVolume = 240;  // 240-243: adjustable parameters 0-3
constexpr int ToggleEffect0 = 244; // 244-249: effects 0-5
constexpr int SpeakSeekUnit = 250;
constexpr int Toggle3DAudio = 251;          // effect 7
constexpr int ToggleConvolution = 252;      // effect 6
constexpr int SpeakFileName = 260;
constexpr int SpeakTitle = 261;             // 261-269: spoken fields
constexpr int ShowTitle = 270;              // 270-279: shown fields

// Tray and windows
constexpr int TrayRestore = 700;
constexpr int TrayExit = 701;
constexpr int ToggleWindow = 702;

// Bookmarks and recording
constexpr int AddBookmark = 800;
constexpr int Bookmarks = 801;
constexpr int ToggleRecording = 820;

// Video
constexpr int Fullscreen = 1200;
constexpr int CycleSubtitles = 1201;
constexpr int LoadSubtitleFile = 1202;
constexpr int SubtitlesOff = 1203;
constexpr int CycleAudioTrack = 1240;
constexpr int CycleAspectRatio = 1270;
constexpr int TakeScreenshot = 1280;

// Built at run time
constexpr int DeviceFirst = 5000;  // 5000 + device index, 1..99
constexpr int DeviceLast = 5099;
constexpr int RecentFirst = 6000;  // 6000 + recent index, 0..9
constexpr int RecentLast = 6009;
constexpr int LoadPresetFirst = 7000;
constexpr int LoadPresetLast = 7099;
constexpr int DeletePresetFirst = 7100;
constexpr int DeletePresetLast = 7199;
constexpr int SavePreset = 7200;

}  // namespace cmd
