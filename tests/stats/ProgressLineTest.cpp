// ProgressLine: its text, rate limit and erasure on a pseudo-terminal (runs
// of the binary, whose standard error is no terminal, never show it).
#include "stats/ProgressLine.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cmath>
#include <string>

namespace {

double fake_now = 0;
double FakeNow() {
  return fake_now;
}

class ProgressLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int slave = -1;
    ASSERT_EQ(openpty(&master_, &slave, nullptr, nullptr, nullptr), 0);
    terminal_ = fdopen(slave, "w");
    ASSERT_NE(terminal_, nullptr);
    fake_now = 100;
  }
  void TearDown() override {
    fclose(terminal_);
    close(master_);
  }

  // Everything the terminal received since the last call, read up to a
  // sentinel written after it.
  std::string Received() {
    fputc('\x01', terminal_);
    fflush(terminal_);
    std::string text;
    char c = 0;
    pollfd ready = {master_, POLLIN, 0};
    while (poll(&ready, 1, 5000) == 1 && read(master_, &c, 1) == 1 && c != '\x01') text += c;
    return text;
  }

  // The text of one Show at the given time.
  std::string ShownAt(ProgressLine& line, double now, double done, long cycles) {
    fake_now = now;
    line.Show(done, cycles);
    return Received();
  }

  int master_ = -1;
  FILE* terminal_ = nullptr;
};

// At most once an interval, never before the first; a shorter line blanks
// the rest of the longer one before it, and Erase blanks the line once.
TEST_F(ProgressLineTest, ShowsShareRateAndTimeLeftAtMostEveryInterval) {
  ProgressLine line(terminal_, FakeNow);
  EXPECT_TRUE(line.enabled());
  EXPECT_EQ(ShownAt(line, 100.2, 0.1, 1000), "");
  EXPECT_EQ(ShownAt(line, 102, 0.25, 5000), "\r 25.0% done, 2.50k cycles/s, 0:00:06 left");
  EXPECT_EQ(ShownAt(line, 102.2, 0.3, 6000), "");
  EXPECT_EQ(ShownAt(line, 102 + ProgressLine::kInterval, 0.5, 10000),
            "\r 50.0% done, 4.44k cycles/s, 0:00:02 left");
  EXPECT_EQ(ShownAt(line, 110, 10.0 / 3735, 35000000),
            "\r  0.3% done, 3.50M cycles/s, 1:02:05 left");
  EXPECT_EQ(ShownAt(line, 120, 0, 200), "\r  0.0% done, 10 cycles/s, --:--:-- left  ");
  EXPECT_EQ(ShownAt(line, 130, 1.5, 300), "\r100.0% done, 10 cycles/s, 0:00:00 left ");
  EXPECT_EQ(ShownAt(line, 140, std::nan(""), 400), "\r  0.0% done, 10 cycles/s, --:--:-- left");
  line.Erase();
  EXPECT_EQ(Received(), "\r" + std::string(39, ' ') + "\r");
  line.Erase();
  EXPECT_EQ(Received(), "");
}

}  // namespace
