#include "playlist/FolderScan.h"
#include "playlist/MediaExtensions.h"

#include "TempTree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Entries = std::vector<std::string>;

TEST(MediaExtensions, MatchTheLastExtensionOfTheNameInAnyCase)
{
    struct Case { const char* path; bool audio; bool video; bool playlist; };
    const Case cases[] = {
        {"/m/a.MP3", true, false, false},
        {"a.Midi", true, false, false},
        {"/m/.flac", true, false, false},
        {"/m/a.mp3.txt", false, false, false},
        {"/m/mp3", false, false, false},
        {"/m.mp3/file", false, false, false},
        {"clip.mp4", false, true, false},
        {"show.TS", false, true, false},
        {"x.M3U8", false, false, true},
        {"x.pls", false, false, true},
        {"x.m3u.bak", false, false, false},
        {"", false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasAudioExtension(c.path), c.audio) << c.path;
        EXPECT_EQ(HasVideoExtension(c.path), c.video) << c.path;
        EXPECT_EQ(IsPlaylistFile(c.path), c.playlist) << c.path;
    }
}

TEST(ScanFolder, TakesAudioFilesOfTheWholeTreeInNameOrder)
{
    TempTree tree;
    tree.File("top/b.mp3");
    tree.File("top/A.flac");
    tree.File("top/cover.jpg");
    tree.File("top/clip.mp4");
    tree.File("top/Sub/c.OGG");
    tree.File("top/sub2/deeper/d.wav");
    tree.File("top/z.opus");
    // Not regular files: a decoder would hang on the FIFO.
    ASSERT_EQ(mkfifo(tree.Path("top/pipe.mp3").c_str(), 0600), 0);
    tree.Dir("top/folder.mp3");

    Entries out = {"kept"};
    ScanFolder(tree.Path("top"), 0, out);
    const std::string t = tree.Path("top/");
    EXPECT_EQ(out, (Entries{"kept", t + "A.flac", t + "b.mp3", t + "Sub/c.OGG",
                            t + "sub2/deeper/d.wav", t + "z.opus"}));

    Entries none;
    ScanFolder(tree.Path("missing"), 0, none);
    ScanFolder(tree.Path("top/b.mp3"), 0, none);
    EXPECT_TRUE(none.empty());
}

TEST(ScanFolder, NeverFollowsSymbolicLinks)
{
    TempTree tree;
    tree.File("root/a.mp3");
    tree.File("root/sub/b.mp3");
    tree.File("elsewhere/c.mp3");
    // A link back to the root would loop; links to files or other folders
    // are not followed either.
    ASSERT_EQ(symlink(tree.Path("root").c_str(), tree.Path("root/sub/loop").c_str()), 0);
    ASSERT_EQ(symlink(tree.Path("elsewhere").c_str(), tree.Path("root/away").c_str()), 0);
    ASSERT_EQ(symlink(tree.Path("elsewhere/c.mp3").c_str(), tree.Path("root/link.mp3").c_str()), 0);

    Entries out;
    ScanFolder(tree.Path("root"), 0, out);
    EXPECT_EQ(out, (Entries{tree.Path("root/a.mp3"), tree.Path("root/sub/b.mp3")}));
}

TEST(ScanFolder, ReachesThirtyTwoLevelsBelowAndNoFurther)
{
    TempTree tree;
    std::string relative = "top";
    for (int level = 1; level <= kMaxScanDepth + 1; ++level) {
        relative += "/d";
        tree.File(relative + "/level" + std::to_string(level) + ".mp3");
    }
    Entries out;
    ScanFolder(tree.Path("top"), 0, out);
    // "d" sorts before "level...", so the deepest file found comes first.
    ASSERT_EQ(out.size(), static_cast<size_t>(kMaxScanDepth));
    EXPECT_NE(out.front().find("/level32.mp3"), std::string::npos) << out.front();
    EXPECT_NE(out.back().find("/level1.mp3"), std::string::npos) << out.back();
}

TEST(LoadFolderOf, QueuesTheFolderAndFindsTheFile)
{
    TempTree tree;
    tree.File("m/B.mp3");
    tree.File("m/a.mp3");
    tree.File("m/c.MP3");
    tree.File("m/clip.mp4");
    tree.File("m/sub/d.mp3");
    tree.File("cases/Song.mp3");
    tree.File("cases/song.mp3");
    tree.File("video/only.mp4");
    const std::string m = tree.Path("m/");
    const Entries folderM = {m + "a.mp3", m + "B.mp3", m + "c.MP3"};
    const std::string c = tree.Path("cases/");
    const Entries folderCases = {c + "Song.mp3", c + "song.mp3"};

    struct Case { std::string path; Entries expected; int index; };
    const Case cases[] = {
        {m + "a.mp3", folderM, 0},
        {m + "c.MP3", folderM, 2},
        {m + "C.mp3", folderM, 2},           // no exact name: case-insensitive
        {m + "clip.mp4", folderM, 0},        // outside the list: not queued
        {c + "song.mp3", folderCases, 1},    // the exact name wins
        {c + "SONG.MP3", folderCases, 0},
        {"a.mp3", {"a.mp3"}, 0},             // no folder part
        {tree.Path("gone/x.mp3"), {tree.Path("gone/x.mp3")}, 0},
        {tree.Path("video/only.mp4"), {tree.Path("video/only.mp4")}, 0},
    };
    for (const Case& k : cases) {
        Entries out = {"stale"};
        EXPECT_EQ(LoadFolderOf(k.path, out), k.index) << k.path;
        EXPECT_EQ(out, k.expected) << k.path;
    }
}

TEST(LoadFolderOf, TakesLinkedFilesButNotLinkedFolders)
{
    TempTree tree;
    tree.File("m/a.mp3");
    tree.File("other/b.mp3");
    tree.Dir("other/dir.mp3");
    ASSERT_EQ(symlink(tree.Path("other/b.mp3").c_str(), tree.Path("m/b.mp3").c_str()), 0);
    ASSERT_EQ(symlink(tree.Path("other/dir.mp3").c_str(), tree.Path("m/dir.mp3").c_str()), 0);
    Entries out;
    EXPECT_EQ(LoadFolderOf(tree.Path("m/b.mp3"), out), 1);
    EXPECT_EQ(out, (Entries{tree.Path("m/a.mp3"), tree.Path("m/b.mp3")}));
}

TEST(ScanFolderSorted, OrdersByFullPathOrdinally)
{
    TempTree tree;
    tree.File("f/a.mp3");
    tree.File("f/B.mp3");
    tree.File("f/Z/y.mp3");
    tree.File("f/b/x.mp3");
    const std::string f = tree.Path("f/");
    EXPECT_EQ(ScanFolderSorted(tree.Path("f")),
              (Entries{f + "B.mp3", f + "Z/y.mp3", f + "a.mp3", f + "b/x.mp3"}));
}

}  // namespace
