// Binary strings, finiteness, trimming and decibel conversions.
#include "support/Functions.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

TEST(Functions, BinaryStrings) {
  EXPECT_EQ(Binary2Int("1011"), 11);
  EXPECT_EQ(Binary2Int("0"), 0);
  std::unique_ptr<char[]> five(Int2Binary(5, 4)), empty(Int2Binary(5, 0));
  EXPECT_STREQ(five.get(), "0101");
  EXPECT_STREQ(empty.get(), "");
}

TEST(Functions, Finiteness) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::nan("");
  EXPECT_FALSE(IsNumber(nan));
  EXPECT_FALSE(IsFinite(inf));
  EXPECT_FALSE(IsFiniteNumber(nan));
  EXPECT_FALSE(IsFiniteNumber(-inf));
  EXPECT_TRUE(IsFiniteNumber(DBL_MAX));
  EXPECT_FALSE(IsFiniteNumber(static_cast<long double>(DBL_MAX) * 2));
}

TEST(Functions, DigitsAndTrim) {
  EXPECT_TRUE(IsDigits("123"));
  EXPECT_TRUE(IsDigits(""));
  EXPECT_FALSE(IsDigits("12a"));
  EXPECT_FALSE(IsDigits("-1"));
  char text[] = "  ab  ";
  EXPECT_STREQ(Trim(text, " "), "ab");
  char blanks[] = "   ";
  EXPECT_STREQ(TrimRight(blanks, " "), "");
}

TEST(Functions, Decibels) {
  EXPECT_DOUBLE_EQ(dbm2pw(0), 1000);
  EXPECT_DOUBLE_EQ(dbm2pw(-30), 1);
  EXPECT_DOUBLE_EQ(pw2dbm(1000), 0);
  EXPECT_DOUBLE_EQ(db2factor(10), 10);
  EXPECT_DOUBLE_EQ(factor2db(100), 20);
  EXPECT_EQ(pw2dbm(0), -std::numeric_limits<double>::infinity());
}
