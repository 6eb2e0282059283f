// ProbPDF sizing and counting, including values outside the bins.
#include "stats/ProbPDF.h"

#include <gtest/gtest.h>

TEST(ProbPDF, ResizeZeroesAndCountsEachValue) {
  ProbPDF pdf;
  pdf.Resize(4);
  pdf.Count(3);
  pdf.Resize(3);
  for (long k : {0, 2, 2}) pdf.Count(k);
  EXPECT_EQ(pdf.size, 3);
  EXPECT_EQ(pdf(0), 1);
  EXPECT_EQ(pdf(1), 0);
  EXPECT_EQ(pdf(2), 2);
  pdf(1) = 4294967295L;  // counts are 64-bit
  pdf.Count(1);
  EXPECT_EQ(pdf(1), 4294967296L);
}

TEST(ProbPDF, ValuesOutsideTheBinsAreNotCounted) {
  ProbPDF one, empty;
  one.Resize(1);
  for (long k : {-1L, 1L, -4000000000L, 4000000000L, 0L}) one.Count(k);
  EXPECT_EQ(one(0), 1);
  empty.Resize(0);
  empty.Count(0);
  EXPECT_EQ(empty.data, nullptr);
}
