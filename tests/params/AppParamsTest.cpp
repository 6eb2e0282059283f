// The option table: conversions, lookup precedence, printing, help layout and
// the table capacity (the options file is tested through the binary).
#include "params/AppParams.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/params/TestSupport.h"

namespace {

long IndexOf(const AppParams& params, const std::string& name) {
  for (long i = 0; i < params.option_count; ++i)
    if (params.options[i].name == name) return i;
  return -1;
}

}  // namespace

TEST(AppParams, ConvertsValuesWithTheStandardNumericRules) {
  TestArgs args{"i=42x",  "f=2.5e3", "F=1.5",      "yes=true", "half=0.5",
                "neg=-1", "s=a b",   "c=1, 2,,3,", "empty="};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  long i = 0, empty = 9, absent = 7;
  double f = 0;
  long double big = 0;
  bool yes = true, half = true, neg = false;
  const char* s = "default";
  CSVString c;
  params.Push("i", i, "");
  params.Push("f", f, "");
  params.Push("F", big, "");
  params.Push("yes", yes, "");
  params.Push("half", half, "");
  params.Push("neg", neg, "");
  params.Push("s", s, "");
  params.Push("c", c, "");
  params.Push("empty", empty, "");
  params.Push("absent", absent, "");
  EXPECT_EQ(i, 42);
  EXPECT_DOUBLE_EQ(f, 2500.0);
  EXPECT_EQ(big, 1.5L);
  EXPECT_FALSE(yes);
  EXPECT_FALSE(half);
  EXPECT_TRUE(neg);
  EXPECT_STREQ(s, "a b");
  EXPECT_EQ(c.text, "1, 2,,3,");
  EXPECT_EQ(c.elements, (std::vector<std::string>{"1", "2", "3", ""}));
  EXPECT_EQ(empty, 0);
  EXPECT_EQ(absent, 7);
  EXPECT_EQ(params.option_count, 16);
}

TEST(AppParams, LookupMatchesTheWholeKeyAndTheFirstOccurrence) {
  TestArgs args{"y0=1", "R=1", "R=2", "yy=5", "y=3"};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  double y = 0, y0 = 0;
  long r = 0;
  params.Push("y", y, "");
  params.Push("y0", y0, "");
  params.Push("R", r, "");
  EXPECT_EQ(y, 3);
  EXPECT_EQ(y0, 1);
  EXPECT_EQ(r, 1);
  EXPECT_STREQ(params.ParseOption("yy", "unused"), "5");
  EXPECT_EQ(params.ParseOption("zz", "unused"), nullptr);
  EXPECT_EQ(params.option_count, 9);  // ParseOption registers nothing
}

TEST(AppParams, PrintFormatsEveryType) {
  TestArgs args{};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  double rate = 6000000, half = 0.5;
  long double wide = 0.25L;
  bool flag = true;
  const char* none = nullptr;
  long count = -3;
  CSVString list("a, b");
  params.Push("rate", rate, "");
  params.Push("half", half, "");
  params.Push("wide", wide, "");
  params.Push("flag", flag, "");
  params.Push("none", none, "");
  params.Push("count", count, "");
  params.Push("list", list, "");
  EXPECT_EQ(params.Print(6), "6e+06");
  EXPECT_EQ(params.Print(7), "0.5");
  EXPECT_EQ(params.Print(8), "0.25");
  EXPECT_EQ(params.Print(9), "1");
  EXPECT_EQ(params.Print(10), "");
  EXPECT_EQ(params.Print(11), "-3");
  EXPECT_EQ(params.Print(12), "a, b");
  flag = false;
  EXPECT_EQ(params.Print(9), "0");
}

TEST(AppParams, HelpEntryKeepsParagraphsAndLongWords) {
  TestArgs args{"w=abcdefghijklmnopqrstuvwxyz"};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  const char* word = "";
  params.Push("w", word, "one two\n\nthree  four");
  testing::internal::CaptureStdout();
  params.PrintHelp(IndexOf(params, "w"), 3, 20);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "w   (s) one two\n"
            "        three four\n"
            "        [abcdefghijklmnopqrstuvwxyz]\n");
}

TEST(AppParamsDeathTest, TableHolds256OptionsAndRefusesMore) {
  TestArgs args{};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  long value = 0;
  while (params.option_count < AppParams::kMaxOptions) params.Push("n", value, "");
  EXPECT_EQ(params.option_count, 256);
  EXPECT_EXIT(params.Push("extra", value, ""), testing::ExitedWithCode(1),
              "cannot register option \"extra\": the option table holds at most 256");
}
