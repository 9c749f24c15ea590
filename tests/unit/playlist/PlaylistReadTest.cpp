#include "playlist/PlaylistFiles.h"

#include "TempTree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Entries = std::vector<std::string>;

// "@" in an expected entry stands for the playlist's folder.
Entries WithBase(const Entries& expected, const std::string& base)
{
    Entries out;
    for (const std::string& e : expected)
        out.push_back(!e.empty() && e[0] == '@' ? base + e.substr(1) : e);
    return out;
}

struct ReadCase {
    const char* name;
    std::string content;
    Entries expected;
};

TEST(ReadM3u, ResolvesAndDecodesEachLine)
{
    const std::string longUrl = "http://example.test/" + std::string(5000, 'x') + ".mp3";
    const ReadCase cases[] = {
        {"relative, absolute and URL",
         "music\\a.mp3\nsub/b.ogg\n/abs/c.flac\nHTTPS://Host/x.mp3\nftp://h/y\nHttp://h/z\n",
         {"@music/a.mp3", "@sub/b.ogg", "/abs/c.flac", "HTTPS://Host/x.mp3", "ftp://h/y",
          "Http://h/z"}},
        {"drive letters are kept", "C:\\a.mp3\nd:/b.mp3\nc:\n",
         {"C:\\a.mp3", "d:/b.mp3", "@c:"}},
        {"byte-order mark, header and directives",
         "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:12,Artist - Title\r\na.mp3\r\n#EXT-X-FOO\r\n",
         {"@a.mp3"}},
        {"blanks before # still make a comment", "   # comment\n\t#EXTINF:1,x\n  a.mp3 \t\r\n",
         {"@a.mp3"}},
        {"blank lines", "\n\r\n \t \n\n", {}},
        {"last line without line end", "a.mp3\nb.mp3", {"@a.mp3", "@b.mp3"}},
        {"Windows-1252 when not UTF-8",
         "caf\xE9.mp3\n\x80 \x81.mp3\ncaf\xC3\xA9.mp3\n",
         {"@caf\xC3\xA9.mp3", "@\xE2\x82\xAC \xC2\x81.mp3", "@caf\xC3\xA9.mp3"}},
        {"overlong and surrogate forms are not UTF-8", "\xC0\xAF.mp3\n\xED\xA0\x80.mp3\n",
         {"@\xC3\x80\xC2\xAF.mp3", "@\xC3\xAD\xC2\xA0\xE2\x82\xAC.mp3"}},
        {"a NUL ends the line's text", std::string("a.mp3\0junk\n/b.mp3\n", 18),
         {"@a.mp3", "/b.mp3"}},
        {"a line longer than 4095 bytes stays one entry", longUrl + "\r\nnext.mp3\n",
         {longUrl, "@next.mp3"}},
    };
    TempTree tree;
    const std::string base = tree.Dir("lists") + "/";
    for (const ReadCase& c : cases) {
        const std::string path = tree.File("lists/x.m3u", c.content);
        EXPECT_EQ(ReadM3u(path), WithBase(c.expected, base)) << c.name;
    }
}

TEST(ReadPls, ReadsFileKeysOfThePlaylistSection)
{
    std::string thousandAndOne = "[playlist]\n";
    for (int i = 1; i <= 1001; ++i)
        thousandAndOne += "File" + std::to_string(i) + "=t" + std::to_string(i) + ".mp3\n";

    // "[playlist]\r\nFile1=é.mp3\r\n" in UTF-16 LE with its byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (const char16_t u : std::u16string(u"[playlist]\r\nFile1=\u00E9.mp3\r\n")) {
        utf16 += static_cast<char>(u & 0xFF);
        utf16 += static_cast<char>(u >> 8);
    }

    const ReadCase cases[] = {
        {"entries, other keys ignored",
         "[playlist]\nNumberOfEntries=2\nFile1=a.mp3\nTitle1=A\nLength1=12\n"
         "File2=http://h/s\nVersion=2\n",
         {"@a.mp3", "http://h/s"}},
        {"a missing key ends the list", "[playlist]\nFile1=a.mp3\nFile2=b.mp3\nFile4=d.mp3\n",
         {"@a.mp3", "@b.mp3"}},
        {"an empty value ends the list", "[playlist]\nFile1=a.mp3\nFile2=\nFile3=c.mp3\n",
         {"@a.mp3"}},
        {"names in any case, blanks and quotes around values",
         "\xEF\xBB\xBF [Playlist] \r\nFILE1 = a.mp3 \r\nfile2=\t\"b c.mp3\"\r\n",
         {"@a.mp3", "@b c.mp3"}},
        {"only the playlist section counts",
         "[other]\nFile1=x.mp3\n[playlist]\nFile1=a.mp3\n[more]\nFile2=y.mp3\n", {"@a.mp3"}},
        {"no playlist section", "File1=a.mp3\n[list]\nFile1=b.mp3\n", {}},
        {"paths, drive letters and URLs", "[playlist]\nFile1=music\\a.mp3\nFile2=D:\\x.mp3\n"
                                          "File3=/abs/y.mp3\nFile4=HTTP://h/\n",
         {"@music/a.mp3", "D:\\x.mp3", "/abs/y.mp3", "HTTP://h/"}},
        {"Windows-1252 values", "[playlist]\nFile1=caf\xE9.mp3\n", {"@caf\xC3\xA9.mp3"}},
        {"UTF-16 file", utf16, {"@\xC3\xA9.mp3"}},
        {"lone carriage returns end lines", "[playlist]\rFile1=a.mp3\rFile2=b.mp3\r", {"@a.mp3", "@b.mp3"}},
    };
    TempTree tree;
    const std::string base = tree.Dir("lists") + "/";
    for (const ReadCase& c : cases) {
        const std::string path = tree.File("lists/x.pls", c.content);
        EXPECT_EQ(ReadPls(path), WithBase(c.expected, base)) << c.name;
    }

    const Entries many = ReadPls(tree.File("lists/many.pls", thousandAndOne));
    ASSERT_EQ(many.size(), 1000u);
    EXPECT_EQ(many.back(), base + "t1000.mp3");
}

TEST(ReadPlaylist, FolderEntriesExpandToTheirAudioFilesSortedByName)
{
    TempTree tree;
    tree.File("lists/album/B.mp3");
    tree.File("lists/album/a.mp3");
    tree.File("lists/album/cover.jpg");
    tree.File("lists/album/disc2/c.flac");
    tree.File("lists/album/notes");
    const std::string base = tree.Path("lists/");
    const Entries expected = {base + "album/a.mp3", base + "album/B.mp3",
                              base + "album/disc2/c.flac", base + "single.mp3"};

    EXPECT_EQ(ReadM3u(tree.File("lists/x.m3u", "album\nsingle.mp3\n")), expected);
    EXPECT_EQ(ReadM3u(tree.File("lists/y.m3u", "album/\nsingle.mp3\n")), expected);
    EXPECT_EQ(ReadPls(tree.File("lists/x.pls", "[playlist]\nFile1=album\nFile2=single.mp3\n")),
              expected);
}

TEST(ReadPlaylist, ExtensionChoosesTheReaderAndBadFilesGiveNothing)
{
    TempTree tree;
    const std::string m3uText = "a.mp3\n";
    const std::string plsText = "[playlist]\nFile1=b.mp3\n";
    const std::string base = tree.Root() + "/";

    EXPECT_EQ(ReadPlaylistFile(tree.File("list.txt", m3uText)), Entries{base + "a.mp3"});
    EXPECT_EQ(ReadPlaylistFile(tree.File("list.M3U8", m3uText)), Entries{base + "a.mp3"});
    EXPECT_EQ(ReadPlaylistFile(tree.File("list.PLS", plsText)), Entries{base + "b.mp3"});
    EXPECT_TRUE(ReadPlaylistFile(tree.File("noextension", m3uText)).empty());
    EXPECT_TRUE(ReadPlaylistFile(tree.Path("missing.m3u")).empty());
    EXPECT_TRUE(ReadPlaylistFile(tree.File("empty.m3u")).empty());
    EXPECT_TRUE(ReadPlaylistFile(tree.Dir("folder.m3u")).empty());

    // A FIFO must not block the reader waiting for a writer.
    const std::string fifo = tree.Path("pipe.m3u");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(ReadPlaylistFile(fifo).empty());
}

TEST(ResolveLocation, FollowsPosixPathRules)
{
    struct Case { const char* location; const char* base; const char* expected; };
    const Case cases[] = {
        {"a.mp3", "", "a.mp3"},  // a playlist without a folder part
        {"music\\sub\\a.mp3", "/lists/", "/lists/music/sub/a.mp3"},
        {"../up.mp3", "/lists/", "/lists/../up.mp3"},
        {"\\rooted\\a.mp3", "/lists/", "/lists//rooted/a.mp3"},
        {"/abs\\name.mp3", "/lists/", "/abs\\name.mp3"},
        {"https://h/a\\b", "/lists/", "https://h/a\\b"},
        {"rtsp://h/a", "/lists/", "/lists/rtsp://h/a"},
        {"C:\\x.mp3", "/lists/", "C:\\x.mp3"},
        {"x.mp3", "/odd\\folder/", "/odd\\folder/x.mp3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveLocation(c.location, c.base), c.expected) << c.location;

    EXPECT_EQ(PlaylistBaseFolder("/odd\\folder/x.m3u"), "/odd\\folder/");
    EXPECT_EQ(PlaylistBaseFolder("/x.m3u"), "/");
    EXPECT_EQ(PlaylistBaseFolder("x.m3u"), "");
}

}  // namespace
