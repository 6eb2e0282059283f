// GenRand: the dSFMT word stream, the integer mappings at their boundaries,
// the variates against their laws and the number of words each one consumes.
#include "random/GenRand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double kTopU = 1.0 - 0x1p-52;  // the largest U a state word can give

// Mean of n draws and the tolerance of five standard errors for the given
// standard deviation of one draw.
struct Sample {
  double mean;
  double tolerance;
};

Sample MeanOf(const std::function<double()>& draw, long n, double sd) {
  double sum = 0.0;
  for (long i = 0; i < n; ++i) sum += draw();
  return {sum / n, 5.0 * sd / std::sqrt(static_cast<double>(n))};
}

// Frequencies of the values a..b among n draws; fails on any value outside.
std::vector<double> FrequenciesOf(const std::function<long()>& draw, long a, long b, long n) {
  std::vector<double> freq(b - a + 1, 0.0);
  for (long i = 0; i < n; ++i) {
    const long v = draw();
    EXPECT_TRUE(a <= v && v <= b) << v;
    if (a <= v && v <= b) freq[v - a] += 1.0 / n;
  }
  return freq;
}

void ExpectFrequency(double freq, double prob, long n) {
  EXPECT_NEAR(freq, prob, 5.0 * std::sqrt(prob * (1.0 - prob) / n));
}

}  // namespace

TEST(GenRand, KnownAnswerAfterSeeding) {
  GenRand rand(4357);
  EXPECT_DOUBLE_EQ(rand.Uniform(), 0.67765230523962527);
  EXPECT_DOUBLE_EQ(rand.Uniform(), 0.69417705842464339);
  EXPECT_DOUBLE_EQ(rand.Uniform(), 0.4674258031190679);
  EXPECT_DOUBLE_EQ(rand.Uniform(), 0.48923923025681182);
  EXPECT_EQ(rand.UniformInt32(), 2907053881u);
  EXPECT_EQ(rand.UniformInt32(), 249083581u);
  EXPECT_EQ(rand.UniformInt32(), 1537987874u);
  EXPECT_EQ(rand.normal.state, 4357u);

  rand.Seed(4357);  // reseeding restarts the same stream
  EXPECT_DOUBLE_EQ(rand.Uniform(), 0.67765230523962527);
}

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

TEST(GenRand, SeedFromTimeWrapsWithSignedRemainder) {
  EXPECT_EQ(GenRand::SeedFromTime(1000, 7), 2000u);  // 1000 mod 8 = 0
  EXPECT_EQ(GenRand::SeedFromTime(10, 3), 22u);      // 10 ^ (2 * 3) = 12
  EXPECT_EQ(GenRand::SeedFromTime(-7, 2), 0u);       // -7 mod 3 = -1; -7 ^ -2 = 7
  EXPECT_EQ(GenRand::SeedFromTime(0x7fffffffL, 0), 0xfffffffeu);
}

TEST(GenRand, IndexFromDrawStaysInRangeForTopmostDraws) {
  EXPECT_EQ(GenRand::IndexFromDraw(0, 5), 0);
  EXPECT_EQ(GenRand::IndexFromDraw(0xffffffffu, 1), 0);
  EXPECT_EQ(GenRand::IndexFromDraw(0xffffffffu, 3), 2);  // 3 * d == 2^32 - 1
  EXPECT_EQ(GenRand::IndexFromDraw(0xfffffffeu, 3), 2);
  EXPECT_EQ(GenRand::IndexFromDraw(0xffffffffu, 65536), 65535);
  EXPECT_EQ(GenRand::IndexFromDraw(0xffffffffu, 100000), 99999);
  for (long n = 1; n <= 64; ++n)
    for (uint32_t r = 0xffffffffu - 70; r != 0; ++r)
      ASSERT_LT(GenRand::IndexFromDraw(r, n), n) << "n " << n << " r " << r;
}

TEST(GenRand, GeometricIndexStaysInRangeForTopmostUniform) {
  // Each of these rounds the quotient up to n for the largest U.
  EXPECT_EQ(GenRand::GeometricIndexFrom(0.75, 1, kTopU), 0);
  EXPECT_EQ(GenRand::GeometricIndexFrom(0.95, 14, kTopU), 13);
  EXPECT_EQ(GenRand::GeometricIndexFrom(2.0, 8, kTopU), 7);
  const double params[] = {1e-9, 0.1, 0.5, 0.99, 0.999999, 1.000001, 1.5, 10.0, 1e6};
  for (double p : params)
    for (long n = 1; n <= 31; ++n) {
      EXPECT_EQ(GenRand::GeometricIndexFrom(p, n, 0.0), 0) << p << " " << n;
      const long top = GenRand::GeometricIndexFrom(p, n, kTopU);
      EXPECT_TRUE(0 <= top && top < n) << p << " " << n << " -> " << top;
    }
}

TEST(GenRand, GeometricIntegerLaws) {
  const long n = 200000;
  GenRand rand(11);
  const auto half = FrequenciesOf([&] { return rand.GeometricInteger(0.5, 0, 9); }, 0, 9, n);
  const double norm = 1.0 - std::pow(0.5, 10);
  for (long j = 0; j < 10; ++j) ExpectFrequency(half[j], std::pow(0.5, j + 1) / norm, n);

  const auto rising = FrequenciesOf([&] { return rand.GeometricInteger(2.0, 1, 4); }, 1, 4, n);
  for (long j = 0; j < 4; ++j) ExpectFrequency(rising[j], std::pow(2.0, j) / 15.0, n);

  // 1 and 0 both ask for the uniform law.
  for (double p : {1.0, 0.0}) {
    const auto flat = FrequenciesOf([&] { return rand.GeometricInteger(p, -2, 2); }, -2, 2, n);
    for (double f : flat) ExpectFrequency(f, 0.2, n);
  }
  for (double p : {0.0, 0.3, 0.75, 1.0, 1.5, 2.0})
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(rand.GeometricInteger(p, 0, 0), 0) << p;
}

TEST(GenRand, IntegerAndRealIntervals) {
  const long n = 100000;
  GenRand rand(12);
  const auto flat = FrequenciesOf([&] { return rand.IntegerInterval(-3, 3); }, -3, 3, n);
  for (double f : flat) ExpectFrequency(f, 1.0 / 7.0, n);

  GenRand twin(12);
  rand.Seed(12);
  for (int i = 0; i < 1000; ++i) {
    const double u = twin.Uniform();
    EXPECT_EQ(rand.RealInterval(-1.0, 3.0), -1.0 + 4.0 * u);
    EXPECT_EQ(rand.RealInterval(0.0, 1.0), twin.Uniform());
  }
}

TEST(GenRand, ContinuousVariatesMatchTheirMeans) {
  const long n = 400000;
  GenRand rand(13);
  const double pi = std::acos(-1.0);
  Sample s = MeanOf([&] { return rand.Exponential(2.5); }, n, 2.5);
  EXPECT_NEAR(s.mean, 2.5, s.tolerance);
  s = MeanOf([&] { return rand.RayleighFading(4.0, 1.5); }, n, 4.0);
  EXPECT_NEAR(s.mean, 5.5, s.tolerance);
  s = MeanOf([&] { return rand.Rayleigh(2.0); }, n, 2.0 * std::sqrt(2.0 - pi / 2.0));
  EXPECT_NEAR(s.mean, 2.0 * std::sqrt(pi / 2.0), s.tolerance);

  // Noncentral chi-square with two degrees of freedom, scaled by sigma^2.
  const double sigma = 0.7, nu = 1.3;
  const double sd = std::sqrt(4 * sigma * sigma * nu * nu + 4 * std::pow(sigma, 4));
  s = MeanOf([&] { return rand.RicePower(sigma, nu); }, n, sd);
  EXPECT_NEAR(s.mean, nu * nu + 2 * sigma * sigma, s.tolerance);
}

TEST(GenRand, NormalBoxMullerPairs) {
  const long n = 200000;
  GenRand rand(14);
  double sum = 0, sum2 = 0, cross = 0;
  for (long i = 0; i < n; ++i) {
    const auto [x, y] = rand.NormalBoxMuller();
    ASSERT_TRUE(std::isfinite(x) && std::isfinite(y));
    sum += x + y;
    sum2 += x * x + y * y;
    cross += x * y;
  }
  const double tol = 5.0 / std::sqrt(2.0 * n);
  EXPECT_FALSE(GenRand::InPolarDisc(0.0));  // the centre would give infinite values
  EXPECT_FALSE(GenRand::InPolarDisc(1.0));
  EXPECT_TRUE(GenRand::InPolarDisc(0x1p-60));
  EXPECT_NEAR(sum / (2 * n), 0.0, tol);
  EXPECT_NEAR(sum2 / (2 * n), 1.0, tol * std::sqrt(2.0));  // Var(x^2) = 2
  EXPECT_NEAR(cross / n, 0.0, 5.0 / std::sqrt(static_cast<double>(n)));
}

TEST(GenRand, DifferentIntegersDrawsDistinctAllowedValues) {
  GenRand rand(15);
  std::unique_ptr<long[]> all(rand.DifferentIntegers(1, 5, 5, nullptr, 0));
  std::vector<long> got(all.get(), all.get() + 5);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<long>{1, 2, 3, 4, 5}));

  const long three[] = {3};
  std::unique_ptr<long[]> four(rand.DifferentIntegers(1, 5, 4, three, 1));
  got.assign(four.get(), four.get() + 4);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<long>{1, 2, 4, 5}));

  const long excluded[] = {0, 7, 9};
  std::vector<double> first(10, 0.0);
  const long n = 70000;
  for (long i = 0; i < n; ++i) {
    std::unique_ptr<long[]> draw(rand.DifferentIntegers(0, 9, 3, excluded, 3));
    EXPECT_FALSE(GenRand::InList(draw[0], excluded, 3) || GenRand::InList(draw[1], excluded, 3) ||
                 GenRand::InList(draw[2], excluded, 3));
    EXPECT_TRUE(draw[0] != draw[1] && draw[0] != draw[2] && draw[1] != draw[2]);
    first[draw[0]] += 1.0 / n;
  }
  for (long v : {1, 2, 3, 4, 5, 6, 8}) ExpectFrequency(first[v], 1.0 / 7.0, n);
}

TEST(GenRand, EachVariateConsumesAFixedNumberOfWords) {
  const std::vector<std::pair<std::function<void(GenRand&)>, int>> cases = {
      {[](GenRand& g) { g.IntegerInterval(0, 9); }, 1},
      {[](GenRand& g) { g.RealInterval(0, 9); }, 1},
      {[](GenRand& g) { g.GeometricInteger(0.5, 0, 9); }, 1},
      {[](GenRand& g) { g.GeometricInteger(1.0, 0, 9); }, 1},
      {[](GenRand& g) { g.GeometricInteger(0.0, 0, 9); }, 1},
      {[](GenRand& g) { g.Rayleigh(1); }, 1},
      {[](GenRand& g) { g.RayleighFading(1, 0); }, 1},
      {[](GenRand& g) { g.Exponential(1); }, 1},
      {[](GenRand& g) { g.Rice(1, 1); }, 0},
      {[](GenRand& g) { g.RicePower(1, 1); }, 0},
      {[](GenRand& g) { delete[] g.DifferentIntegers(0, 9, 4, nullptr, 0); }, 4},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    GenRand rand(16), twin(16);
    for (int i = 0; i < 500; ++i) cases[c].first(rand);
    EXPECT_EQ(rand.WordsDrawn(), 500 * cases[c].second) << "case " << c;
    for (int i = 0; i < 500 * cases[c].second; ++i) twin.Uniform();
    EXPECT_EQ(rand.Uniform(), twin.Uniform()) << "case " << c;
  }
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

TEST(GenRand, BernoulliBitsAreTheTrialsInDrawOrder) {
  GenRand batched(8), single(8);
  for (int i = 0; i < 1000; ++i) {
    const long n = 1 + i % 52;
    const double p = (i % 7) / 6.0;
    uint64_t expected = 0;
    for (long j = 0; j < n; ++j)
      if (p > single.Uniform()) expected |= uint64_t{1} << j;
    ASSERT_EQ(batched.BernoulliBits(p, n), expected) << "trial set " << i;
  }
  EXPECT_EQ(batched.WordsDrawn(), single.WordsDrawn());
}

TEST(GenRand, BernoulliMasksCutTheTrialStreamIntoMasks) {
  for (long bits : {1L, 5L, 16L, 31L, 32L}) {
    GenRand batched(9), single(9);
    std::vector<uint64_t> masks(997);
    batched.BernoulliMasks(0.3, bits, static_cast<long>(masks.size()), masks.data());
    for (size_t m = 0; m < masks.size(); ++m)
      ASSERT_EQ(masks[m], single.BernoulliBits(0.3, bits)) << bits << " " << m;
    EXPECT_EQ(batched.WordsDrawn(), single.WordsDrawn());
  }
}
