#pragma once
#include <string>
#include <string_view>
#include <vector>

// Reading M3U, M3U8 and PLS playlists into queue entries, and writing the
// queue as M3U. Reading never fails loudly: a missing or unreadable file,
// undecodable text and absent PLS keys just contribute no entries.

// Files larger than this are not playlists; they read as empty.
inline constexpr size_t kMaxPlaylistFileBytes = 256u << 20;

// ".pls" (any case) goes to ReadPls, any other extension to ReadM3u; a path
// without "." gives nothing.
std::vector<std::string> ReadPlaylistFile(const std::string& path);
std::vector<std::string> ReadM3u(const std::string& path);
std::vector<std::string> ReadPls(const std::string& path);

// Writes "#EXTM3U" and one line per entry, UTF-8 with a byte-order mark and
// CRLF line ends, atomically: a temporary file in the same folder, flushed to
// disk, then renamed over path. An empty entry, or one holding a line break
// or NUL, cannot be a line of its own and is left out. False when nothing was
// written; the old file is then untouched.
bool WriteM3u(const std::string& path, const std::vector<std::string>& entries);

// The pieces, for callers holding the text already and for tests.

// The location lines of an M3U text, decoded to UTF-8: blank lines and lines
// starting with "#" (after leading blanks) are left out.
std::vector<std::string> M3uLocations(std::string_view data);

// The values of File1, File2, ... of the [playlist] section, decoded to
// UTF-8, up to the first missing or empty one and at most 1000.
std::vector<std::string> PlsLocations(std::string_view data);

// The folder part of a playlist's path, up to and including its last "/";
// empty when it has none.
std::string PlaylistBaseFolder(const std::string& playlistPath);

// URLs (http, https, ftp) and absolute paths stay as they are; so does a
// Windows drive-letter path, which will fail to play. Anything else is taken
// relative to baseFolder, its "\" turned into "/".
std::string ResolveLocation(const std::string& location, const std::string& baseFolder);

// Resolves location and appends it; a location naming an existing folder
// appends that folder's audio files instead (ScanFolder).
void AppendResolvedLocation(const std::string& location, const std::string& baseFolder,
                            std::vector<std::string>& out);
