// GenRand: the dSFMT word stream, the geometric mapping at its boundary, the
// variates against their laws, and batches against single draws.
#include "random/GenRand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr double kTopU = 1.0 - 0x1p-52;  // the largest U a state word can give

// How far the mean of many draws lies from mean, in standard errors of a
// draw with standard deviation sd.
double StandardErrorsOff(const std::function<double()>& draw, double mean, double sd) {
  const long n = 400000;
  double sum = 0.0;
  for (long i = 0; i < n; ++i) sum += draw();
  return std::fabs(sum / n - mean) / (sd / std::sqrt(static_cast<double>(n)));
}

}  // namespace

TEST(GenRand, ReadsTheLibraryStreamRegeneratingEvery382Words) {
  const unsigned long seed = 20240917;
  GenRand rand(seed);
  alignas(16) static dsfmt_t reference;
  dsfmt_chk_init_gen_rand(&reference, seed, 19937);
  std::vector<double> words;
  for (int block = 0; block < 3; ++block) {
    dsfmt_gen_rand_all(&reference);
    for (int i = 0; i < DSFMT_N64; ++i) words.push_back(reference.status[i / 2].d[i % 2]);
  }
  // Alternate the two kinds of draw: both take the next word.
  for (size_t i = 0; i < words.size(); ++i) {
    if (i % 3 == 2) {
      uint64_t bits;
      std::memcpy(&bits, &words[i], sizeof bits);
      ASSERT_EQ(rand.UniformInt32(), static_cast<uint32_t>(bits)) << "draw " << i;
    } else {
      ASSERT_EQ(rand.Uniform(), words[i] - 1.0) << "draw " << i;
    }
  }
}

TEST(GenRand, GeometricIndexStaysInRangeForTopmostUniform) {
  const auto index = [](double p, long n, double u) {
    return GenRand::GeometricIndexScaled(std::log(p), 1.0 - std::pow(p, double(n)), n, u);
  };
  // Each of these rounds the quotient up to n for the largest U.
  EXPECT_EQ(index(0.75, 1, kTopU), 0);
  EXPECT_EQ(index(0.95, 14, kTopU), 13);
  EXPECT_EQ(index(2.0, 8, kTopU), 7);
  for (double p : {1e-9, 0.5, 0.999999, 1.000001, 10.0, 1e6})
    for (long n = 1; n <= 31; ++n) {
      EXPECT_EQ(index(p, n, 0.0), 0) << p << " " << n;
      const long top = index(p, n, kTopU);
      EXPECT_TRUE(0 <= top && top < n) << p << " " << n << " -> " << top;
    }
}

TEST(GenRand, ContinuousVariatesMatchTheirMeans) {
  GenRand rand(13);
  EXPECT_LT(StandardErrorsOff([&] { return rand.Exponential(2.5); }, 2.5, 2.5), 5);
}

// Each batch takes the same words as the single draws, across regenerations
// of the state, and gives the very same values.
TEST(GenRand, BatchesEqualTheSingleDraws) {
  using Batch = std::function<void(GenRand&, double*, long)>;
  using Single = std::function<double(GenRand&)>;
  const std::vector<std::pair<Batch, Single>> cases = {
      {[](GenRand& g, double* out, long n) { g.Uniforms(out, n); },
       [](GenRand& g) { return g.Uniform(); }},
      {[](GenRand& g, double* out, long n) { g.LogComplements(out, n); },
       [](GenRand& g) { return g.RayleighFading(-1.0, 0.0); }},
      {[](GenRand& g, double* out, long n) { g.RayleighFadings(out, n, 2.5, 0.125); },
       [](GenRand& g) { return g.RayleighFading(2.5, 0.125); }},
      {[](GenRand& g, double* out, long n) { g.RicePowers(out, n, 0.7, 1.1); },
       [](GenRand& g) { return g.RicePower(0.7, 1.1); }},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    GenRand batched(31), single(31);
    for (int i = 0; i < 100; ++i) batched.Uniform(), single.Uniform();
    std::vector<double> out(1000);
    for (long n : {1L, 17L, 382L, 1000L}) {
      cases[c].first(batched, out.data(), n);
      for (long i = 0; i < n; ++i) ASSERT_EQ(out[i], cases[c].second(single)) << c << " " << i;
    }
    EXPECT_EQ(batched.WordsDrawn(), single.WordsDrawn()) << "case " << c;
    EXPECT_EQ(batched.normal.state, single.normal.state) << "case " << c;
    EXPECT_EQ(batched.Uniform(), single.Uniform()) << "case " << c;
  }
}

// Bits are the trials p > U in draw order; masks cut that stream into masks.
TEST(GenRand, BernoulliBitsAndMasksAreTheTrialsInDrawOrder) {
  GenRand batched(8), single(8);
  for (int i = 0; i < 1000; ++i) {
    const long n = 1 + i % 52;
    const double p = (i % 7) / 6.0;
    uint64_t expected = 0;
    for (long j = 0; j < n; ++j)
      if (p > single.Uniform()) expected |= uint64_t{1} << j;
    ASSERT_EQ(batched.BernoulliBits(p, n), expected) << "trial set " << i;
  }
  for (long bits : {1L, 5L, 31L, 32L}) {
    std::vector<uint64_t> masks(997);
    batched.BernoulliMasks(0.3, bits, static_cast<long>(masks.size()), masks.data());
    for (size_t m = 0; m < masks.size(); ++m)
      ASSERT_EQ(masks[m], single.BernoulliBits(0.3, bits)) << bits << " " << m;
  }
  EXPECT_EQ(batched.WordsDrawn(), single.WordsDrawn());
}
