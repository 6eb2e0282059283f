// The option table: typed conversions, lookup precedence, the argument check
// and its name guesses, help layout and the table capacity (the options file
// is tested through the binary).
#include "params/AppParams.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/TestSupport.h"

TEST(AppParams, ReadsTheFirstWholeKeyAndLeavesRefusedValues) {
  TestArgs args{"y0=1", "R=1e1", "R=2", "y=3", "F=1.5", "c=1, 2,,3,", "bad=42x", "alias=4"};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  double y = 0, y0 = 0;
  long r = 0, bad = 9, aliased = 0;
  long double wide = 0;
  CSVString c;
  params.Push("y", y, "");
  params.Push("y0", y0, "");
  params.Push("R", r, "");
  params.Push("F", wide, "");
  params.Push("c", c, "");
  params.Push("bad", bad, "");
  params.Push("aliased", aliased, "");
  params.Push("alias", aliased, "--");
  EXPECT_EQ(y, 3);
  EXPECT_EQ(y0, 1);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(wide, 1.5L);
  EXPECT_EQ(c.text, "1, 2,,3,");
  EXPECT_EQ(c.elements, (std::vector<std::string>{"1", "2", "3", ""}));
  EXPECT_EQ(bad, 9);  // left for the argument check to report
  EXPECT_EQ(aliased, 4);
}

TEST(AppParams, ArgumentCheckAndNameGuesses) {
  TestArgs args{"rounds=2", "debug=1", "rounds"};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  long value = 0;
  for (const char* name : {"rounds", "M", "fsf_type"}) params.Push(name, value, "");
  EXPECT_EQ(params.ArgumentProblem(), "rounds has no value (accepted: rounds=VALUE).");
  EXPECT_EQ(params.ClosestName("m"), "M");
  EXPECT_EQ(params.ClosestName("--M"), "M");
  EXPECT_EQ(params.ClosestName("fsftyp"), "fsf_type");
  EXPECT_EQ(params.ClosestName("x"), "");  // a one-letter guess is no help
  EXPECT_EQ(params.ClosestName("abcd"), "");
  TestArgs unknown{"x=1"};
  AppParams other;
  other.GetArguments(unknown.argc(), unknown.argv());
  EXPECT_EQ(other.ArgumentProblem(), "unknown option \"x\".");
}

TEST(AppParams, HelpEntryKeepsParagraphsAndLongWords) {
  TestArgs args{"w=abcdefghijklmnopqrstuvwxyz"};
  AppParams params;
  params.GetArguments(args.argc(), args.argv());
  const char* word = "";
  params.Push("w", word, "one two\n\nthree  four");
  testing::internal::CaptureStdout();
  params.PrintHelp(params.option_count - 1, 3, 20);
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
