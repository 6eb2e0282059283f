// SimpleStats: pushing, value formats, full and selected rows, header state.
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

std::string Value(const SimpleStats& table, long i) {
  std::ostringstream os;
  table.Print(i, os);
  return os.str();
}

// Three entries T, S, U with values 1, 2.5 and "u".
SimpleStats Tsu() {
  SimpleStats table;
  table.Push("T", 1);
  table.Push("S", 2.5);
  table.Push("U", "u");
  return table;
}

}  // namespace

TEST(SimpleStats, EmptyTableWritesLineEnds) {
  SimpleStats table;
  std::ostringstream values, names;
  table.Print(values);
  EXPECT_FALSE(table.header_done);
  table.Header(names);
  EXPECT_EQ(values.str(), "\n");
  EXPECT_EQ(names.str(), "\n");
  EXPECT_TRUE(table.header_done);
}

TEST(SimpleStats, PushCopiesNameAndText) {
  SimpleStats table;
  std::string name = "n";
  char text[] = "abc";
  EXPECT_EQ(table.Push(name, text), 1);
  name = "changed";
  text[0] = 'X';
  EXPECT_EQ(table.IndexOf("n"), 0);
  EXPECT_EQ(table.IndexOf("N"), -1);
  EXPECT_EQ(Value(table, 0), "\"abc\"");
}

TEST(SimpleStats, DefaultFormatsByType) {
  SimpleStats table;
  table.Push("flag", true);
  table.Push("off", false);
  table.Push("real", 0.125);
  table.Push("long real", 1.5L);
  table.Push("int", 42);
  table.Push("long", 5000000000L);
  table.Push("text", "a b");
  std::ostringstream os;
  table.Print(os);
  EXPECT_EQ(os.str(), "1, 0, 0.125, 1.5, 42, 5000000000, \"a b\"\n");
}

TEST(SimpleStats, GivenFormatsAndLongFormatsAndTexts) {
  SimpleStats table;
  table.Push("r", 3.14159, "%.2f");
  table.Push("i", 7L, "%05ld");
  table.Push("s", "plain", "%s");
  table.Push("wide", 1.0, "value is: %12.6f units");
  table.Push("long text", std::string(300, 'x').c_str());
  EXPECT_EQ(Value(table, 0), "3.14");
  EXPECT_EQ(Value(table, 1), "00007");
  EXPECT_EQ(Value(table, 2), "plain");
  EXPECT_EQ(Value(table, 3), "value is:     1.000000 units");
  EXPECT_EQ(Value(table, 4), "\"" + std::string(300, 'x') + "\"");
  EXPECT_EQ(Value(table, 5), "");
}

TEST(SimpleStats, NonFiniteRealsPrintAsMinus999Point9) {
  const double inf = std::numeric_limits<double>::infinity();
  SimpleStats table;
  table.Push("nan", std::nan(""));
  table.Push("inf", inf, "%.4f");
  table.Push("-inf", -inf, "%7.0f");
  table.Push("huge", std::numeric_limits<long double>::max());
  std::ostringstream os;
  table.Print(os);
  EXPECT_EQ(os.str(), "-999.9, -999.9000,   -1000, -999.9\n");
}

TEST(SimpleStats, SelectionChoosesOrdersAndSkipsUnknownNames) {
  SimpleStats table = Tsu();
  EXPECT_EQ(Values(table), "1, 2.5, \"u\"\n");
  EXPECT_EQ(Names(table), "T, S, U\n");
  EXPECT_TRUE(table.header_done);
  EXPECT_EQ(Values(table, "U,T"), "\"u\", 1\n");
  EXPECT_EQ(Names(table, " U , T "), "U, T\n");
  EXPECT_EQ(Values(table, "T,-,S"), "1 | 2.5\n");
  EXPECT_EQ(Names(table, "-,T,-"), " | T | \n");
  EXPECT_EQ(Names(table, "x,T,y,S"), "T, S\n");
  EXPECT_EQ(Values(table, "t"), "\n");
  // Last after a match, an unknown name leaves the separator behind.
  EXPECT_EQ(Values(table, "T,zz"), "1, \n");
}

TEST(SimpleStats, DuplicateNamesSelectTheFirst) {
  SimpleStats table;
  table.Push("d", 1);
  table.Push("d", 2);
  EXPECT_EQ(table.IndexOf("d"), 0);
  EXPECT_EQ(Values(table, "d"), "1\n");
  EXPECT_EQ(Values(table), "1, 2\n");
}

// Refilling after Clear reuses entries whatever their former type and format.
TEST(SimpleStats, HeaderOnceSurvivesClear) {
  SimpleStats table;
  std::ostringstream os;
  table.Push("a", 1.5, "%.3f");
  table.HeaderOnce(os);
  table.Print(os);
  table.Clear();
  table.Push("b", 2);
  table.HeaderOnce(os);
  table.Print(os);
  EXPECT_EQ(os.str(), "a\n1.500\n2\n");
  EXPECT_EQ(table.IndexOf("a"), -1);
}

TEST(SimpleStats, GrowsPastTheReservedCapacity) {
  SimpleStats table;
  for (long i = 0; i < 3 * SimpleStats::kCapacity; ++i)
    EXPECT_EQ(table.Push("e" + std::to_string(i), i), i + 1);
  EXPECT_EQ(table.IndexOf("e299"), 299);
  EXPECT_EQ(Value(table, 299), "299");
}

TEST(SimpleStats, KeyValueLayoutHasNoHeader) {
  SimpleStats table = Tsu();
  table.csv_layout = false;
  std::ostringstream os;
  table.Header(os);
  table.Header(CSVString("T"), os);
  EXPECT_FALSE(table.header_done);
  table.Print(os);
  EXPECT_EQ(os.str(), "T=1, S=2.5, U=\"u\"\n");
}
