// Stopwatch states, the zero rule, full-width ticks and the report line.
#include "stats/Stopwatch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

double Now() {
  return static_cast<double>(clock()) / CLOCKS_PER_SEC;
}

// Everything written to a temporary stdio stream.
std::string Read(FILE* file) {
  std::rewind(file);
  std::string text;
  for (int ch; (ch = std::fgetc(file)) != EOF;) text += static_cast<char>(ch);
  return text;
}

}  // namespace

TEST(Stopwatch, StopOnNeverStartedWatchMeasuresFromZero) {
  Stopwatch watch;
  const double before = Now();
  const double elapsed = watch.stop(false, nullptr, stderr);
  EXPECT_FALSE(watch.running);
  EXPECT_GE(elapsed, before);
  EXPECT_LE(elapsed, Now());
  EXPECT_EQ(watch.get(), elapsed);
}

TEST(Stopwatch, ReadingNotPastStartGivesZero) {
  Stopwatch watch(true);
  EXPECT_TRUE(watch.running);
  watch.start_ticks = clock() + 1000 * CLOCKS_PER_SEC;
  EXPECT_EQ(watch.stop(false, nullptr, stderr), 0.0);
}

// A start more than 2^31 ticks back would have wrapped with 32-bit ticks.
TEST(Stopwatch, KeepsFullWidthTicks) {
  Stopwatch watch(true);
  watch.start_ticks -= static_cast<clock_t>(3000) * CLOCKS_PER_SEC;
  EXPECT_GE(watch.stop(false, nullptr, stderr), 3000.0);
}

TEST(Stopwatch, TwoTogglesMeasureTheIntervalBetweenThem) {
  Stopwatch watch;
  watch.toggle();
  EXPECT_TRUE(watch.running);
  watch.start_ticks -= 2 * CLOCKS_PER_SEC;
  watch.toggle();
  EXPECT_FALSE(watch.running);
  EXPECT_GE(watch.get(), 2.0);
  EXPECT_LT(watch.get(), 2.0 + Now());
}

TEST(Stopwatch, ReportLines) {
  FILE* out = std::tmpfile();
  Stopwatch watch(true);
  watch.start_ticks = clock() + 1000 * CLOCKS_PER_SEC;  // measures 0 exactly
  watch.stop(false, "quiet", out);
  watch.stop(true, "cont", out);
  watch.print("cont", out);
  watch.elapsed = 12.5;
  watch.print("total", out);
  watch.print(nullptr, out);
  watch.print("", out);
  EXPECT_EQ(Read(out), "# cont 0 sec\n# cont 0 sec\n# total 12.5 sec\n# 12.5 sec\n#  12.5 sec\n");
  std::fclose(out);
}
