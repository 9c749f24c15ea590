#include "playback/Bookmarks.h"

#include "i18n/Translations.h"
#include "playback/PlaybackSession.h"
#include "playback/Seeking.h"
#include "playlist/Playlist.h"
#include "speech/AnnouncementQueue.h"

#include <algorithm>
#include <cctype>

namespace {

bool SamePathIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool AddBookmarkHere()
{
    const int cur = g_playlist.current;
    if (cur < 0 || cur >= static_cast<int>(g_playlist.entries.size()))
        return false;
    if (AddBookmark(g_playlist.entries[cur], CurrentPositionSeconds()) < 0)
        return false;
    Announce(TranslateUtf8("Bookmark added"), true);
    return true;
}

std::vector<BookmarkRow> BookmarksToShow(const std::vector<BookmarkRow>& all, const std::string& path, bool allFiles)
{
    if (allFiles)
        return all;
    std::vector<BookmarkRow> shown;
    for (const BookmarkRow& b : all) {
        if (SamePathIgnoringCase(b.path, path))
            shown.push_back(b);
    }
    return shown;
}

void JumpToBookmark(const BookmarkRow& bookmark)
{
    const auto& entries = g_playlist.entries;
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const std::string& e) { return SamePathIgnoringCase(e, bookmark.path); });
    if (it != entries.end()) {
        const int index = static_cast<int>(it - entries.begin());
        if (index != g_playlist.current)
            PlayIndex(index, true);
    } else {
        g_playlist.entries = {bookmark.path};
        g_playlist.current = -1;
        PlayIndex(0, true);
    }
    SeekTo(bookmark.position);
}
