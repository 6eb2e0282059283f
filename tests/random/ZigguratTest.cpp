// Ziggurat: the zero-seed rule and the normal law of r4_nor, tail included.
#include "random/Ziggurat.h"

#include <gtest/gtest.h>

#include <cmath>

// SHR3 never leaves state 0: every normal draw would be the same.
TEST(Ziggurat, SeedZeroGivesAFixedNonZeroState) {
  Ziggurat zig(0), wrapped(1UL << 32), fixed(Ziggurat::kZeroSeedState);
  EXPECT_EQ(zig.state, Ziggurat::kZeroSeedState);
  EXPECT_NE(zig.r4_nor(), zig.r4_nor());
  EXPECT_EQ(wrapped.r4_nor(), fixed.r4_nor());
}

TEST(Ziggurat, NormalMomentsAndTail) {
  Ziggurat zig(123456789);
  const long n = 2000000;
  double sum = 0, sum2 = 0, inside = 0, tail = 0;
  for (long i = 0; i < n; ++i) {
    const double x = zig.r4_nor();
    sum += x;
    sum2 += x * x;
    inside += std::fabs(x) < 1.0;
    tail += std::fabs(x) > 3.442620;
  }
  const double root_n = std::sqrt(static_cast<double>(n));
  EXPECT_NEAR(sum / n, 0.0, 5.0 / root_n);
  EXPECT_NEAR(sum2 / n, 1.0, 5.0 * std::sqrt(2.0) / root_n);
  const double p_inside = std::erf(1.0 / std::sqrt(2.0));
  EXPECT_NEAR(inside / n, p_inside, 5.0 * std::sqrt(p_inside * (1 - p_inside) / n));
  // The tail beyond the last strip is drawn by its own rejection loop.
  const double p_tail = std::erfc(3.442620 / std::sqrt(2.0));
  EXPECT_NEAR(tail / n, p_tail, 5.0 * std::sqrt(p_tail * (1 - p_tail) / n));
}
