// Stopwatch: seconds of processor time, measured with full-width ticks.
#include "stats/Stopwatch.h"

#include <gtest/gtest.h>

// A start more than 2^31 ticks back would have wrapped with 32-bit ticks.
TEST(Stopwatch, ReadsSecondsSinceAStartLongAgo) {
  Stopwatch watch(true);
  watch.start_ticks -= static_cast<clock_t>(3000) * CLOCKS_PER_SEC;
  EXPECT_NEAR(watch.stop(), 3000.0, 60.0);
}
