// The option table: conversions, lookup precedence, printing, help layout, the
// options file and the table capacity.
#include "params/AppParams.h"

#include <gtest/gtest.h>

#include <cstdio>
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

TEST(AppParams, HelpEntryWrapsBelowTheLineWidth) {
  TestArgs args{};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  testing::internal::CaptureStdout();
  params.PrintHelp(IndexOf(params, "debug"), 11, 80);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "debug       (i) Debug level: 0=results only, 1=add header, 2=add stopwatches,\n"
            "                etc... [2]\n");
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

TEST(AppParams, OptionsFileLinesFollowTheCommandLine) {
  const std::string file =
      WriteTempFile("# remark\r\ndebug=0\r\n\r\nstats=x,y\r\noptfile=/nowhere\r\n");
  TestArgs args{"optfile=" + file, "debug=1"};
  AppParams params;
  testing::internal::CaptureStderr();
  params.GetArguments(args.argc(), args.argv());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# using options file \"" + file + "\" (3 lines)\n");
  EXPECT_EQ(params.arg_count, 6);
  EXPECT_EQ(params.debug, 1);
  EXPECT_EQ(params.stats.text, "x,y");  // no carriage return kept
  EXPECT_STREQ(params.optfile, file.c_str());
  testing::internal::CaptureStdout();
  params.PrintArgv();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "argv: vorn\nargv: optfile=" + file +
                "\nargv: debug=1\nargv: debug=0\nargv: stats=x,y\nargv: optfile=/nowhere\n");
  std::remove(file.c_str());
}

TEST(AppParams, RaggedOrEmptyOptionsFileContributesNothing) {
  const std::string ragged = WriteTempFile("a=1\nb=2\nc=3=4\ndebug=0\n");
  TestArgs args{"optfile=" + ragged};
  AppParams params;
  testing::internal::CaptureStderr();
  params.GetArguments(args.argc(), args.argv());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "CSVStream warning: different number of columns in line \"c=3=4\"\n");
  EXPECT_EQ(params.arg_count, 2);
  EXPECT_EQ(params.debug, 2);

  const std::string comments = WriteTempFile("# only\n\n   \n#debug=0\n");
  TestArgs args2{"optfile=" + comments};
  AppParams quiet;
  testing::internal::CaptureStderr();
  quiet.GetArguments(args2.argc(), args2.argv());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(quiet.arg_count, 2);
  std::remove(ragged.c_str());
  std::remove(comments.c_str());
}

TEST(AppParamsDeathTest, MissingOptionsFileEndsWithStatus1) {
  TestArgs args{"optfile=/nonexistent/opts.txt"};
  AppParams params;
  EXPECT_EXIT(params.GetArguments(args.argc(), args.argv()), testing::ExitedWithCode(1),
              "CSVFile error: Cannot open/read file \"/nonexistent/opts.txt\"");
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
