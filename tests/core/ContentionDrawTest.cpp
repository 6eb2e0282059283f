// ContentionDraw: the division-free integer mapping at its boundaries (the
// coin and word laws are checked by the exact model's agreement test).
#include "core/ContentionDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// r / floor((2^32 - 1) / n), the topmost draws clamped to n - 1; the key r + 1
// lies in its word's key range, [FirstKeyOf(index), FirstKeyOf(index - 1)).
TEST(ContentionDraw, IndexFromDrawAndKeysMatchTheDivisionAtEveryBoundary) {
  for (long n = 1; n <= 31; ++n) {
    const ContentionDraw draw(1.0, 1.0, n);
    const uint32_t d = UINT32_MAX / static_cast<uint32_t>(n);
    const auto divided = [&](uint64_t r) { return std::min<long>(r / d, n - 1); };
    for (uint64_t k = 0; k * d <= UINT32_MAX; ++k)
      for (uint64_t r = k * d > 0 ? k * d - 1 : 0; r <= k * d + 1 && r <= UINT32_MAX; ++r) {
        ASSERT_EQ(draw.IndexFromDraw(static_cast<uint32_t>(r)), divided(r))
            << "n " << n << " r " << r;
        const long index = draw.IndexOfKey(r + 1);
        ASSERT_EQ(index, n - 1 - divided(r)) << "n " << n << " r " << r;
        ASSERT_LE(draw.FirstKeyOf(index), r + 1) << "n " << n << " r " << r;
        ASSERT_GT(draw.FirstKeyOf(index - 1), r + 1) << "n " << n << " r " << r;
      }
    EXPECT_EQ(draw.IndexOfKey(0), -1);
    GenRand rand(n);
    for (int i = 0; i < 100000; ++i) {
      const uint32_t r = rand.UniformInt32();
      ASSERT_EQ(draw.IndexFromDraw(r), divided(r)) << "n " << n << " r " << r;
    }
  }
}

// The coin on the word's bits against p > w - 1, at the threshold and beside it.
TEST(ContentionDraw, HeadsOfMatchesTheFloatCoinAtItsThreshold) {
  for (const double p :
       {-0.5, 0.0, 1e-300, 0.1, 0.25, 1.0 / 3.0, 0.5, 0.9, 1.0 - 1e-16, 1.0, 2.0}) {
    const ContentionDraw draw(p, 1.0, 8);
    double near = std::min(std::max(p, 0.0), 1.0) + 1.0;
    for (int step = 0; step < 3; ++step) near = std::nextafter(near, 0.0);
    for (int i = 0; i < 7; ++i, near = std::nextafter(near, 3.0)) {
      if (near < 1.0 || near >= 2.0) continue;
      ASSERT_EQ(draw.HeadsOf(near), p > near - 1.0) << "p " << p;
    }
  }
}
