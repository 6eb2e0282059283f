// VectorLog: accuracy against the library logarithm over the whole range and
// the uniform complements the fading draws take, and equal bits in batches.
#include "random/VectorLog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "random/GenRand.h"

namespace {

// Distance from the library's value in units of its last place.
double UlpsFromLibrary(double x) {
  const double exact = std::log(x), mine = VectorLog::Of(x);
  if (exact == 0.0) return mine == 0.0 ? 0.0 : INFINITY;
  const double ulp = std::nextafter(std::fabs(exact), INFINITY) - std::fabs(exact);
  return std::fabs(mine - exact) / ulp;
}

std::vector<double> Complements(long n) {
  GenRand rand(42);
  std::vector<double> x(n);
  for (double& v : x) v = 1.0 - rand.Uniform();
  return x;
}

}  // namespace

TEST(VectorLog, WithinOneUlpOfTheLibrary) {
  EXPECT_EQ(VectorLog::Of(1.0), 0.0);
  EXPECT_LE(UlpsFromLibrary(0x1p-52), 1.0);  // the smallest complement 1 - U
  for (double x : Complements(200000)) ASSERT_LE(UlpsFromLibrary(x), 1.0) << x;
  GenRand rand(7);
  for (int i = 0; i < 200000; ++i) {
    const int exponent = static_cast<int>(rand.UniformInt32() % 2045) - 1021;
    const double x = std::ldexp(1.0 + rand.Uniform(), exponent);
    ASSERT_LE(UlpsFromLibrary(x), 1.0) << x;
  }
  // Where the reduction moves a mantissa into the next binade.
  for (double x : {M_SQRT2, std::nextafter(M_SQRT2, 0.0), M_SQRT1_2, 1e-300})
    EXPECT_LE(UlpsFromLibrary(x), 1.0) << x;
}

TEST(VectorLog, BatchesGiveTheSameBitsAtEveryWidth) {
  const std::vector<double> x = Complements(1001);  // not a multiple of any width
  std::vector<double> sse2(x.size()), avx2(x.size()), chosen = x;
  VectorLog::ApplySse2(x.data(), sse2.data(), static_cast<long>(x.size()));
  VectorLog::Apply(chosen.data(), chosen.data(), static_cast<long>(x.size()));  // in place
  if (VectorLog::HasAvx2())
    VectorLog::ApplyAvx2(x.data(), avx2.data(), static_cast<long>(x.size()));
  for (size_t i = 0; i < x.size(); ++i) {
    ASSERT_EQ(sse2[i], VectorLog::Of(x[i])) << i;
    ASSERT_EQ(chosen[i], sse2[i]) << i;
    if (VectorLog::HasAvx2()) {
      ASSERT_EQ(avx2[i], sse2[i]) << i;
    }
  }
}
