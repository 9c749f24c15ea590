#include "playlist/QueueSources.h"

#include "TempTree.h"

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;

class QueueSources : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.File("music/a.mp3");
        tree.File("music/b.mp3");
        tree.File("music/v.mp4");
        tree.File("lists/x.m3u", "../music/b.mp3\nhttp://radio.test/s\n");
        tree.File("lists/y.pls", "[playlist]\nFile1=/abs/z.mp3\n");
    }
    std::string P(const std::string& relative) const { return tree.Path(relative); }
    TempTree tree;
};

TEST_F(QueueSources, OpenDialogRules)
{
    const Entries listX = {P("lists/../music/b.mp3"), "http://radio.test/s"};
    struct Case {
        const char* name;
        Entries chosen;
        bool loadFolder;
        Entries expected;
        int start;
    };
    const Case cases[] = {
        {"several files, playlists expanded in place",
         {P("music/a.mp3"), P("lists/x.m3u"), P("lists/y.pls")}, true,
         {P("music/a.mp3"), listX[0], listX[1], "/abs/z.mp3"}, 0},
        {"one playlist is its entries, even with the folder option", {P("lists/x.m3u")}, true,
         listX, 0},
        {"one file with the folder option", {P("music/b.mp3")}, true,
         {P("music/a.mp3"), P("music/b.mp3")}, 1},
        {"one video with the folder option", {P("music/v.mp4")}, true,
         {P("music/a.mp3"), P("music/b.mp3")}, 0},
        {"one file alone", {P("music/b.mp3")}, false, {P("music/b.mp3")}, 0},
        {"nothing", {}, true, {}, 0},
    };
    for (const Case& c : cases) {
        Entries entries = {"old"};
        EXPECT_EQ(QueueFromOpenedFiles(c.chosen, c.loadFolder, entries), c.start) << c.name;
        EXPECT_EQ(entries, c.expected) << c.name;
    }
}

TEST_F(QueueSources, LoadFolderAppliesOnlyToASingleEntry)
{
    // The command line expands playlists first; a one-entry playlist then
    // counts as a single file.
    Entries entries;
    AppendOpenedPath(P("lists/y.pls"), entries);
    AppendOpenedPath(P("music/b.mp3"), entries);
    const Entries two = entries;
    EXPECT_EQ(ApplyLoadFolder(entries, true), 0);
    EXPECT_EQ(entries, two);

    Entries one = {P("music/b.mp3")};
    EXPECT_EQ(ApplyLoadFolder(one, false), 0);
    EXPECT_EQ(one, Entries{P("music/b.mp3")});
    EXPECT_EQ(ApplyLoadFolder(one, true), 1);
    EXPECT_EQ(one, (Entries{P("music/a.mp3"), P("music/b.mp3")}));
}

TEST_F(QueueSources, AddFolderReplacesTheQueueOnlyWhenItFindsAudio)
{
    tree.File("music/Sub/C.flac");
    Playlist queue{{"/old.mp3", "/older.mp3"}, 1};

    const AddFolderOutcome empty = AddFolderToQueue(queue, tree.Dir("nothing"), "files loaded",
                                                    "No audio files found");
    EXPECT_FALSE(empty.replaced);
    EXPECT_EQ(empty.announcement, "No audio files found");
    EXPECT_EQ(queue.entries, (Entries{"/old.mp3", "/older.mp3"}));
    EXPECT_EQ(queue.current, 1);

    const AddFolderOutcome added =
        AddFolderToQueue(queue, P("music"), "fichiers chargés", "No audio files found");
    EXPECT_TRUE(added.replaced);
    EXPECT_EQ(added.announcement, "3 fichiers chargés");
    EXPECT_EQ(queue.entries, (Entries{P("music/Sub/C.flac"), P("music/a.mp3"), P("music/b.mp3")}));
    EXPECT_EQ(queue.current, -1);
}

}  // namespace
