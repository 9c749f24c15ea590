// Which seek units Left and Right can use, how "," and "." cycle them, and
// what one step of a unit does.
#include <gtest/gtest.h>

#include "playback/SeekUnits.h"

namespace {

Settings::Movement Only(std::initializer_list<int> units, bool chapterSeek)
{
    Settings::Movement m;
    for (int i = 0; i < 12; ++i)
        *SeekAmountField(m, i) = false;
    for (int i : units)
        *SeekAmountField(m, i) = true;
    m.chapterSeek = chapterSeek;
    return m;
}

TEST(SeekUnits, AvailabilityRule)
{
    const Settings::Movement m = Only({0, 9, 10}, true);
    const SeekContext single{1, 0};
    const SeekContext queueWithChapters{2, 3};
    EXPECT_TRUE(SeekUnitAvailable(m, 0, single));
    EXPECT_FALSE(SeekUnitAvailable(m, 1, single));   // not enabled
    EXPECT_FALSE(SeekUnitAvailable(m, 9, single));   // tracks need two items
    EXPECT_TRUE(SeekUnitAvailable(m, 9, queueWithChapters));
    EXPECT_FALSE(SeekUnitAvailable(m, 12, single));  // no chapters
    EXPECT_TRUE(SeekUnitAvailable(m, 12, queueWithChapters));
    EXPECT_FALSE(SeekUnitAvailable(Only({}, false), 12, queueWithChapters));
    EXPECT_FALSE(SeekUnitAvailable(m, 13, queueWithChapters));
    EXPECT_FALSE(SeekUnitAvailable(m, -1, queueWithChapters));
}

TEST(SeekUnits, CycleWalksWithoutWrapping)
{
    const struct {
        const char* name;
        Settings::Movement movement;
        SeekContext context;
        int current, step;
        int unit;
        const char* said;
    } cases[] = {
        {"only 5 seconds, forward", Only({1}, true), {1, 0}, 1, +1, 1, "5 seconds"},
        {"only 5 seconds, back", Only({1}, true), {1, 0}, 1, -1, 1, "5 seconds"},
        {"nothing available", Only({}, true), {1, 0}, 4, +1, 1, "5 seconds"},
        {"forward to the next", Only({0, 1, 4}, true), {1, 0}, 1, +1, 4, "1 minute"},
        {"skips unavailable tracks to chapters", Only({1, 9}, true), {1, 2}, 1, +1, 12, "1 chapter"},
        {"last one stays", Only({1, 4}, true), {1, 0}, 4, +1, 4, "1 minute"},
        {"chapter is last", Only({1}, true), {1, 2}, 12, +1, 12, "1 chapter"},
        {"first one stays", Only({1, 4}, true), {1, 0}, 1, -1, 1, "5 seconds"},
        {"unavailable current starts at the first", Only({3, 5, 8}, true), {1, 0}, 12, +1, 5, "5 minutes"},
        {"out of range current", Only({3, 5}, true), {1, 0}, 40, -1, 3, "30 seconds"},
        {"tracks with a queue", Only({1, 10}, false), {3, 0}, 1, +1, 10, "5 tracks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SeekCycleResult r = CycleSeekUnitFrom(c.movement, c.current, c.step, c.context);
        EXPECT_EQ(r.unit, c.unit);
        EXPECT_EQ(r.announcement, c.said);
    }
}

TEST(SeekUnits, StepOfEachKind)
{
    const struct {
        const char* name;
        Settings::Movement movement;
        SeekContext context;
        int unit, direction;
        SeekActionKind kind;
        int amount;
    } cases[] = {
        {"seconds back", Only({4}, true), {1, 0}, 4, -1, SeekActionKind::SeekSeconds, -60},
        {"hour forward", Only({8}, true), {1, 0}, 8, +1, SeekActionKind::SeekSeconds, 3600},
        {"tracks with a queue", Only({11}, true), {5, 0}, 11, -1, SeekActionKind::JumpTracks, -10},
        {"one track, one item: first enabled seconds unit", Only({3, 9, 2}, true), {1, 0}, 9, +1,
         SeekActionKind::SeekSeconds, 10},
        {"one track, one item, no seconds unit", Only({9}, true), {1, 0}, 9, +1, SeekActionKind::None, 0},
        {"chapter forward", Only({}, true), {1, 2}, 12, +1, SeekActionKind::NextChapter, 0},
        {"chapter back", Only({}, true), {1, 2}, 12, -1, SeekActionKind::PreviousChapter, 0},
        {"chapter without chapters", Only({1}, true), {1, 0}, 12, +1, SeekActionKind::None, 0},
        {"out of range: 5 seconds", Only({}, true), {1, 0}, 99, -1, SeekActionKind::SeekSeconds, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SeekAction a = SeekByAction(c.movement, c.unit, c.direction, c.context);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.amount, c.amount);
    }
}

TEST(SeekUnits, LabelsOfTheTable)
{
    EXPECT_EQ(SeekUnitLabel(0), "1 second");
    EXPECT_EQ(SeekUnitLabel(11), "10 tracks");
    EXPECT_EQ(SeekUnitLabel(12), "1 chapter");
    EXPECT_EQ(SeekUnitLabel(13), "");
}

}  // namespace
