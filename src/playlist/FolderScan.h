#pragma once
#include <string>
#include <vector>

// Folder scans that fill the play queue with audio files. Directory order is
// undefined on Linux, so every folder is listed by name, case-insensitively.

// Deepest level ScanFolder enters: the chosen folder is level 0.
inline constexpr int kMaxScanDepth = 32;

// Appends the audio files under folder, recursively, as folder + "/" + name.
// Symbolic links are never followed (so loops cannot occur) and only regular
// files are taken. Returns at once when depth > kMaxScanDepth. Unreadable
// folders contribute nothing.
void ScanFolder(const std::string& folder, int depth, std::vector<std::string>& out);

// The load-whole-folder option: out becomes the audio files of path's folder
// (not its subfolders) and the result is path's index among them. A name
// that matches exactly wins over one that differs only in case; no match
// gives 0. A path without "/", an unreadable folder or a folder without audio
// files gives out = {path} and 0.
int LoadFolderOf(const std::string& path, std::vector<std::string>& out);

// Name order: ASCII letters without regard to case, ties by bytes.
bool NameLessCaseInsensitive(const std::string& a, const std::string& b);

// Add Folder: the scan of folder sorted by full path in ordinal (byte) order,
// so "B.mp3" comes before "a.mp3".
std::vector<std::string> ScanFolderSorted(const std::string& folder);
