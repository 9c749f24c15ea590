#pragma once
// A file that receives a download and appears under its final name only
// when it is complete: written beside the target, flushed to disk, renamed.
#include <cstddef>
#include <string>

struct PendingFile {
    std::string finalPath;
    std::string tempPath;
    int fd = -1;
};

// Opens a fresh temporary file in finalPath's folder ("<final>.part-<n>").
bool CreatePendingFile(PendingFile& file, const std::string& finalPath);

// Opens exactly `tempPath`, truncating what is there.
bool CreatePendingFileAt(PendingFile& file, const std::string& finalPath, const std::string& tempPath);

bool WritePending(PendingFile& file, const char* data, std::size_t size);

// fsync, close and rename over finalPath (keeping an existing target's
// permission bits). On failure the temporary file is removed.
bool CommitPending(PendingFile& file);

// Closes and removes the temporary file, if any.
void DiscardPending(PendingFile& file);
