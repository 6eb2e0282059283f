// Stopwatch: the zero rule, full-width ticks and the report line.
#include "stats/Stopwatch.h"

#include <gtest/gtest.h>

#include <string>

TEST(Stopwatch, ReadingNotPastStartGivesZeroAndTheReportLine) {
  Stopwatch watch(true);
  watch.start_ticks = clock() + 1000 * CLOCKS_PER_SEC;
  EXPECT_EQ(watch.stop(), 0.0);
  EXPECT_FALSE(watch.running);
  FILE* out = std::tmpfile();
  watch.print("cont", out);
  watch.elapsed = 12.5;
  watch.print("total", out);
  std::rewind(out);
  char text[64] = {};
  EXPECT_EQ(std::fread(text, 1, sizeof text - 1, out), 30u);
  EXPECT_EQ(std::string(text), "# cont 0 sec\n# total 12.5 sec\n");
  std::fclose(out);
}

// A start more than 2^31 ticks back would have wrapped with 32-bit ticks.
TEST(Stopwatch, KeepsFullWidthTicks) {
  Stopwatch watch(true);
  watch.start_ticks -= static_cast<clock_t>(3000) * CLOCKS_PER_SEC;
  EXPECT_GE(watch.stop(), 3000.0);
}
