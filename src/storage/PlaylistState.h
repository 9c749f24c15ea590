#pragma once
#include <string>

// The remembered play queue (sections State and Playlist of the settings
// file), written at exit and read back at the next start.

// Writes the queue of g_playlist and, for the current entry, the playing
// position in seconds (when Playback/RememberState is on; otherwise it
// stores an empty state). Called at exit before SaveSettings. False when
// the file could not be replaced.
bool SavePlaylistState(double positionSeconds);
bool SavePlaylistStateTo(const std::string& path, double positionSeconds);

// What the caller must do after a restore: open queue entry `index` (which
// starts playing it, without a recent-files entry or an announcement) and,
// unless the opened source is a live stream, seek to `positionSeconds` when
// it is above 0.
struct PlaylistRestore {
    bool open = false;
    int index = -1;
    double positionSeconds = 0.0;
};

// Refills g_playlist from the file when Playback/RememberState is on.
// Called once after the main window is shown, only when the queue is empty.
PlaylistRestore RestorePlaylistState();
PlaylistRestore RestorePlaylistStateFrom(const std::string& path);
