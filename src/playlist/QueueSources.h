#pragma once
#include "playlist/Playlist.h"

#include <string>
#include <vector>

// How the ways of opening media fill the play queue. The callers own the
// dialogs, the settings and the speech; these take what they need as values
// and return what to play and what to say (English texts, translated by the
// caller unless a translated text is passed in).

// Appends an opened path: a playlist file adds its entries, anything else
// the path itself.
void AppendOpenedPath(const std::string& path, std::vector<std::string>& entries);

// The Open dialog's rules. Several files: each in order, playlists expanded,
// start 0. One playlist: its entries, start 0. One other file: its folder
// when loadFolder is on (LoadFolderOf), else the file alone. Returns the
// start index; entries is replaced.
int QueueFromOpenedFiles(const std::vector<std::string>& chosen, bool loadFolder,
                         std::vector<std::string>& entries);

// The command line and a second instance's batch, once their paths are in
// entries: a single entry with loadFolder on becomes its folder. Returns the
// start index.
int ApplyLoadFolder(std::vector<std::string>& entries, bool loadFolder);

// Replaces the whole queue (current first becomes -1, as for every source
// other than the playlist manager).
void ReplaceQueue(Playlist& queue, std::vector<std::string> entries);

// Add Folder after the folder was chosen: the sorted scan replaces the queue
// unless it is empty. The caller then plays index 0 when replaced and speaks
// the announcement: "<count> " + filesLoaded, or noFilesFound.
struct AddFolderOutcome {
    bool replaced = false;
    std::string announcement;
};
AddFolderOutcome AddFolderToQueue(Playlist& queue, const std::string& folder,
                                  const std::string& filesLoaded, const std::string& noFilesFound);

// The shuffle command: the new switch value and the text to announce.
struct ShuffleToggle {
    bool shuffle = false;
    const char* announcement = "";
};
ShuffleToggle ToggleShuffle(bool shuffle);
