#pragma once
// Named places in files: marking the current position and going back to one.
#include <string>
#include <vector>

#include "storage/Database.h"

// Marks the current item's position; true (and spoken) when it was stored.
bool AddBookmarkHere();

// The bookmarks of one file (paths compared without regard to case), or all.
std::vector<BookmarkRow> BookmarksToShow(const std::vector<BookmarkRow>& all, const std::string& path, bool allFiles);

// Plays the bookmark's file (from the queue when it is there, else alone)
// and seeks to its position.
void JumpToBookmark(const BookmarkRow& bookmark);
