// Stopwatch states, the zero rule, full-width ticks and the report line.
#include <gtest/gtest.h>

#include <string>

#include "stats/Stopwatch.h"

namespace {

// Everything written to a temporary stdio stream.
class Capture {
 public:
  Capture() : file(std::tmpfile()) {}
  ~Capture() { std::fclose(file); }
  std::string Text() {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int ch; (ch = std::fgetc(file)) != EOF;) text += static_cast<char>(ch);
    return text;
  }
  FILE* file;
};

}  // namespace

TEST(Stopwatch, ConstructionAndStart) {
  Stopwatch idle, started(true);
  EXPECT_FALSE(idle.running);
  EXPECT_EQ(idle.start_ticks, 0);
  EXPECT_EQ(idle.get(), 0.0);
  EXPECT_TRUE(started.running);
  EXPECT_LE(started.start_ticks, clock());
}

TEST(Stopwatch, StopOnNeverStartedWatchMeasuresFromZero) {
  Stopwatch watch;
  const double before = static_cast<double>(clock()) / CLOCKS_PER_SEC;
  const double elapsed = watch.stop(false, nullptr, stderr);
  EXPECT_FALSE(watch.running);
  EXPECT_GE(elapsed, before);
  EXPECT_LE(elapsed, static_cast<double>(clock()) / CLOCKS_PER_SEC);
  EXPECT_EQ(watch.get(), elapsed);
}

TEST(Stopwatch, ReadingNotPastStartGivesZero) {
  Stopwatch watch(true);
  watch.start_ticks = clock() + 1000 * CLOCKS_PER_SEC;
  EXPECT_EQ(watch.stop(false, nullptr, stderr), 0.0);
  EXPECT_FALSE(watch.running);
}

// A start more than 2^31 ticks back would have wrapped with 32-bit ticks.
TEST(Stopwatch, KeepsFullWidthTicks) {
  Stopwatch watch(true);
  const clock_t back = static_cast<clock_t>(3000) * CLOCKS_PER_SEC;
  watch.start_ticks -= back;
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
  EXPECT_LT(watch.get(), 2.0 + static_cast<double>(clock()) / CLOCKS_PER_SEC);
}

TEST(Stopwatch, ReportLines) {
  Capture out;
  Stopwatch watch;
  watch.elapsed = 12.5;
  watch.print("total", out.file);
  watch.print(nullptr, out.file);
  watch.print("", out.file);
  EXPECT_EQ(out.Text(), "# total 12.5 sec\n# 12.5 sec\n#  12.5 sec\n");
}

TEST(Stopwatch, StopPrintsOnlyWhenAskedAndPrintReprints) {
  Capture out;
  Stopwatch watch(true);
  watch.start_ticks = clock() + 1000 * CLOCKS_PER_SEC;  // measures 0 exactly
  watch.stop(false, "quiet", out.file);
  EXPECT_EQ(out.Text(), "");
  watch.stop(true, "cont", out.file);
  watch.print("cont", out.file);
  watch.print("cont", out.file);
  EXPECT_EQ(out.Text(), "# cont 0 sec\n# cont 0 sec\n# cont 0 sec\n");
}
