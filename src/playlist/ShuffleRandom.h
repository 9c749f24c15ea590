#pragma once
#include <cstdint>

// The random source of shuffled Next: a 32-bit linear congruential generator
// that starts at 1 and is never reseeded, so a run that presses Next on the
// same queue gets the same picks every time.
struct ShuffleRandom {
    uint32_t state = 1;
};

// The one generator of the process (UI thread only).
extern ShuffleRandom g_shuffleRandom;

// state = state * 214013 + 2531011; the value is bits 16-30 (0 to 32767).
int NextShuffleValue(ShuffleRandom& random);

// Draws value mod count until it differs from current. count must be at
// least 2 (a single entry is not shuffled); returns -1 otherwise.
int PickShuffledIndex(ShuffleRandom& random, int count, int current);
