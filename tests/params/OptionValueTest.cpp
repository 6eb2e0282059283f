// Reading one option value by its type, at the edges of what each type accepts.
#include "params/OptionValue.h"

#include <gtest/gtest.h>

#include <climits>

TEST(OptionValue, IntegersAreWholeNumbersInAnyNotation) {
  const std::pair<const char*, long> read[] = {{"+4", 4},
                                               {"-3", -3},
                                               {"1e5", 100000},
                                               {"2.0", 2},
                                               {" 5\t", 5},
                                               {"9223372036854775807", LONG_MAX},
                                               {"-9.223372036854775808e18", LONG_MIN}};
  for (const auto& [text, expected] : read) {
    long value = 7;
    EXPECT_TRUE(OptionValue::ToInteger(text, value) && value == expected) << text;
  }
  long value = 7;
  for (const char* text : {"10.7", "", " ", "1e5x", "0x10", "1 2", "9223372036854775808", "9.3e18",
                           "9.223372036854775808e18"})
    EXPECT_FALSE(OptionValue::ToInteger(text, value)) << text;
  EXPECT_EQ(value, 7);  // untouched by a refused text
}

TEST(OptionValue, RealsAreOneFiniteNumberInDecimalNotation) {
  const std::pair<const char*, double> read[] = {
      {".5", 0.5}, {"5.", 5}, {"-1e-3", -1e-3}, {"1E+3", 1000}, {"1e308", 1e308}};
  for (const auto& [text, expected] : read) {
    double value = 7;
    EXPECT_TRUE(OptionValue::ToReal(text, value) && value == expected) << text;
  }
  double value = 7;
  for (const char* text :
       {".", "e5", "1e", "1e+", "-nan", "1e309", "0x1p3", "1.2.3", "0.5 0.5", "1,5"})
    EXPECT_FALSE(OptionValue::ToReal(text, value)) << text;
}

TEST(OptionValue, BooleansAreZeroOrOneAndTableCountsDigitsOnly) {
  bool flag = false;
  EXPECT_TRUE(OptionValue::ToBool("1.0", flag) && flag);
  for (const char* text : {"2", "-1", "true", "0.5"}) EXPECT_FALSE(OptionValue::ToBool(text, flag));
  double count = 0;
  EXPECT_TRUE(OptionValue::ToWhole("99999999999999999999999", count) && count == 1e23);
  for (const char* text : {"-5", "+5", "2.5", "1e3", "", " 5"})
    EXPECT_FALSE(OptionValue::ToWhole(text, count)) << text;
}

TEST(OptionValue, ProblemSaysWhatTheTypeAccepts) {
  EXPECT_EQ(OptionValue::Problem('i', "1e5"), "");
  EXPECT_EQ(OptionValue::Problem('i', "1e19"),
            "is out of range (accepted: integers from -9223372036854775808 to "
            "9223372036854775807)");
  EXPECT_EQ(OptionValue::Problem('f', "7us"),
            "is not a number (accepted: one finite number such as 0.5 or 1e-06)");
  EXPECT_EQ(OptionValue::Problem('F', "INF"), "is out of range (accepted: finite numbers)");
  EXPECT_EQ(OptionValue::Problem('f', "1e999"), "is out of range (accepted: finite numbers)");
  EXPECT_EQ(OptionValue::Problem('b', "yes"), "is not a boolean (accepted: 0 or 1)");
  EXPECT_EQ(OptionValue::Problem('s', " any,text "), "");
}
