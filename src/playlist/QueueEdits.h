#pragma once
// In-place edits of the play queue by the playlist manager. Each keeps the
// current index on the entry that was current (or -1 when it was removed).
#include <string>
#include <vector>

#include "playlist/Playlist.h"

// "%d. %s": the 1-based number and the entry's file-name part.
std::string QueueLine(int index, const std::string& entry);

// Removes the given indexes; returns the line to select afterwards (the
// first removed index, or the last entry when that is past the end; -1 for
// an empty queue).
int RemoveEntries(Playlist& queue, std::vector<int> indexes);

// Inserts items at position `at` (clamped to the end); returns `at`.
int InsertEntries(Playlist& queue, int at, const std::vector<std::string>& items);

// Moves each selected entry one place up (down); returns the new indexes of
// the moved entries, or an empty list when the move is not possible.
std::vector<int> MoveEntriesUp(Playlist& queue, std::vector<int> selected);
std::vector<int> MoveEntriesDown(Playlist& queue, std::vector<int> selected);
