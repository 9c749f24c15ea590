// Radio metadata: the StreamTitle value, its split into artist and title,
// the station headers, and where they enter the tag lookups.
#include <gtest/gtest.h>

#include "TagFixtures.h"
#include "playback/StreamTitle.h"
#include "playback/TagReader.h"

using namespace tagtest;

namespace {

TagBlocks Meta(const std::string& meta)
{
    TagBlocks b;
    b.meta = meta;
    return b;
}

TEST(SplitStreamTitle, FirstRuleThatAppliesWins)
{
    const struct {
        std::string text, artist, title;
    } cases[] = {
        {"Band - text=\"Song\" song_spot=\"M\" length=\"00:03:00\"", "Band", "Song"},
        {"Band - text=\"Song - Live\"", "Band", "Song - Live"},
        {"Band - text=\"Unclosed", "Band", "Unclosed"},
        {"title=\"Song\" artist=\"Band\"", "Band", "Song"},
        {"x - y title=\"Song\"", "", "Song"},   // rule 2 before the dash rule
        {"artist=\"Band\"", "Band", ""},
        {"Band - Song", "Band", "Song"},
        {"A - B - C", "A", "B - C"},
        {" - ", "", ""},
        {"Band-Song", "", "Band-Song"},
        {"Just a title", "", "Just a title"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ArtistTitle parts = SplitStreamTitle(c.text);
        EXPECT_EQ(parts.artist, c.artist);
        EXPECT_EQ(parts.title, c.title);
    }
}

TEST(StreamTitle, ValueFormsAndJoinedText)
{
    const struct {
        std::string meta, expected;
    } cases[] = {
        {"StreamTitle='Band - Song';StreamUrl='';", "Band - Song"},
        {"StreamTitle='Band - Song';" + std::string(13, '\0'), "Band - Song"},
        {"StreamTitle='It's - Fine';", "It's - Fine"},              // a quote inside the value
        {"StreamTitle='Band - Song'", "Band - Song"},                // no "';": the end less a quote
        {"StreamTitle='Band - Song", "Band - Song"},
        {"StreamTitle=\"Band - Song\" StreamUrl=\"x\"", "Band - Song"},
        {"StreamTitle='Band - text=\"Song\" amgTrackId=\"1\"';", "Band - Song"},
        {"StreamTitle='artist=\"Band\"';", "artist=\"Band\""},     // only an artist: the raw value
        {"StreamTitle='Solo';", "Solo"},
        {"StreamTitle='';", ""},
        {"StreamUrl='x';", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meta);
        EXPECT_EQ(StreamTitle(Meta(c.meta)), c.expected);
    }
}

TEST(StreamTitle, Latin1MetadataBecomesUtf8)
{
    EXPECT_EQ(StreamTitle(Meta("StreamTitle='Caf\xE9 - Song';")), "Caf\xC3\xA9 - Song");
}

TEST(StationHeaders, NameAndBitrateFromIcyThenHttp)
{
    TagBlocks b;
    b.icy = ListBlock({"ICY 200 OK", "icy-name:   Radio One\r\n", "icy-br:128,128", "icy-genre:Jazz"});
    b.http = ListBlock({"HTTP/1.0 200 OK", "icy-name: Other", "icy-br: 64"});
    EXPECT_EQ(StationName(b), "Radio One");
    EXPECT_EQ(HeaderBitrate(b), 128);
    b.icy.clear();
    EXPECT_EQ(StationName(b), "Other");
    EXPECT_EQ(HeaderBitrate(b), 64);
    b.http = ListBlock({"ICY-NAME:Upper", "icy-br: fast"});
    EXPECT_EQ(StationName(b), "Upper");
    EXPECT_EQ(HeaderBitrate(b), 0);
    // A header name must be followed by the colon itself.
    b.http = ListBlock({"icy-name-extra: no", "icy-br"});
    EXPECT_EQ(StationName(b), "");
    EXPECT_EQ(HeaderBitrate(b), 0);
}

TEST(StreamTags, TitleArtistAndGenreOfARadioStream)
{
    TagBlocks b;
    b.icy = ListBlock({"ICY 200 OK", "icy-name:Radio One", "icy-genre:Jazz"});
    b.meta = "StreamTitle='Band - Song';";
    EXPECT_EQ(GetTag(b, "TITLE"), "Song");
    EXPECT_EQ(GetTag(b, "ARTIST"), "Band");
    EXPECT_EQ(GetTag(b, "GENRE"), "Jazz");
    EXPECT_EQ(GetTag(b, "ALBUM"), "");

    // Between songs: the title falls back to the station, the artist to nothing.
    b.meta = "StreamTitle='';";
    EXPECT_EQ(GetTag(b, "TITLE"), "Radio One");
    EXPECT_EQ(GetTag(b, "ARTIST"), "");

    // Plain HTTP servers send the same headers.
    TagBlocks http;
    http.http = ListBlock({"HTTP/1.1 200 OK", "Content-Type: audio/mpeg", "icy-name: Web Radio", "icy-genre: Talk"});
    EXPECT_EQ(GetTag(http, "title"), "Web Radio");
    EXPECT_EQ(GetTag(http, "genre"), "Talk");

    // Tags of the file itself come first.
    b.vorbis = ListBlock({"TITLE=From the file"});
    EXPECT_EQ(GetTag(b, "TITLE"), "From the file");
}

TEST(ListTags, SearchOrderAndExactKeys)
{
    TagBlocks b;
    b.vorbis = ListBlock({"TITLEX=wrong", "TITLE=", "ARTIST=Vorbis"});
    b.ape = ListBlock({"Title=Ape", "Album=Ape album"});
    b.mp4 = ListBlock({"title=Mp4", "album=Mp4 album", "genre=Mp4 genre"});
    b.riffInfo = ListBlock({"genre=Riff genre", "comment=Riff"});
    b.mediaFoundation = ListBlock({"comment=Mf", "track=9"});
    b.id3v2 = Id3v2Tag(3, Frame("TRCK", TextBody(0, "1"), 3) + Frame("TIT2", TextBody(0, "Id3"), 3));
    EXPECT_EQ(GetTag(b, "TITLE"), "Ape");  // the empty Vorbis value does not count
    EXPECT_EQ(GetTag(b, "artist"), "Vorbis");
    EXPECT_EQ(GetTag(b, "ALBUM"), "Ape album");
    EXPECT_EQ(GetTag(b, "GENRE"), "Mp4 genre");
    EXPECT_EQ(GetTag(b, "COMMENT"), "Riff");
    EXPECT_EQ(GetTag(b, "TRACK"), "9");
    EXPECT_EQ(GetTag(TagBlocks{}, "TITLE"), "");
    // A last text without its zero is still read, and nothing past it.
    TagBlocks cut;
    cut.vorbis = "ARTIST=A" + std::string(1, '\0') + "TITLE=Cut";
    EXPECT_EQ(GetTag(cut, "TITLE"), "Cut");
}

}  // namespace
