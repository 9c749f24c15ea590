#include "playlist/QueueSources.h"

#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"
#include "playlist/PlaylistFiles.h"

void AppendOpenedPath(const std::string& path, std::vector<std::string>& entries)
{
    if (IsPlaylistFile(path)) {
        std::vector<std::string> listed = ReadPlaylistFile(path);
        entries.insert(entries.end(), std::make_move_iterator(listed.begin()),
                       std::make_move_iterator(listed.end()));
    } else {
        entries.push_back(path);
    }
}

int QueueFromOpenedFiles(const std::vector<std::string>& chosen, bool loadFolder,
                         std::vector<std::string>& entries)
{
    entries.clear();
    if (chosen.size() == 1 && !IsPlaylistFile(chosen[0]) && loadFolder)
        return LoadFolderOf(chosen[0], entries);
    for (const std::string& path : chosen)
        AppendOpenedPath(path, entries);
    return 0;
}

int ApplyLoadFolder(std::vector<std::string>& entries, bool loadFolder)
{
    if (!loadFolder || entries.size() != 1)
        return 0;
    const std::string path = entries[0];
    return LoadFolderOf(path, entries);
}

void ReplaceQueue(Playlist& queue, std::vector<std::string> entries)
{
    queue.current = -1;
    queue.entries = std::move(entries);
}

AddFolderOutcome AddFolderToQueue(Playlist& queue, const std::string& folder,
                                  const std::string& filesLoaded, const std::string& noFilesFound)
{
    std::vector<std::string> files = ScanFolderSorted(folder);
    if (files.empty())
        return {false, noFilesFound};
    std::string announcement = std::to_string(files.size()) + " " + filesLoaded;
    ReplaceQueue(queue, std::move(files));
    return {true, std::move(announcement)};
}

ShuffleToggle ToggleShuffle(bool shuffle)
{
    return shuffle ? ShuffleToggle{false, "Shuffle off"} : ShuffleToggle{true, "Shuffle on"};
}
