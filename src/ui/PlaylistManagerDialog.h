#pragma once
class wxWindow;

// The playlist manager (Ctrl+P): the queue as a list to play, remove,
// reorder, paste into and save.
void ShowPlaylistManager(wxWindow* owner);
// Playback moved to another entry: the open manager follows it.
void PlaylistManagerCurrentChanged();
