#pragma once
#include <array>
#include <string>
#include <string_view>

// Extensions are compared in lower case; a name's extension runs from its
// last "." to the end, and a name without "." has none.

inline constexpr std::array<std::string_view, 17> AudioExtensions{
    ".mp3", ".wav", ".ogg", ".oga", ".flac", ".m4a", ".m4b", ".wma", ".aac",
    ".opus", ".aiff", ".ape", ".wv", ".mid", ".midi", ".dff", ".dsf"};

// Taken only from files pasted from the clipboard.
inline constexpr std::array<std::string_view, 17> VideoExtensions{
    ".mp4", ".mkv", ".avi", ".mov", ".webm", ".wmv", ".flv", ".ts", ".m2ts",
    ".vob", ".ogv", ".3gp", ".mpg", ".mpeg", ".m4v", ".divx", ".rmvb"};

inline constexpr std::array<std::string_view, 3> PlaylistExtensions{".m3u", ".m3u8", ".pls"};

// The lower-cased extension of the last path component, with its dot;
// empty when that component has no ".".
std::string LowerExtension(std::string_view path);

bool HasAudioExtension(std::string_view path);
bool HasVideoExtension(std::string_view path);

// ".m3u", ".m3u8" or ".pls", in any case.
bool IsPlaylistFile(std::string_view path);
