// SimpleStats: value formats and the selected rows and names.
#include "stats/SimpleStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace {

std::string Values(const SimpleStats& table, const char* selection = "") {
  std::ostringstream os;
  table.Print(CSVString(selection), os);
  return os.str();
}

std::string Names(SimpleStats& table, const char* selection = "") {
  std::ostringstream os;
  table.Header(CSVString(selection), os);
  return os.str();
}

}  // namespace

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

TEST(SimpleStats, SelectionChoosesOrdersAndSkipsUnknownNames) {
  SimpleStats table;
  table.Push("T", 1);
  table.Push("S", 2.5);
  table.Push("T", 3);  // a duplicate name selects the first
  EXPECT_EQ(Values(table, "S,T"), "2.5, 1\n");
  EXPECT_EQ(Names(table, " S , T "), "S, T\n");
  EXPECT_EQ(Values(table, "T,-,S"), "1 | 2.5\n");
  EXPECT_EQ(Names(table, "-,T,-"), " | T | \n");
  EXPECT_EQ(Names(table, "x,T,y,S"), "T, S\n");
  // Last after a match, an unknown name leaves the separator behind.
  EXPECT_EQ(Values(table, "T,zz"), "1, \n");
}
