// Ziggurat: the strip tables, the SHR3 stream and the normal law of r4_nor.
#include "random/Ziggurat.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Ziggurat, TablesAreBuiltOnceByTheFirstInstance) {
  Ziggurat zig(1);
  EXPECT_TRUE(Ziggurat::init);
  EXPECT_EQ(Ziggurat::kn[0], 1991057938u);
  EXPECT_EQ(Ziggurat::kn[1], 0u);
  EXPECT_FLOAT_EQ(Ziggurat::fn[0], 1.0f);
  EXPECT_FLOAT_EQ(Ziggurat::fn[127], std::exp(-0.5 * 3.442619855899 * 3.442619855899));
  EXPECT_FLOAT_EQ(Ziggurat::wn[127], 3.442619855899 / 2147483648.0);
  // Strip edges move inwards as the index falls: densities grow, widths shrink.
  for (int i = 1; i < 127; ++i) {
    EXPECT_GT(Ziggurat::fn[i], Ziggurat::fn[i + 1]) << i;
    EXPECT_LT(Ziggurat::wn[i], Ziggurat::wn[i + 1]) << i;
  }
}

TEST(Ziggurat, Shr3Step) {
  Ziggurat zig(1);
  // 1 -> 1 ^ (1 << 13) = 8193 -> 8193 ^ 0 -> 8193 ^ (8193 << 5) = 270369
  EXPECT_EQ(zig.shr3(), 1u + 270369u);
  EXPECT_EQ(zig.state, 270369u);
}

// SHR3 never leaves state 0: every normal draw would be the same.
TEST(Ziggurat, SeedZeroGivesAFixedNonZeroState) {
  Ziggurat zig(0), wrapped(1UL << 32), fixed(Ziggurat::kZeroSeedState);
  EXPECT_EQ(zig.state, Ziggurat::kZeroSeedState);
  EXPECT_EQ(wrapped.state, Ziggurat::kZeroSeedState);
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
