// ContentionDraw: the coin and the word laws, two words per transmitting draw,
// and the division-free integer mapping at its boundaries.
#include "core/ContentionDraw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// Offsets g = W-1-index: geometric with weight tau^g, uniform for tau 0 or 1.
TEST(ContentionDraw, CoinAndWordLaws) {
  const long words = 8, n = 200000;
  for (double tau : {0.5, 2.0, 0.0, 1.0}) {
    const ContentionDraw draw(0.6, tau, words);
    GenRand rand(5);
    std::vector<double> freq(words, 0.0);
    long heads = 0;
    for (long i = 0; i < n; ++i) {
      const long index = draw.WordIndex(rand);
      if (index < 0) continue;
      ASSERT_LT(index, words);
      ++heads;
      freq[words - 1 - index] += 1.0;
    }
    EXPECT_NEAR(heads, 0.6 * n, 5 * std::sqrt(0.24 * n));
    EXPECT_EQ(rand.WordsDrawn(), n + heads) << tau;  // the word only after heads
    const double base = (tau == 0.0) ? 1.0 : tau;
    double norm = 0;
    for (long g = 0; g < words; ++g) norm += std::pow(base, g);
    for (long g = 0; g < words; ++g) {
      const double prob = std::pow(base, g) / norm;
      EXPECT_NEAR(freq[g] / heads, prob, 5 * std::sqrt(prob * (1 - prob) / heads))
          << "tau " << tau << " g " << g;
    }
  }
}

// r / floor((2^32 - 1) / n), the topmost draws clamped to n - 1.
TEST(ContentionDraw, IndexFromDrawMatchesTheDivisionAtEveryBoundary) {
  for (long n = 1; n <= 31; ++n) {
    const ContentionDraw draw(1.0, 1.0, n);
    const uint32_t d = UINT32_MAX / static_cast<uint32_t>(n);
    const auto divided = [&](uint64_t r) { return std::min<long>(r / d, n - 1); };
    for (uint64_t k = 0; k * d <= UINT32_MAX; ++k)
      for (uint64_t r = k * d > 0 ? k * d - 1 : 0; r <= k * d + 1 && r <= UINT32_MAX; ++r)
        ASSERT_EQ(draw.IndexFromDraw(static_cast<uint32_t>(r)), divided(r))
            << "n " << n << " r " << r;
    GenRand rand(n);
    for (int i = 0; i < 100000; ++i) {
      const uint32_t r = rand.UniformInt32();
      ASSERT_EQ(draw.IndexFromDraw(r), divided(r)) << "n " << n << " r " << r;
    }
  }
}
