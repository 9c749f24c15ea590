// ID3v1 records and the ID3v2 frame walk behind GetTag.
#include <gtest/gtest.h>

#include "TagFixtures.h"
#include "playback/Id3v1.h"
#include "playback/Id3v2.h"
#include "playback/TagReader.h"

using namespace tagtest;

namespace {

const std::string kCafe = "Caf\xC3\xA9";                          // "Café"
const std::string kCafeClef = "Caf\xC3\xA9 \xF0\x9D\x84\x9E";     // "Café 𝄞", outside the BMP
const std::u16string kCafeClef16 = u"Caf\u00E9 \U0001D11E";

TagBlocks WithId3v2(const std::string& tag)
{
    TagBlocks b;
    b.id3v2 = tag;
    return b;
}

TEST(Id3v1, FieldsLosePaddingAndTrackNeedsAZeroBefore)
{
    struct Case {
        const char* name;
        char pad;
        int track;
    } cases[] = {{"space padded", ' ', 0}, {"zero padded", '\0', 0}, {"v1.1 track", ' ', 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Id3v1Spec spec{"Song", "Band", "Record", "1999", "Nice", c.track, 17, c.pad};
        Id3v1Fields f;
        ASSERT_TRUE(ReadId3v1(Id3v1Record(spec), &f));
        EXPECT_EQ(f.title, "Song");
        EXPECT_EQ(f.artist, "Band");
        EXPECT_EQ(f.album, "Record");
        EXPECT_EQ(f.year, "1999");
        EXPECT_EQ(f.comment, "Nice");
        EXPECT_EQ(f.track, c.track);
        EXPECT_EQ(Id3v1GenreName(f.genre), "Rock");
    }
    // A full 30-byte comment has no zero at 125: its last bytes are text, not a track.
    Id3v1Spec full{"T", "A", "B", "2000", std::string(30, 'c'), 0, 0, ' '};
    Id3v1Fields f;
    ASSERT_TRUE(ReadId3v1(Id3v1Record(full), &f));
    EXPECT_EQ(f.track, 0);
    EXPECT_EQ(f.comment, std::string(30, 'c'));
}

TEST(Id3v1, RejectsShortOrUnmarkedRecords)
{
    Id3v1Fields f;
    const std::string good = Id3v1Record({"Song", "Band", "", "", "", 0, 1, ' '});
    EXPECT_FALSE(ReadId3v1(good.substr(0, 127), &f));
    EXPECT_FALSE(ReadId3v1("XAG" + good.substr(3), &f));
    EXPECT_TRUE(f.title.empty());
}

TEST(Id3v1, GenreListEnds)
{
    EXPECT_EQ(Id3v1GenreName(0), "Blues");
    EXPECT_EQ(Id3v1GenreName(79), "Hard Rock");
    EXPECT_EQ(Id3v1GenreName(80), "");
    EXPECT_EQ(Id3v1GenreName(255), "");
    EXPECT_EQ(Id3v1GenreName(-1), "");
}

// Every text encoding in both versions, with trailing zeros and a second
// value after a zero (2.4 lists) that must not leak into the text.
TEST(Id3v2, TextFramesInEveryEncoding)
{
    const std::string zero16(2, '\0');
    const struct {
        const char* name;
        int encoding;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"latin-1", 0, "Caf\xE9" + std::string(2, '\0'), kCafe},
        {"latin-1 list", 0, "Caf\xE9" + std::string(1, '\0') + "Other", kCafe},
        {"utf-16 mark LE", 1, Utf16(kCafeClef16, false, true) + zero16, kCafeClef},
        {"utf-16 mark BE", 1, Utf16(kCafeClef16, true, true) + zero16, kCafeClef},
        {"utf-16 no mark", 1, Utf16(kCafeClef16, false, false), kCafeClef},
        {"utf-16 list", 1, Utf16(kCafeClef16, false, true) + zero16 + Utf16(u"Other", false, true), kCafeClef},
        {"utf-16BE", 2, Utf16(kCafeClef16, true, false) + zero16, kCafeClef},
        {"utf-8", 3, kCafeClef + std::string(3, '\0'), kCafeClef},
    };
    for (int version : {3, 4}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " v2." + std::to_string(version));
            const std::string tag = Id3v2Tag(version, Frame("TPE1", TextBody(0, "Band"), version) +
                                                          Frame("TIT2", TextBody(c.encoding, c.bytes), version),
                                             "", 64);
            EXPECT_EQ(GetTag(WithId3v2(tag), "title"), c.expected);
            EXPECT_EQ(GetTag(WithId3v2(tag), "ARTIST"), "Band");
        }
    }
}

TEST(Id3v2, NamesMapToTheirFrames)
{
    const int v = 3;
    const std::string tag = Id3v2Tag(v, Frame("TALB", TextBody(0, "Record"), v) + Frame("TYER", TextBody(0, "1999"), v) +
                                            Frame("TDRC", TextBody(0, "1999-05-01"), v) +
                                            Frame("TRCK", TextBody(0, "3/12"), v) + Frame("TCON", TextBody(0, "Jazz"), v));
    const TagBlocks b = WithId3v2(tag);
    EXPECT_EQ(GetTag(b, "ALBUM"), "Record");
    EXPECT_EQ(GetTag(b, "YEAR"), "1999");
    EXPECT_EQ(GetTag(b, "DATE"), "1999-05-01");
    EXPECT_EQ(GetTag(b, "TRACK"), "3/12");
    EXPECT_EQ(GetTag(b, "TrackNumber"), "3/12");
    EXPECT_EQ(GetTag(b, "GENRE"), "Jazz");
    EXPECT_EQ(GetTag(b, "COMPOSER"), "");  // not in the map
    EXPECT_EQ(GetTag(b, "TALB"), "");      // frame ids are not names
}

TEST(Id3v2, CommentSkipsLanguageAndDescription)
{
    const std::string zero16(2, '\0');
    const struct {
        const char* name;
        int encoding;
        std::string afterLanguage;
    } cases[] = {
        {"latin-1", 0, std::string("iTunes") + '\0' + "Caf\xE9"},
        {"empty description", 3, std::string(1, '\0') + kCafe},
        {"utf-8", 3, std::string("desc") + '\0' + kCafe + '\0'},
        {"utf-16", 1, Utf16(u"d\u0100", false, true) + zero16 + Utf16(u"Caf\u00E9", false, true) + zero16},
        {"utf-16BE", 2, Utf16(u"desc", true, false) + zero16 + Utf16(u"Caf\u00E9", true, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = TextBody(c.encoding, "eng" + c.afterLanguage);
        EXPECT_EQ(GetTag(WithId3v2(Id3v2Tag(4, Frame("COMM", body, 4))), "Comment"), kCafe);
    }
    // No end to the description: nothing, rather than the description as comment.
    EXPECT_EQ(GetTag(WithId3v2(Id3v2Tag(3, Frame("COMM", TextBody(0, "engno end"), 3))), "COMMENT"), "");
}

// A 2.3 extended header leaves its own size field out of the size; 2.4's
// synchsafe size covers the whole header.
TEST(Id3v2, ExtendedHeaderIsSkipped)
{
    const std::string v3Extended = BigEndian32(6) + std::string(6, '\0');
    const std::string v4Extended = Synchsafe(6) + std::string(1, '\x01') + std::string(1, '\0');
    EXPECT_EQ(GetTag(WithId3v2(Id3v2Tag(3, Frame("TIT2", TextBody(0, "Three"), 3), v3Extended)), "TITLE"), "Three");
    EXPECT_EQ(GetTag(WithId3v2(Id3v2Tag(4, Frame("TIT2", TextBody(0, "Four"), 4), v4Extended)), "TITLE"), "Four");
    // An extended header bigger than the tag leaves no frames.
    EXPECT_EQ(GetTag(WithId3v2(Id3v2Tag(3, Frame("TIT2", TextBody(0, "X"), 3), BigEndian32(5000) + "ab")), "TITLE"), "");
}

// Sizes of 128 and more differ between the synchsafe and the plain form.
TEST(Id3v2, LongFramesUseTheirVersionsSizeForm)
{
    const std::string longTitle(300, 'x');
    for (int version : {3, 4}) {
        SCOPED_TRACE(version);
        const std::string tag = Id3v2Tag(version, Frame("TIT2", TextBody(3, longTitle), version) +
                                                      Frame("TPE1", TextBody(3, "After"), version));
        EXPECT_EQ(GetTag(WithId3v2(tag), "TITLE"), longTitle);
        EXPECT_EQ(GetTag(WithId3v2(tag), "ARTIST"), "After");
    }
}

// Each fault ends the walk; the frame behind it is never found and nothing
// is read past the block (the address sanitizer build checks the latter).
TEST(Id3v2, MalformedTagsEndTheSearch)
{
    const int v = 3;
    const std::string title = Frame("TIT2", TextBody(0, "Song"), v);
    std::string oversized = Frame("TPE1", TextBody(0, "Band"), v);
    oversized.replace(4, 4, BigEndian32(1000));
    std::string zeroSize = Frame("TPE1", TextBody(0, "Band"), v);
    zeroSize.replace(4, 4, BigEndian32(0));
    const std::string whole = Id3v2Tag(v, title);
    const struct {
        const char* name;
        std::string tag;
    } cases[] = {
        {"padding first", Id3v2Tag(v, std::string(10, '\0') + title)},
        {"frame past the tag", Id3v2Tag(v, oversized + title)},
        {"zero size", Id3v2Tag(v, zeroSize + title)},
        {"not ID3", "ID4" + whole.substr(3)},
        {"header only", whole.substr(0, 10)},
        {"cut inside the frame", whole.substr(0, whole.size() - 2)},
        {"declared size cuts the frame", whole.substr(0, 6) + Synchsafe(8) + whole.substr(10)},
        {"unknown encoding", Id3v2Tag(v, Frame("TIT2", TextBody(7, "Song"), v))},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetTag(WithId3v2(c.tag), "TITLE"), "");
    }
}

}  // namespace
