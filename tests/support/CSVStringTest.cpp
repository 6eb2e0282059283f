// The field rule and the numeric conversion of fields.
#include "support/CSVString.h"

#include <gtest/gtest.h>

using Fields = std::vector<std::string>;

TEST(CSVStringSplit, BlankAndCommentTextsHaveNoFields) {
  EXPECT_TRUE(CSVString::Split("", ",").empty());
  EXPECT_TRUE(CSVString::Split(" \t\r\n", ",").empty());
  EXPECT_TRUE(CSVString::Split("  # a,b", ",").empty());
}

TEST(CSVStringSplit, SeparatorRunsAndTrimming) {
  EXPECT_EQ(CSVString::Split("a , b", ","), (Fields{"a", "b"}));
  EXPECT_EQ(CSVString::Split("a, ,b", ","), (Fields{"a", "", "b"}));
  EXPECT_EQ(CSVString::Split("a,,b", ","), (Fields{"a", "b"}));
  EXPECT_EQ(CSVString::Split(",a,b", ","), (Fields{"a", "b"}));
  EXPECT_EQ(CSVString::Split("a,b,", ","), (Fields{"a", "b", ""}));
  EXPECT_EQ(CSVString::Split(",,", ","), (Fields{""}));
  EXPECT_EQ(CSVString::Split("a#b", ","), (Fields{"a#b"}));
  EXPECT_EQ(CSVString::Split("a\r", ","), (Fields{"a\r"}));
}

TEST(CSVStringParse, KeepsTextAndRebuildsElements) {
  CSVString s("x,y");
  s.parse("1, 2,,3,");
  EXPECT_EQ(s.text, "1, 2,,3,");
  EXPECT_EQ(s.elements, (Fields{"1", "2", "3", ""}));
}

TEST(CSVStringCast, CheckRejectsSignsExponentsAndLetters) {
  EXPECT_EQ(CSVString::cast<double>({"1.5", "", "1.2.3"}, true), (std::vector<double>{1.5, 0, 1.2}));
  EXPECT_TRUE(CSVString::cast<double>({"1", "-1"}, true).empty());
  EXPECT_TRUE(CSVString::cast<double>({"1e-3"}, true).empty());
  EXPECT_TRUE(CSVString::cast<double>({"+1"}, true).empty());
  EXPECT_EQ(CSVString::cast<double>({"-1", "x"}, false), (std::vector<double>{-1, 0}));
}
