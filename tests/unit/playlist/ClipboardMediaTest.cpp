#include "playlist/ClipboardMedia.h"

#include "TempTree.h"

#include <gtest/gtest.h>

TEST(ClipboardMedia, AFileListWinsAndKeepsVideo)
{
    TempTree t;
    const std::string a = t.File("album/a.mp3"), b = t.File("album/deep/b.flac");
    t.File("album/cover.jpg");
    const std::string movie = t.File("movie.mkv");
    const auto got = MediaFromClipboard({t.Path("album"), movie, t.Path("missing.mp3")}, "http://ignored/stream");
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got.back(), movie);
    EXPECT_NE(std::find(got.begin(), got.end(), a), got.end());
    EXPECT_NE(std::find(got.begin(), got.end(), b), got.end());
}

TEST(ClipboardMedia, TextLinesGiveUrlsFoldersAndAudioButNoVideo)
{
    TempTree t;
    const std::string a = t.File("music/a.ogg");
    const std::string movie = t.File("movie.mkv");
    const std::string text = "  http://radio.example/one \r\n\r\nhttps://two\n\n\t" + t.Path("music") + "\n" + movie +
                             "\nHTTP://not-a-url-in-this-case\nrtsp://three\n";
    const auto got = MediaFromClipboard({}, text);
    EXPECT_EQ(got, (std::vector<std::string>{"http://radio.example/one", "https://two", a, "rtsp://three"}));
}

TEST(ClipboardMedia, FilesOfOtherKindsFallBackToTheText)
{
    TempTree t;
    const std::string doc = t.File("notes.txt");
    EXPECT_EQ(MediaFromClipboard({doc}, "http://x/y"), std::vector<std::string>{"http://x/y"});
    EXPECT_TRUE(MediaFromClipboard({doc}, "").empty());
}
