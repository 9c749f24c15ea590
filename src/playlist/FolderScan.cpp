#include "playlist/FolderScan.h"

#include "playlist/MediaExtensions.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool isRegularFile = false;
};

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsCaseInsensitive(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Lists a folder sorted by name. followLinks decides whether an entry that is
// a symbolic link is classified by its target or left out of both kinds.
bool ListFolder(const std::string& folder, bool followLinks, std::vector<DirEntry>& entries)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    const int fd = dirfd(dir);
    while (const dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        DirEntry e{name};
        unsigned char type = d->d_type;
        if (type == DT_LNK && !followLinks)
            continue;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st{};
            const int flags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
            if (fstatat(fd, d->d_name, &st, flags) != 0)
                continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        e.isDirectory = type == DT_DIR;
        e.isRegularFile = type == DT_REG;
        entries.push_back(std::move(e));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        return NameLessCaseInsensitive(a.name, b.name);
    });
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

}  // namespace

bool NameLessCaseInsensitive(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char x = LowerAscii(a[i]);
        const char y = LowerAscii(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

void ScanFolder(const std::string& folder, int depth, std::vector<std::string>& out)
{
    if (depth > kMaxScanDepth || folder.empty())
        return;
    std::vector<DirEntry> entries;
    if (!ListFolder(folder, false, entries))
        return;
    for (const DirEntry& e : entries) {
        if (e.isDirectory)
            ScanFolder(JoinPath(folder, e.name), depth + 1, out);
        else if (e.isRegularFile && HasAudioExtension(e.name))
            out.push_back(JoinPath(folder, e.name));
    }
}

int LoadFolderOf(const std::string& path, std::vector<std::string>& out)
{
    out.clear();
    const size_t slash = path.find_last_of('/');
    std::vector<DirEntry> entries;
    if (slash == std::string::npos || !ListFolder(path.substr(0, slash + 1), true, entries)) {
        out.push_back(path);
        return 0;
    }
    const std::string folder = path.substr(0, slash + 1);
    const std::string fileName = path.substr(slash + 1);
    int exact = -1;
    int caseless = -1;
    for (const DirEntry& e : entries) {
        if (!e.isRegularFile || !HasAudioExtension(e.name))
            continue;
        const int index = static_cast<int>(out.size());
        if (exact < 0 && e.name == fileName)
            exact = index;
        if (caseless < 0 && EqualsCaseInsensitive(e.name, fileName))
            caseless = index;
        out.push_back(folder + e.name);
    }
    if (out.empty()) {
        // Nothing playable beside it (a lone video, say): keep the chosen file
        // rather than an empty queue that plays nothing.
        out.push_back(path);
        return 0;
    }
    if (exact >= 0)
        return exact;
    return caseless >= 0 ? caseless : 0;
}

std::vector<std::string> ScanFolderSorted(const std::string& folder)
{
    std::vector<std::string> files;
    ScanFolder(folder, 0, files);
    std::sort(files.begin(), files.end());
    return files;
}
