#pragma once
#include <cstdint>

// Milliseconds from a monotonic clock, wrapping at 2^32 like the tick count
// the timing rules are written against; compare ticks by unsigned difference.
std::uint32_t TickCount();
