// Chapters from Vorbis comments and ID3v2 CHAP frames, the supplied list,
// and where the chapter keys go.
#include <gtest/gtest.h>

#include "TagFixtures.h"
#include "playback/Chapters.h"

using namespace tagtest;

namespace {

std::string Titles(const std::vector<Chapter>& chapters)
{
    std::string out;
    for (const Chapter& c : chapters)
        out += (out.empty() ? "" : "|") + c.title + "@" + std::to_string(c.start).substr(0, 6);
    return out;
}

TEST(VorbisChapters, CommentRules)
{
    const struct {
        const char* name;
        std::string block;
        std::string expected;
    } cases[] = {
        {"times and names ordered by number",
         ListBlock({"CHAPTER002=00:01:30.500", "CHAPTER002NAME=Two", "chapter001=00:00:00.000", "Chapter001Name=One",
                    "TITLE=Book"}),
         "One@0.0000|Two@90.500"},
        {"first chapter at 0 stays, a later one at 0 goes",
         ListBlock({"CHAPTER001=00:00:00.000", "CHAPTER005=0", "CHAPTER003=2:05"}), "Chapter 1@0.0000|Chapter 3@125.00"},
        {"name alone makes an entry at 0", ListBlock({"CHAPTER001NAME=Intro", "CHAPTER002NAME=Lost"}), "Intro@0.0000"},
        {"time forms", ListBlock({"CHAPTER001=1:00:01.25", "CHAPTER002=3:02.5", "CHAPTER003=4000.75", "CHAPTER004=x"}),
         "Chapter 1@3601.2|Chapter 2@182.50|Chapter 3@4000.7"},
        {"counted from 000, as some writers do",
         ListBlock({"CHAPTER000=00:00:00.000", "CHAPTER000NAME=Opening", "CHAPTER001=00:00:00.000",
                    "CHAPTER002=00:00:01.000"}),
         "Opening@0.0000|Chapter 3@1.0000"},
        {"not chapter comments",
         ListBlock({"CHAPTER=5", "CHAPTERX=5", "CHAPTER2URL=http://x", "XCHAPTER001=5",
                    "CHAPTER99999999999999999999=5"}),
         ""},
        {"utf-8 names kept, broken bytes replaced", ListBlock({"CHAPTER001=0", "CHAPTER001NAME=Caf\xC3\xA9 \xFF"}),
         "Caf\xC3\xA9 \xEF\xBF\xBD@0.0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Titles(VorbisChapters(c.block)), c.expected);
    }
}

std::string Chap(int version, const std::string& id, std::uint32_t startMs, const std::string& embedded)
{
    return Frame("CHAP", ChapBody(id, startMs, startMs + 1000, embedded), version);
}

TEST(Id3v2Chapters, TitlesInEveryEncodingSortedByStart)
{
    const std::string zero16(2, '\0');
    for (int v : {3, 4}) {
        SCOPED_TRACE(v);
        const std::string frames =
            Frame("TIT2", TextBody(0, "Book"), v) +
            Chap(v, "ch3", 90000, Frame("TIT2", TextBody(3, "Caf\xC3\xA9") , v)) +
            Chap(v, "ch1", 0, Frame("TIT2", TextBody(0, "Caf\xE9" + std::string(1, '\0')), v)) +
            Chap(v, "ch2", 30500,
                 Frame("TPE1", TextBody(0, "Someone"), v) + Frame("TIT2", TextBody(1, Utf16(u"Caf\u00E9", true, true)), v)) +
            Chap(v, "ch4", 120000, Frame("TIT2", TextBody(2, Utf16(u"Caf\u00E9", true, false) + zero16), v)) +
            Chap(v, "ch5", 150000, Frame("TIT2", TextBody(1, Utf16(u"Caf\u00E9", false, true)), v)) +
            Chap(v, "ch6", 180000, Frame("TIT2", TextBody(1, Utf16(u"Caf\u00E9", false, false)), v));
        const std::vector<Chapter> chapters = Id3v2Chapters(Id3v2Tag(v, frames, "", 32));
        ASSERT_EQ(chapters.size(), 6u);
        const double starts[] = {0, 30.5, 90, 120, 150, 180};
        for (std::size_t i = 0; i < chapters.size(); ++i) {
            EXPECT_DOUBLE_EQ(chapters[i].start, starts[i]);
            EXPECT_EQ(chapters[i].title, "Caf\xC3\xA9") << i;
        }
    }
}

TEST(Id3v2Chapters, UntitledChaptersAreNumberedInFileOrder)
{
    const int v = 3;
    const std::string frames = Chap(v, "b", 60000, "") + Chap(v, "a", 0, Frame("TIT2", TextBody(0, ""), v)) +
                               Chap(v, "c", 120000, Frame("TIT2", TextBody(9, "odd encoding"), v) +
                                                        Frame("TIT2", TextBody(0, "too late"), v));
    // Numbers follow the order of the frames, before sorting by start.
    EXPECT_EQ(Titles(Id3v2Chapters(Id3v2Tag(v, frames))), "Chapter 2@0.0000|Chapter 1@60.000|Chapter 3@120.00");
}

TEST(Id3v2Chapters, MalformedFramesKeepWhatCameBefore)
{
    const int v = 4;
    const std::string good = Chap(v, "a", 1000, Frame("TIT2", TextBody(0, "A"), v));
    const std::string after = Chap(v, "c", 3000, Frame("TIT2", TextBody(0, "C"), v));
    std::string tooLongTitle = Frame("TIT2", TextBody(0, "B"), v);
    tooLongTitle.replace(4, 4, Synchsafe(500));
    const struct {
        const char* name;
        std::string middle;
        std::string expected;
    } cases[] = {
        {"no zero after the element id", Frame("CHAP", std::string(30, 'x'), v), "A@1.0000"},
        {"fewer than 16 bytes of times", Frame("CHAP", std::string("b\0", 2) + std::string(15, '\x01'), v), "A@1.0000"},
        {"embedded frame too long: untitled, walk goes on", Chap(v, "b", 2000, tooLongTitle),
         "A@1.0000|Chapter 2@2.0000|C@3.0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Titles(Id3v2Chapters(Id3v2Tag(v, good + c.middle + after))), c.expected);
    }
    // A tag cut short keeps the chapters that fit.
    const std::string tag = Id3v2Tag(v, good + after);
    EXPECT_EQ(Titles(Id3v2Chapters(tag.substr(0, tag.size() - 3))), "A@1.0000");
}

TEST(ReadChapters, VorbisFirstThenId3v2)
{
    TagBlocks b;
    b.id3v2 = Id3v2Tag(3, Chap(3, "a", 5000, Frame("TIT2", TextBody(0, "Id3"), 3)));
    EXPECT_EQ(Titles(ReadChapters(b)), "Id3@5.0000");
    b.vorbis = ListBlock({"CHAPTER001=0", "CHAPTER001NAME=Vorbis"});
    EXPECT_EQ(Titles(ReadChapters(b)), "Vorbis@0.0000");
    // Vorbis comments that yield no chapter leave the ID3v2 frames in charge.
    b.vorbis = ListBlock({"CHAPTER002=0"});
    EXPECT_EQ(Titles(ReadChapters(b)), "Id3@5.0000");
}

TEST(ReadChapters, SuppliedListSurvivesExactlyOneOpen)
{
    ChapterList list;
    TagBlocks file;
    file.vorbis = ListBlock({"CHAPTER001=0", "CHAPTER001NAME=From file"});
    SetSuppliedChapters(list, {});
    EXPECT_FALSE(list.supplied);
    SetSuppliedChapters(list, {{0, "Intro"}, {60, "Talk"}});
    ReadChapters(list, &file);
    EXPECT_EQ(Titles(list.chapters), "Intro@0.0000|Talk@60.000");
    EXPECT_FALSE(list.supplied);
    ReadChapters(list, &file);
    EXPECT_EQ(Titles(list.chapters), "From file@0.0000");
    ReadChapters(list, nullptr);
    EXPECT_TRUE(list.chapters.empty());
}

TEST(ReadChapters, ClearBeforeOpenSparesASuppliedList)
{
    g_chapters = {};
    g_chapters.chapters = {{0, "Old item"}};
    ClearChapters();
    EXPECT_TRUE(g_chapters.chapters.empty());
    SetSuppliedChapters({{0, "Podcast"}});
    ClearChapters();
    ReadChapters(audio::Handle{0});
    EXPECT_EQ(Titles(g_chapters.chapters), "Podcast@0.0000");
    g_chapters = {};
}

const std::vector<Chapter> kFive = {{0, "Intro"}, {60, "Two"}, {120, "Interview"}, {180, ""}, {240, "End"}};

TEST(ChapterMoves, NextNeedsMoreThanHalfASecond)
{
    const struct {
        double position;
        bool moved;
        double target;
        const char* announcement;
    } cases[] = {
        {0, true, 60, "Chapter 2: Two"},
        {179.7, true, 240, "Chapter 5: End"},   // 0.3 s before chapter 4 skips it
        {179.4, true, 180, "Chapter 4"},        // untitled
        {239.6, false, 0, ""},
        {-5, true, 0, "Chapter 1: Intro"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        const ChapterMove m = NextChapterMove(kFive, c.position);
        EXPECT_EQ(m.moved, c.moved);
        EXPECT_DOUBLE_EQ(m.target, c.target);
        EXPECT_EQ(m.announcement, c.announcement);
    }
    EXPECT_FALSE(NextChapterMove({}, 0).moved);
}

TEST(ChapterMoves, PreviousRestartsAfterThreeSeconds)
{
    const struct {
        double position;
        double target;
        const char* announcement;
    } cases[] = {
        {122, 60, "Chapter 2: Two"},          // 2 s into chapter 3
        {130, 120, "Chapter 3: Interview"},   // 10 s into chapter 3
        {123, 60, "Chapter 2: Two"},          // exactly 3 s is not more than 3
        {2, 0, "Beginning"},
        {45, 0, "Chapter 1: Intro"},
        {500, 240, "Chapter 5: End"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        const ChapterMove m = PreviousChapterMove(kFive, c.position);
        EXPECT_TRUE(m.moved);
        EXPECT_DOUBLE_EQ(m.target, c.target);
        EXPECT_EQ(m.announcement, c.announcement);
    }
    // Before the first chapter: back to 0 without a word.
    const ChapterMove early = PreviousChapterMove({{10, "Late start"}}, 5);
    EXPECT_TRUE(early.moved);
    EXPECT_DOUBLE_EQ(early.target, 0);
    EXPECT_EQ(early.announcement, "");
    EXPECT_FALSE(PreviousChapterMove({}, 5).moved);
}

}  // namespace
