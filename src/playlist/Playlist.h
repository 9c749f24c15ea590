#pragma once
#include <string>
#include <vector>

// The play queue: paths or URLs in play order and the index being played
// (-1 for none). Invariant: current is -1 or a valid index into entries.
struct Playlist {
    std::vector<std::string> entries;
    int current = -1;
};

extern Playlist g_playlist;
