// GenRand: the simulator's single random stream, dSFMT-19937 words read one
// by one, and the variates drawn from it; normal draws come from a Ziggurat.
#pragma once

#include <dSFMT.h>

#include <cmath>
#include <cstdint>
#include <utility>

#include "random/Ziggurat.h"

class GenRand {
 public:
  GenRand();  // autoseeded from the time of day
  explicit GenRand(const unsigned long& seed);
  virtual ~GenRand();

  // Uniform state from the low 32 bits of seed; the ziggurat gets the same seed.
  void Seed(const unsigned long& seed);
  void Autoseed();
  // The seed Autoseed derives from the time of day (seconds, microseconds).
  static uint32_t SeedFromTime(long seconds, long micros);
  // SeedFromTime of the present moment, never 0.
  static uint32_t TimeOfDaySeed();

  // U in [0, 1): the next state word (a double in [1, 2)) minus 1.
  double Uniform() {
    const int i = NextIndex();
    return (&uniform.status[0].d[0])[i] - 1.0;
  }
  // r: the low 32 bits of the next state word.
  uint32_t UniformInt32() {
    const int i = NextIndex();
    return static_cast<uint32_t>((&uniform.status[0].u[0])[i]);
  }

  // The coin flip that decides whether a word draw follows: U, and when
  // p > U also r, the same words Uniform() then UniformInt32() would take,
  // read without a branch on the coin (a fair coin defeats prediction).
  // Without heads, r is meaningless and not consumed.
  struct CoinAndDraw {
    bool heads;
    uint32_t r;
  };
  CoinAndDraw CoinThenInt32(double p) {
    const int i = uniform.idx;
    if (i >= DSFMT_N64 - 1) return CoinThenInt32AcrossRefill(p);
    const bool heads = p > (&uniform.status[0].d[0])[i] - 1.0;
    uniform.idx = i + 1 + heads;
    return {heads, static_cast<uint32_t>((&uniform.status[0].u[0])[i + 1])};
  }

  // Uniform on [a, b], one word; needs 1 <= b - a + 1 <= 2^32 - 1.
  long IntegerInterval(const long& a, const long& b);
  double RealInterval(const double& a, const double& b);
  // Truncated geometric on [a, b], weight p^(k - a), one word; p must be
  // positive, or exactly 0, which like 1 gives the uniform law.
  long GeometricInteger(const double& p, const long& a, const long& b);
  double Rayleigh(const double& sigma);
  // Exponential power of mean m above the floor o.
  double RayleighFading(const double& m, const double& o);
  double Exponential(const double& m);
  // Rice envelope and power; they use the ziggurat only, no state words.
  double Rice(const double& sigma, const double& nu);
  double RicePower(const double& sigma, const double& nu);
  // Batches of n draws into out, in stream order: the same values as n calls
  // of Uniform, of ln(1 - U), of RayleighFading and of RicePower, with the
  // logarithms of each block of state words computed as one vector loop.
  void Uniforms(double* out, long n);
  void LogComplements(double* out, long n);
  void RayleighFadings(double* out, long n, double m, double o);
  void RicePowers(double* out, long n, double sigma, double nu);
  // n <= 64 Bernoulli trials p > U as one mask, bit j set by the j-th draw.
  uint64_t BernoulliBits(double p, long n);
  // count masks of bits_per_mask <= 32 trials each, as count calls of
  // BernoulliBits(p, bits_per_mask) would give them.
  void BernoulliMasks(double p, long bits_per_mask, long count, uint64_t* out);
  // Two independent standard normals by the polar method.
  std::pair<double, double> NormalBoxMuller();
  // k distinct integers of [a, b] not in excluded[0..n-1], one word each;
  // k must not exceed the number of candidates. The caller delete[]s the result.
  long* DifferentIntegers(long a, long b, long k, const long* excluded, long n);
  static bool InList(long v, const long* list, long n);

  // Index in [0, n-1] for the draw r: r / floor((2^32 - 1) / n), where the
  // topmost draws that would land on n or beyond are mapped to n - 1.
  static long IndexFromDraw(uint32_t r, long n);
  // Offset in [0, n-1] of the truncated geometric law for the uniform U, for
  // p neither 0 nor 1; quotients rounded up to n (or beyond) give n - 1.
  static long GeometricIndexFrom(double p, long n, double u) {
    return GeometricIndexScaled(std::log(p), 1.0 - std::pow(p, static_cast<double>(n)), n, u);
  }
  // The same from ln p and 1 - p^n, so that callers drawing many offsets of
  // one law work the constants out once and get the very same results.
  static long GeometricIndexScaled(double log_p, double tail, long n, double u) {
    const double q = std::log(1.0 - tail * u) / log_p;
    // Written so that a NaN or infinite quotient also lands inside the range.
    return q < static_cast<double>(n) ? static_cast<long>(q) : n - 1;
  }
  // Whether the polar method keeps a point with squared radius s: 0 < s < 1,
  // since s = 0 would make the scale factor infinite.
  static bool InPolarDisc(double s) { return 0.0 < s && s < 1.0; }

  // Words taken from the stream since seeding, so that benchmarks can count
  // the random work of a run.
  long WordsDrawn() const { return refills * DSFMT_N64 + uniform.idx - DSFMT_N64; }

 private:
  CoinAndDraw CoinThenInt32AcrossRefill(double p);

  // Index of the next state word; the whole state is regenerated after 382
  // draws. The words are read as one flat array, as the library itself does.
  int NextIndex() {
    if (uniform.idx >= DSFMT_N64) Refill();
    return uniform.idx++;
  }
  void Refill() {
    dsfmt_gen_rand_all(&uniform);
    uniform.idx = 0;
    ++refills;
  }
  // Up to n of the next state words, at least one, as a pointer to the first
  // and their count; the caller consumes them by adding the count to idx.
  long NextWords(long n, const double*& words);
  // ln(1 - U) of up to n of the next words into out; returns how many.
  long LogComplementsOfNextWords(double* out, long n);
  // BernoulliMasks with the trial-bit kernel of one vector width.
  using TrialBitsFunction = uint64_t (*)(double p, const double* words, long k);
  template <TrialBitsFunction trial_bits>
  void BernoulliMasksWith(double p, long bits_per_mask, long count, uint64_t* out);
  void BernoulliMasksAvx2(double p, long bits_per_mask, long count, uint64_t* out);

  // The library regenerates the state with aligned SSE2 loads and stores.
  alignas(16) dsfmt_t uniform;
  long refills = 0;

 public:
  Ziggurat normal;
};
