// File names of recordings from the date-and-time template.
#include "recording/RecordingName.h"
#include "recording/SoundFileWriter.h"

#include "storage/Settings.h"

#include <gtest/gtest.h>

namespace {

// 14:05:09 on 3 March 2024.
std::tm Moment()
{
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 3;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_wday = 0;
    t.tm_yday = 62;
    return t;
}

struct NameCase {
    const char* filenameTemplate;
    int format;
    const char* expected;
};

class RecordingNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RecordingNameTest, ExpandsTemplateAtTheGivenMoment)
{
    g_settings = Settings{};
    g_settings.recording.filenameTemplate = GetParam().filenameTemplate;
    EXPECT_EQ(RecordingFileName(GetParam().format, Moment()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, RecordingNameTest,
    ::testing::Values(
        NameCase{"%Y-%m-%d_%H-%M-%S", kRecordMp3, "2024-03-03_14-05-09.mp3"},
        NameCase{"{jour}.{mois}.{année} {heure}h{min}", kRecordWav, "03.03.2024 14h05.wav"},
        // Every spelling, every occurrence; the longer words are not cut by the shorter ones.
        NameCase{"{annee}{year}-{month}-{day}{hour}{minute}{second}{seconde}{sec}", kRecordOgg,
                 "20242024-03-031405090909.ogg"},
        NameCase{"{day}{day}", kRecordFlac, "0303.flac"},
        // Placeholders are case-sensitive and unknown braces stay as typed.
        NameCase{"{Year}{nope}", kRecordWav, "{Year}{nope}.wav"},
        // Out-of-range formats are clamped.
        NameCase{"rec", -3, "rec.wav"},
        NameCase{"rec", 9, "rec.flac"},
        // A name never leaves the recordings folder.
        NameCase{"../%Y/x", kRecordWav, ".._2024_x.wav"},
        // Empty or overlong expansions fall back to the default template.
        NameCase{"", kRecordMp3, "2024-03-03_14-05-09.mp3"},
        NameCase{"%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y"
                 "%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y",
                 kRecordWav, "2024-03-03_14-05-09.wav"}));

TEST(NumberedPathTest, PutsTheNumberBeforeTheExtension)
{
    EXPECT_EQ(NumberedPath("/music/take.wav", 2), "/music/take (2).wav");
    EXPECT_EQ(NumberedPath("/mu.sic/take", 3), "/mu.sic/take (3)");
    EXPECT_EQ(NumberedPath("/music/.hidden", 2), "/music/.hidden (2)");
}

}  // namespace
