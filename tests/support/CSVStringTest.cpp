// CSVString: the field rule and trimming.
#include "support/CSVString.h"

#include <gtest/gtest.h>

using Fields = std::vector<std::string>;

TEST(CSVStringSplit, BlankAndCommentTextsHaveNoFields) {
  EXPECT_TRUE(CSVString::Split("", ",").empty());
  EXPECT_TRUE(CSVString::Split(" \t\r\n", ",").empty());
  EXPECT_TRUE(CSVString::Split("  # a,b", ",").empty());
}

TEST(CSVStringSplit, SeparatorRunsAndTrimming) {
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
  EXPECT_EQ(CSVString::Trim(" \t a b\t "), "a b");
}
