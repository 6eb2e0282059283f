// ProbPDF: counting after a resize, values outside the bins, 64-bit counts.
#include "stats/ProbPDF.h"

#include <gtest/gtest.h>

TEST(ProbPDF, ResizeZeroesAndCountsEachValueInsideTheBins) {
  ProbPDF pdf;
  pdf.Resize(4);
  pdf.Count(3);
  pdf.Resize(3);
  for (long k : {0L, 2L, 2L, -1L, 3L, -4000000000L, 4000000000L}) pdf.Count(k);
  EXPECT_EQ(pdf(0), 1);
  EXPECT_EQ(pdf(1), 0);
  EXPECT_EQ(pdf(2), 2);
  pdf(1) = 4294967295L;
  pdf.Count(1);
  EXPECT_EQ(pdf(1), 4294967296L);
}
