// GenRand: the simulator's single random stream, dSFMT-19937 words read one
// by one, and the variates drawn from it; normal draws come from a Ziggurat.
#pragma once

#include <dSFMT.h>

#include <cmath>
#include <cstdint>
#include <cstring>

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

  // The state words left before the next regeneration (at least one), for a
  // loop that reads many in stream order and then consumes them with Skip:
  // a word is U + 1 as a double, and its low 32 bits are r.
  const double* WordsAhead(long& left) {
    if (uniform.idx >= DSFMT_N64) Refill();
    left = DSFMT_N64 - uniform.idx;
    return &uniform.status[0].d[0] + uniform.idx;
  }
  void Skip(long taken) { uniform.idx += static_cast<int>(taken); }
  static uint64_t BitsOf(const double& word) {
    uint64_t bits;
    std::memcpy(&bits, &word, sizeof bits);
    return bits;
  }
  static uint32_t Int32Of(const double& word) { return static_cast<uint32_t>(BitsOf(word)); }

  // Exponential power of mean m above the floor o.
  double RayleighFading(const double& m, const double& o);
  double Exponential(const double& m);
  // Rice power: the ziggurat only, no state words.
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

  // Offset k in [0, n-1] of the truncated geometric law P(k) = p^k (1 - p) /
  // (1 - p^n) for the uniform u, from ln p and tail = 1 - p^n worked out once
  // per law. Inverting the distribution function 1 - p^(k+1) scaled by the
  // tail gives k = floor(ln(1 - tail u) / ln p); u < 1 keeps the quotient
  // below n in exact arithmetic, but it can round up to n (or be NaN for an
  // extreme p), so anything not below n is clamped to n - 1. p above 1 is
  // the same law mirrored: large offsets likelier.
  static long GeometricIndexScaled(double log_p, double tail, long n, double u) {
    const double q = std::log(1.0 - tail * u) / log_p;
    return q < static_cast<double>(n) ? static_cast<long>(q) : n - 1;
  }

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
