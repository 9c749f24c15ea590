#include "playlist/ShuffleRandom.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int> ShuffledRun(ShuffleRandom random, int count, int start, int presses)
{
    std::vector<int> picks;
    int current = start;
    for (int i = 0; i < presses; ++i) {
        current = PickShuffledIndex(random, count, current);
        picks.push_back(current);
    }
    return picks;
}

TEST(ShuffleRandom, IsTheGivenGeneratorStartingAtOne)
{
    // The well-known first outputs of this generator from state 1.
    ShuffleRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (const int value : expected)
        EXPECT_EQ(NextShuffleValue(random), value);
    EXPECT_EQ(g_shuffleRandom.state, 1u) << "the process-wide generator starts at 1";
}

TEST(ShuffleRandom, SameQueueGivesSamePicksInEveryRun)
{
    // From current 0 in a queue of 5 the values above give 1, 2, 4, 0, 4;
    // then 15724 % 5 = 4 equals current and is drawn again: 11478 % 5 = 3.
    const std::vector<int> first = ShuffledRun(ShuffleRandom{}, 5, 0, 200);
    ASSERT_GE(first.size(), 6u);
    EXPECT_EQ(std::vector<int>(first.begin(), first.begin() + 6),
              (std::vector<int>{1, 2, 4, 0, 4, 3}));
    EXPECT_EQ(ShuffledRun(ShuffleRandom{}, 5, 0, 200), first);

    int previous = 0;
    for (const int pick : first) {
        EXPECT_NE(pick, previous);
        EXPECT_TRUE(pick >= 0 && pick < 5);
        previous = pick;
    }
}

TEST(ShuffleRandom, TwoEntriesAlternateAndFewerAreNotShuffled)
{
    const std::vector<int> picks = ShuffledRun(ShuffleRandom{}, 2, 0, 50);
    for (size_t i = 0; i < picks.size(); ++i)
        EXPECT_EQ(picks[i], i % 2 == 0 ? 1 : 0);

    ShuffleRandom random;
    EXPECT_EQ(PickShuffledIndex(random, 1, 0), -1);
    EXPECT_EQ(PickShuffledIndex(random, 0, -1), -1);
    EXPECT_EQ(random.state, 1u);
}

}  // namespace
