#include "playlist/PlaylistFiles.h"

#include "TempTree.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Entries = std::vector<std::string>;

std::vector<std::string> FolderListing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(WriteM3u, WritesBomHeaderAndCrlfLinesThatReadBackUnchanged)
{
    TempTree tree;
    const Entries entries = {
        "/music/a.mp3",
        "/m\xC3\xBAsica/\xC3\x9F \xE2\x82\xAC.flac",
        "http://radio.test:8000/stream?x=1&y=2",
        "C:\\old\\b.mp3",
        "/music/with #hash.ogg",
    };
    const std::string path = tree.Path("saved.m3u");
    ASSERT_TRUE(WriteM3u(path, entries));

    std::string expected = "\xEF\xBB\xBF#EXTM3U\r\n";
    for (const std::string& e : entries)
        expected += e + "\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(ReadM3u(path), entries);

    ASSERT_TRUE(WriteM3u(path, {}));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF#EXTM3U\r\n");
    EXPECT_TRUE(ReadM3u(path).empty());
}

TEST(WriteM3u, LeavesOutEntriesThatCannotBeOneLine)
{
    TempTree tree;
    const std::string path = tree.Path("saved.m3u");
    const Entries entries = {"/a.mp3", "/b\n/c.mp3", "", std::string("/d\0e.mp3", 8), "/f\r.mp3",
                             "/g.mp3"};
    ASSERT_TRUE(WriteM3u(path, entries));
    EXPECT_EQ(ReadM3u(path), (Entries{"/a.mp3", "/g.mp3"}));
}

TEST(WriteM3u, ReplacesAtomicallyKeepingPermissionsAndLeavingNoTemporaryFile)
{
    TempTree tree;
    const std::string path = tree.File("saved.m3u", "old contents\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(WriteM3u(path, {"/new.mp3"}));
    EXPECT_EQ(ReadM3u(path), Entries{"/new.mp3"});
    struct stat st{};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderListing(tree.Root()), std::vector<std::string>{"saved.m3u"});
}

TEST(WriteM3u, FailureReportsFalseAndKeepsWhatWasThere)
{
    TempTree tree;
    EXPECT_FALSE(WriteM3u(tree.Path("no/such/folder/x.m3u"), {"/a.mp3"}));
    EXPECT_FALSE(WriteM3u("", {"/a.mp3"}));

    // A folder in the way: the rename fails and the folder stays as it was.
    const std::string folder = tree.Dir("taken.m3u");
    tree.File("taken.m3u/inside.mp3", "data");
    EXPECT_FALSE(WriteM3u(folder, {"/a.mp3"}));
    EXPECT_EQ(ReadBytes(folder + "/inside.mp3"), "data");
    EXPECT_EQ(FolderListing(tree.Root()), std::vector<std::string>{"taken.m3u"});
}

}  // namespace
