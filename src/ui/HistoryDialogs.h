#pragma once
class wxWindow;

// The bookmarks dialog (Ctrl+M) and the song history dialog (Ctrl+Shift+H).
void ShowBookmarksDialog(wxWindow* owner);
void ShowSongHistoryDialog(wxWindow* owner);
