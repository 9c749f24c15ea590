#include "playlist/PlaylistFiles.h"

#include "platform/Paths.h"
#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"
#include "playlist/TextDecoding.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr int kMaxPlsEntries = 1000;

// Reads a whole regular file. Opening without blocking keeps a FIFO named
// like a playlist from hanging the caller.
bool ReadWholeFile(const std::string& path, std::string& data)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<unsigned long long>(st.st_size) > kMaxPlaylistFileBytes) {
        close(fd);
        return false;
    }
    data.clear();
    data.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<size_t>(n));
        if (data.size() > kMaxPlaylistFileBytes) {
            close(fd);
            return false;
        }
    }
    close(fd);
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A NUL ends a line's text, as it would for a C string.
std::string_view CutAtNul(std::string_view s)
{
    const size_t nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// prefix is lower case.
bool StartsWithCaseInsensitive(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

bool IsUrl(std::string_view s)
{
    return StartsWithCaseInsensitive(s, "http://") || StartsWithCaseInsensitive(s, "https://") ||
           StartsWithCaseInsensitive(s, "ftp://");
}

bool IsDriveLetterPath(std::string_view s) { return s.size() >= 3 && s[1] == ':'; }

// The text of a PLS file as UTF-8 lines: byte-order marks select UTF-16 or
// drop the UTF-8 mark; anything else is decoded line by line later.
std::string PlsText(std::string_view data)
{
    if (data.size() >= 2 && data[0] == '\xFF' && data[1] == '\xFE')
        return Utf16BytesToUtf8(data.substr(2), false);
    if (data.size() >= 2 && data[0] == '\xFE' && data[1] == '\xFF')
        return Utf16BytesToUtf8(data.substr(2), true);
    if (data.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        data.remove_prefix(kUtf8Bom.size());
    return std::string(data);
}

// Keys of the first [playlist] section (lower-cased, first occurrence wins),
// with blanks around values and one pair of enclosing quotes removed.
std::unordered_map<std::string, std::string> PlaylistSectionKeys(std::string_view text)
{
    std::unordered_map<std::string, std::string> keys;
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = TrimBlanks(CutAtNul(text.substr(pos, end - pos)));
        pos = end + 1;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (inSection)
                break;
            const size_t close = line.find(']');
            const std::string_view name =
                TrimBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            inSection = LowerAscii(name) == "playlist";
            continue;
        }
        if (!inSection)
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string_view value = TrimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        keys.emplace(LowerAscii(TrimBlanks(line.substr(0, eq))), std::string(value));
    }
    return keys;
}

}  // namespace

std::vector<std::string> M3uLocations(std::string_view data)
{
    std::vector<std::string> locations;
    if (data.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        data.remove_prefix(kUtf8Bom.size());
    size_t pos = 0;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        if (end == std::string_view::npos)
            end = data.size();
        std::string_view line = CutAtNul(data.substr(pos, end - pos));
        pos = end + 1;
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        while (!line.empty() && (IsBlank(line.back()) || line.back() == '\r' || line.back() == '\n'))
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        locations.push_back(DecodePlaylistText(line));
    }
    return locations;
}

std::vector<std::string> PlsLocations(std::string_view data)
{
    const std::unordered_map<std::string, std::string> keys = PlaylistSectionKeys(PlsText(data));
    std::vector<std::string> locations;
    for (int i = 1; i <= kMaxPlsEntries; ++i) {
        const auto it = keys.find("file" + std::to_string(i));
        if (it == keys.end() || it->second.empty())
            break;
        locations.push_back(DecodePlaylistText(it->second));
    }
    return locations;
}

std::string PlaylistBaseFolder(const std::string& playlistPath)
{
    const size_t slash = playlistPath.find_last_of('/');
    return slash == std::string::npos ? std::string() : playlistPath.substr(0, slash + 1);
}

std::string ResolveLocation(const std::string& location, const std::string& baseFolder)
{
    if (location.empty() || IsUrl(location) || location.front() == '/' ||
        IsDriveLetterPath(location))
        return location;
    std::string path = baseFolder + location;
    for (size_t i = baseFolder.size(); i < path.size(); ++i) {
        if (path[i] == '\\')
            path[i] = '/';
    }
    return path;
}

void AppendResolvedLocation(const std::string& location, const std::string& baseFolder,
                            std::vector<std::string>& out)
{
    if (location.empty())
        return;
    std::string resolved = ResolveLocation(location, baseFolder);
    if (!IsUrl(resolved) && !IsDriveLetterPath(location) && IsDirectory(resolved))
        ScanFolder(resolved, 0, out);
    else
        out.push_back(std::move(resolved));
}

std::vector<std::string> ReadM3u(const std::string& path)
{
    std::string data;
    if (!ReadWholeFile(path, data))
        return {};
    const std::string base = PlaylistBaseFolder(path);
    std::vector<std::string> entries;
    for (const std::string& location : M3uLocations(data))
        AppendResolvedLocation(location, base, entries);
    return entries;
}

std::vector<std::string> ReadPls(const std::string& path)
{
    std::string data;
    if (!ReadWholeFile(path, data))
        return {};
    const std::string base = PlaylistBaseFolder(path);
    std::vector<std::string> entries;
    for (const std::string& location : PlsLocations(data))
        AppendResolvedLocation(location, base, entries);
    return entries;
}

std::vector<std::string> ReadPlaylistFile(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    if (ext.empty())
        return {};
    return ext == ".pls" ? ReadPls(path) : ReadM3u(path);
}
