#include "playlist/ShuffleRandom.h"

ShuffleRandom g_shuffleRandom;

int NextShuffleValue(ShuffleRandom& random)
{
    random.state = random.state * 214013u + 2531011u;
    return static_cast<int>((random.state >> 16) & 0x7FFF);
}

int PickShuffledIndex(ShuffleRandom& random, int count, int current)
{
    if (count < 2)
        return -1;
    // Defensive bound: with its full period the generator leaves current
    // within a few draws.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        const int pick = NextShuffleValue(random) % count;
        if (pick != current)
            return pick;
    }
    return current + 1 < count ? current + 1 : 0;
}
