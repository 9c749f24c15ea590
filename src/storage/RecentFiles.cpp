#include "storage/RecentFiles.h"

#include "app/Commands.h"
#include "platform/Paths.h"
#include "playlist/Playlist.h"
#include "storage/Settings.h"

#include <sys/stat.h>

namespace {

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Linux names are case-sensitive, so two spellings are one file only when
// the file system says so (a FAT or exFAT stick, say). The disk is asked
// only for names that differ in case alone.
bool SameFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    if (!EqualIgnoringAsciiCase(a, b))
        return false;
    struct stat sa{}, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string MenuText(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == '&')
            out += "&&";
        else if (c == '\t')  // a tab would start an accelerator text
            out += ' ';
        else
            out += c;
    }
    return out;
}

}  // namespace

void AddRecentFile(const std::string& path)
{
    if (path.empty() || path.find("://", 1) != std::string::npos)
        return;
    std::vector<std::string>& list = g_settings.recentFiles;
    std::erase_if(list, [&](const std::string& e) { return SameFile(e, path); });
    list.insert(list.begin(), path);
    if (list.size() > kMaxRecentFiles)
        list.resize(kMaxRecentFiles);
}

std::vector<RecentMenuItem> RecentMenuItems()
{
    std::vector<RecentMenuItem> items;
    const std::vector<std::string>& list = g_settings.recentFiles;
    if (list.empty()) {
        items.push_back({0, "(Empty)", false});  // stays English in every language
        return items;
    }
    for (size_t i = 0; i < list.size() && i < kMaxRecentFiles; ++i) {
        RecentMenuItem item;
        item.command = cmd::RecentFirst + static_cast<int>(i);
        item.label = "&" + std::to_string((i + 1) % 10) + " " + MenuText(FileNamePart(list[i]));
        items.push_back(std::move(item));
    }
    return items;
}

int QueueRecentFile(int command)
{
    const int i = command - cmd::RecentFirst;
    if (i < 0 || i >= static_cast<int>(kMaxRecentFiles) ||
        i >= static_cast<int>(g_settings.recentFiles.size()))
        return -1;
    const std::string path = g_settings.recentFiles[static_cast<size_t>(i)];
    g_playlist.current = -1;
    g_playlist.entries.assign(1, path);
    return 0;
}
