#pragma once
class MainFrame;

// Transport, queue, volume and information commands of the main window.
void PlayCommand(MainFrame& frame, int id, long lParam);
void PauseCommand(MainFrame& frame, int id, long lParam);
void PlayPauseCommand(MainFrame& frame, int id, long lParam);
void StopCommand(MainFrame& frame, int id, long lParam);
void PreviousCommand(MainFrame& frame, int id, long lParam);
void NextCommand(MainFrame& frame, int id, long lParam);
void RepeatCommand(MainFrame& frame, int id, long lParam);
void VolumeStepCommand(MainFrame& frame, int id, long lParam);
void MuteCommand(MainFrame& frame, int id, long lParam);
void LoadedPluginsCommand(MainFrame& frame, int id, long lParam);
void AddBookmarkCommand(MainFrame& frame, int id, long lParam);
void BookmarksCommand(MainFrame& frame, int id, long lParam);
void SongHistoryCommand(MainFrame& frame, int id, long lParam);
void PlaylistManagerCommand(MainFrame& frame, int id, long lParam);
void RecordingCommand(MainFrame& frame, int id, long lParam);
void DeviceMenuCommand(MainFrame& frame, int id, long lParam);
void SwitchDeviceCommand(MainFrame& frame, int id, long lParam);

// Connects the playback session to this window.
void ConnectPlaybackUi(MainFrame& frame);
