#include "platform/Clock.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

TEST(Clock, TickCountAdvancesInMilliseconds)
{
    const std::uint32_t a = TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::uint32_t elapsed = TickCount() - a;
    EXPECT_GE(elapsed, 45u);
    EXPECT_LT(elapsed, 2000u);
}
