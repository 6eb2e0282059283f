// ContentionDraw: the precomputed word laws against GenRand's own draws from
// the same words, and the division-free integer mapping at its boundaries.
#include "core/ContentionDraw.h"

#include <gtest/gtest.h>

TEST(ContentionDraw, SameWordsAsCoinThenGeometricInteger) {
  const double taus[] = {1.0, 0.0, 0.5, 0.9, 0.999, 1.3, 1e-3};
  for (long words : {1L, 2L, 3L, 7L, 8L, 16L, 31L})
    for (double tau : taus) {
      const ContentionDraw draw(0.6, tau, words);
      GenRand rand(5), twin(5);
      for (int i = 0; i < 20000; ++i) {
        const long index = draw.WordIndex(rand);
        const long expected =
            0.6 > twin.Uniform() ? words - 1 - twin.GeometricInteger(tau, 0, words - 1) : -1;
        ASSERT_EQ(index, expected) << "W " << words << " tau " << tau << " draw " << i;
      }
      EXPECT_EQ(rand.WordsDrawn(), twin.WordsDrawn());
    }
}

TEST(ContentionDraw, IndexFromDrawMatchesTheDivisionAtEveryBoundary) {
  for (long n = 1; n <= 31; ++n) {
    const ContentionDraw draw(1.0, 1.0, n);
    const uint32_t d = UINT32_MAX / static_cast<uint32_t>(n);
    for (uint64_t k = 0; k * d <= UINT32_MAX; ++k)
      for (uint64_t r = k * d > 0 ? k * d - 1 : 0; r <= k * d + 1 && r <= UINT32_MAX; ++r)
        ASSERT_EQ(draw.IndexFromDraw(static_cast<uint32_t>(r)),
                  GenRand::IndexFromDraw(static_cast<uint32_t>(r), n))
            << "n " << n << " r " << r;
    GenRand rand(n);
    for (int i = 0; i < 100000; ++i) {
      const uint32_t r = rand.UniformInt32();
      ASSERT_EQ(draw.IndexFromDraw(r), GenRand::IndexFromDraw(r, n)) << "n " << n << " r " << r;
    }
  }
}

TEST(ContentionDraw, StrictDrawSendsItsWordWithoutDrawing) {
  const ContentionDraw draw(5L);
  GenRand rand(3);
  EXPECT_EQ(draw.WordIndex(rand), 5);
  EXPECT_EQ(rand.WordsDrawn(), 0);
}
