// ProbPDF sizing and counting, including values outside the bins.
#include <gtest/gtest.h>

#include "stats/ProbPDF.h"

TEST(ProbPDF, ResizeGivesZeroedBinsAndDropsOldCounts) {
  ProbPDF pdf;
  EXPECT_EQ(pdf.size, 0);
  pdf.Resize(4);
  pdf.Count(2);
  pdf.Resize(3);
  EXPECT_EQ(pdf.d1, 3);
  EXPECT_EQ(pdf.size, 3);
  for (long k = 0; k < 3; ++k) EXPECT_EQ(pdf(k), 0);
}

TEST(ProbPDF, CountsEachValue) {
  ProbPDF pdf;
  pdf.Resize(3);
  for (long k : {0, 2, 2, 1, 2}) pdf.Count(k);
  EXPECT_EQ(pdf(0), 1);
  EXPECT_EQ(pdf(1), 1);
  EXPECT_EQ(pdf(2), 3);
}

TEST(ProbPDF, ValuesOutsideTheBinsAreNotCounted) {
  ProbPDF one;
  one.Resize(1);
  for (long k : {-1L, 1L, 5L, -4000000000L, 4000000000L}) one.Count(k);
  one.Count(0);
  EXPECT_EQ(one(0), 1);

  ProbPDF empty;
  empty.Resize(0);
  empty.Count(0);
  EXPECT_EQ(empty.data, nullptr);
}

TEST(ProbPDF, CountsBeyond32Bits) {
  ProbPDF pdf;
  pdf.Resize(1);
  pdf(0) = 4294967295L;
  pdf.Count(0);
  EXPECT_EQ(pdf(0), 4294967296L);
}
