// Tests of ProgressLine: its text, rate limit and erasure on a pseudo-terminal,
// and its silence on a file and no stream at all.
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

// Written after the line under test, so reading up to it reads all of it.
constexpr char kSentinel = '\x01';

class ProgressLinePtyTest : public ::testing::Test {
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

  // Everything the terminal received since the last call.
  std::string Received() {
    fputc(kSentinel, terminal_);
    fflush(terminal_);
    std::string text;
    char c = 0;
    pollfd ready = {master_, POLLIN, 0};
    while (poll(&ready, 1, 5000) == 1 && read(master_, &c, 1) == 1 && c != kSentinel) {
      text += c;
    }
    return text;
  }

  int master_ = -1;
  FILE* terminal_ = nullptr;
};

TEST_F(ProgressLinePtyTest, ShowsShareRateAndTimeLeftAtMostEveryInterval) {
  ProgressLine line(terminal_, FakeNow);
  EXPECT_TRUE(line.enabled());
  fake_now = 100.2;
  line.Show(0.1, 1000);
  EXPECT_EQ(Received(), "");  // a run shorter than the interval never shows it
  fake_now = 102;
  line.Show(0.25, 5000);
  EXPECT_EQ(Received(), "\r 25.0% done, 2.50k cycles/s, 0:00:06 left");
  fake_now = 102.2;
  line.Show(0.3, 6000);
  EXPECT_EQ(Received(), "");
  fake_now = 102 + ProgressLine::kInterval;
  line.Show(0.5, 10000);
  EXPECT_EQ(Received(), "\r 50.0% done, 4.44k cycles/s, 0:00:02 left");
}

// A shorter line blanks the rest of the longer one before it.
TEST_F(ProgressLinePtyTest, FormatsLargeRatesLongTimesAndOddShares) {
  ProgressLine line(terminal_, FakeNow);
  fake_now = 110;
  line.Show(10.0 / 3735, 35000000);
  EXPECT_EQ(Received(), "\r  0.3% done, 3.50M cycles/s, 1:02:05 left");
  fake_now = 120;
  line.Show(0, 200);
  EXPECT_EQ(Received(), "\r  0.0% done, 10 cycles/s, --:--:-- left  ");
  fake_now = 130;
  line.Show(1.5, 300);
  EXPECT_EQ(Received(), "\r100.0% done, 10 cycles/s, 0:00:00 left ");
  fake_now = 140;
  line.Show(std::nan(""), 400);
  EXPECT_EQ(Received(), "\r  0.0% done, 10 cycles/s, --:--:-- left");
}

TEST_F(ProgressLinePtyTest, EraseBlanksTheLineOnceAndShowBringsItBack) {
  {
    ProgressLine line(terminal_, FakeNow);
    fake_now = 101;
    line.Show(0.5, 100);
    const std::string shown = Received();
    line.Erase();
    EXPECT_EQ(Received(), "\r" + std::string(shown.size() - 1, ' ') + "\r");
    line.Erase();
    EXPECT_EQ(Received(), "");
    fake_now = 102;
    line.Show(0.75, 150);
    EXPECT_EQ(Received(), "\r 75.0% done, 75 cycles/s, 0:00:01 left");
  }
  EXPECT_EQ(Received(), "\r" + std::string(38, ' ') + "\r");  // the destructor erases it
}

// Shows and erases a line on a stream that is no terminal.
void ShowAndErase(FILE* stream) {
  ProgressLine line(stream, FakeNow);
  EXPECT_FALSE(line.enabled());
  for (int i = 1; i <= 10; ++i) {
    fake_now = 100 + i;
    line.Show(i / 10.0, i * 1000L);
  }
  line.Erase();
}

TEST(ProgressLineTest, WritesNothingToAFileOrNoStream) {
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  ShowAndErase(file);
  EXPECT_EQ(ftell(file), 0);
  fclose(file);

  ShowAndErase(nullptr);
}

}  // namespace
