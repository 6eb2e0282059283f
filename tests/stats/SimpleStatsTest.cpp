// SimpleStats: value formats by type, given ones and ones longer than a
// buffer (the selections are pinned by the known-answer runs).
#include "stats/SimpleStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

TEST(SimpleStats, FormatsByTypeGivenAndLong) {
  const double inf = std::numeric_limits<double>::infinity();
  SimpleStats table;
  table.Push("real", 0.125);
  table.Push("int", 5000000000L);
  table.Push("r", 3.14159, "%.2f");
  table.Push("i", 7L, "%05ld");
  table.Push("wide", 1.0, "%300.1f");
  table.Push("nan", std::nan(""));
  table.Push("inf", inf, "%.4f");
  table.Push("-inf", -inf, "%7.0f");
  std::ostringstream os;
  table.Print(os);
  EXPECT_EQ(os.str(), "0.125, 5000000000, 3.14, 00007, " + std::string(297, ' ') +
                          "1.0, -999.9, -999.9000,   -1000\n");
}
