// The jump-to-time entry, chapter times and the spoken duration.
#include <gtest/gtest.h>

#include "playback/TimeText.h"

namespace {

TEST(ParseJumpTime, FirstMatchingFormWins)
{
    const struct {
        const char* text;
        double seconds;
    } cases[] = {
        {"90", 90},
        {"1:30", 90},
        {"1:02:05", 3725},
        {"5:00", 300},
        {" 1 : 30", 1},          // as "%d:%d" reads it: no blank before the colon
        {"1: 30", 90},           // a blank before a number is skipped
        {"1.5", 1.5},
        {"1:30.9", 90},          // "%d:%d" matches first
        {".5", 0.5},
        {"+7", 7},
        {"1:02:05 extra", 3725},
        {"-10", -10},            // negative: the caller does not jump
        {"-1:30", -30},
        {"", -1},
        {"abc", -1},
        {"nan", -1},
        {"inf", -1},
        {"+-5", -1},
        {"1e400", 1e12},         // clamped, not infinite
        {"99999999999999999999:0:0", 1e12 * 3600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ParseJumpTime(c.text), c.seconds);
    }
    // Only the first 63 characters are read.
    EXPECT_DOUBLE_EQ(ParseJumpTime(std::string(62, ' ') + "7"), 7);
    EXPECT_DOUBLE_EQ(ParseJumpTime(std::string(63, ' ') + "7"), -1);
}

TEST(SpokenDuration, HoursMinutesSeconds)
{
    EXPECT_EQ(SpokenDuration(3725.9), "Duration: 1 hours, 2 minutes, 5 seconds");
    EXPECT_EQ(SpokenDuration(185), "Duration: 3 minutes, 5 seconds");
    EXPECT_EQ(SpokenDuration(60), "Duration: 1 minutes, 0 seconds");
    EXPECT_EQ(SpokenDuration(42.5), "Duration: 42 seconds");
}

}  // namespace
