#pragma once
#include <string>
#include <vector>

// The File > Recent Files list, kept in g_settings.recentFiles (most recent
// first, at most kMaxRecentFiles) and saved with the settings.

// Called whenever an entry has been opened. Empty paths and URLs are not
// added; an entry naming the same file moves to the front.
void AddRecentFile(const std::string& path);

// One item of the rebuilt Recent Files submenu. `label` is ready for a menu
// ('&' marks the access key; a literal '&' is doubled).
struct RecentMenuItem {
    int command = 0;
    std::string label;
    bool enabled = true;
};

// Entry i becomes command 6000 + i labelled "&<(i + 1) mod 10> <file name>";
// an empty list gives the one greyed item "(Empty)" with command 0.
std::vector<RecentMenuItem> RecentMenuItems();

// Command 6000 + i: the play queue becomes that one path with no current
// entry. Returns the queue index to play (0), or -1 when there is no such
// entry (the queue is then left alone).
int QueueRecentFile(int command);
