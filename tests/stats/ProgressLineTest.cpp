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

double fake_now = 100;
double FakeNow() {
  return fake_now;
}

}  // namespace

// At most once an interval, never before the first; a shorter line blanks
// the rest of the longer one before it, and Erase blanks the line once.
TEST(ProgressLine, ShowsShareRateAndTimeLeftAtMostEveryInterval) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  FILE* terminal = fdopen(slave, "w");
  // Everything the terminal received since the last call, read up to a
  // sentinel written after it.
  const auto received = [&] {
    fputc('\x01', terminal);
    fflush(terminal);
    std::string text;
    char c = 0;
    pollfd ready = {master, POLLIN, 0};
    while (poll(&ready, 1, 5000) == 1 && read(master, &c, 1) == 1 && c != '\x01') text += c;
    return text;
  };
  {
    ProgressLine line(terminal, FakeNow);
    const auto shown_at = [&](double now, double done, long cycles) {
      fake_now = now;
      line.Show(done, cycles);
      return received();
    };
    EXPECT_TRUE(line.enabled());
    EXPECT_EQ(shown_at(100.2, 0.1, 1000), "");
    EXPECT_EQ(shown_at(102, 0.25, 5000), "\r 25.0% done, 2.50k cycles/s, 0:00:06 left");
    EXPECT_EQ(shown_at(102.2, 0.3, 6000), "");
    EXPECT_EQ(shown_at(102 + ProgressLine::kInterval, 0.5, 10000),
              "\r 50.0% done, 4.44k cycles/s, 0:00:02 left");
    EXPECT_EQ(shown_at(110, 10.0 / 3735, 35000000), "\r  0.3% done, 3.50M cycles/s, 1:02:05 left");
    EXPECT_EQ(shown_at(120, 0, 200), "\r  0.0% done, 10 cycles/s, --:--:-- left  ");
    EXPECT_EQ(shown_at(130, 1.5, 300), "\r100.0% done, 10 cycles/s, 0:00:00 left ");
    EXPECT_EQ(shown_at(140, std::nan(""), 400), "\r  0.0% done, 10 cycles/s, --:--:-- left");
    line.Erase();
    EXPECT_EQ(received(), "\r" + std::string(39, ' ') + "\r");
    line.Erase();
    EXPECT_EQ(received(), "");
  }  // the line is gone before its terminal
  fclose(terminal);
  close(master);
}
