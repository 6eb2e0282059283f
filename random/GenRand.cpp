// GenRand: seeding of the dSFMT-19937 stream and the variates drawn from it.
#include "random/GenRand.h"

#include <sys/time.h>

#ifdef __x86_64__
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <vector>

#include "random/VectorLog.h"

GenRand::GenRand() {
  Autoseed();
}

GenRand::GenRand(const unsigned long& seed) {
  Seed(seed);
}

GenRand::~GenRand() = default;

void GenRand::Seed(const unsigned long& seed) {
  dsfmt_chk_init_gen_rand(&uniform, static_cast<uint32_t>(seed), 19937);
  refills = 0;
  normal.Seed(seed);
}

void GenRand::Autoseed() {
  Seed(TimeOfDaySeed());
}

uint32_t GenRand::TimeOfDaySeed() {
  timeval now;
  gettimeofday(&now, nullptr);
  const uint32_t seed = SeedFromTime(now.tv_sec, now.tv_usec);
  // 0 is the option value that asks for a seed, so it is never one itself.
  return seed != 0 ? seed : 1;
}

uint32_t GenRand::SeedFromTime(long seconds, long micros) {
  // 32-bit wrapping arithmetic with a signed remainder, so the seed is the
  // same on every platform whatever the width of time_t.
  const int32_t s = static_cast<int32_t>(seconds);
  const int32_t m = static_cast<int32_t>(micros);
  const int32_t rem = s % (m + 1);
  const uint32_t mix =
      static_cast<uint32_t>(s) ^ (static_cast<uint32_t>(rem) * static_cast<uint32_t>(m));
  return static_cast<uint32_t>(s) + mix;
}

// The second word may come from the regenerated state.
GenRand::CoinAndDraw GenRand::CoinThenInt32AcrossRefill(double p) {
  const bool heads = p > Uniform();
  return {heads, heads ? UniformInt32() : 0};
}

long GenRand::IndexFromDraw(uint32_t r, long n) {
  const uint32_t d = UINT32_MAX / static_cast<uint32_t>(n);
  const long i = r / d;
  return i < n ? i : n - 1;
}

long GenRand::IntegerInterval(const long& a, const long& b) {
  return a + IndexFromDraw(UniformInt32(), b - a + 1);
}

double GenRand::RealInterval(const double& a, const double& b) {
  return a + (b - a) * Uniform();
}

long GenRand::GeometricInteger(const double& p, const long& a, const long& b) {
  // A parameter of 0 is the documented way to ask for the uniform law.
  if (p == 1.0 || p == 0.0) return IntegerInterval(a, b);
  return a + GeometricIndexFrom(p, b - a + 1, Uniform());
}

double GenRand::Rayleigh(const double& sigma) {
  return sigma * std::sqrt(-2.0 * std::log(1.0 - Uniform()));
}

// The vectorisable logarithm, so that a batch of draws gives the same values.
double GenRand::RayleighFading(const double& m, const double& o) {
  return o - m * VectorLog::Of(1.0 - Uniform());
}

double GenRand::Exponential(const double& m) {
  return -m * std::log(1.0 - Uniform());
}

double GenRand::Rice(const double& sigma, const double& nu) {
  return std::sqrt(RicePower(sigma, nu));
}

double GenRand::RicePower(const double& sigma, const double& nu) {
  const double n1 = normal.r4_nor();
  const double n2 = normal.r4_nor();
  const double x = sigma * n1 + nu;
  const double y = sigma * n2;
  return x * x + y * y;
}

long GenRand::NextWords(long n, const double*& words) {
  if (uniform.idx >= DSFMT_N64) Refill();
  words = &uniform.status[0].d[0] + uniform.idx;
  return std::min<long>(n, DSFMT_N64 - uniform.idx);
}

void GenRand::Uniforms(double* out, long n) {
  const double* words;
  for (long k; n > 0; out += k, n -= k) {
    k = NextWords(n, words);
#pragma omp simd
    for (long i = 0; i < k; ++i) out[i] = words[i] - 1.0;
    uniform.idx += static_cast<int>(k);
  }
}

long GenRand::LogComplementsOfNextWords(double* out, long n) {
  const double* words;
  const long k = NextWords(n, words);
#pragma omp simd
  for (long i = 0; i < k; ++i) out[i] = 1.0 - (words[i] - 1.0);
  uniform.idx += static_cast<int>(k);
  VectorLog::Apply(out, out, k);
  return k;
}

void GenRand::LogComplements(double* out, long n) {
  for (long k; n > 0; out += k, n -= k) k = LogComplementsOfNextWords(out, n);
}

// Block by block, so that each pass over the values stays in the first-level cache.
void GenRand::RayleighFadings(double* out, long n, double m, double o) {
  for (long k; n > 0; out += k, n -= k) {
    k = LogComplementsOfNextWords(out, n);
#pragma omp simd
    for (long i = 0; i < k; ++i) out[i] = o - m * out[i];
  }
}

namespace {

// Bit i set when p > words[i] - 1, for k <= 64 words, by vector compares and
// sign masks (compilers do not find this packing on their own); the AVX2
// variant takes four words at a time and gives the same bits.
uint64_t TrialBitsSse2(double p, const double* words, long k) {
  uint64_t bits = 0;
  long i = 0;
#ifdef __SSE2__
  const __m128d threshold = _mm_set1_pd(p), one = _mm_set1_pd(1.0);
  for (; i + 2 <= k; i += 2) {
    const __m128d u = _mm_sub_pd(_mm_loadu_pd(words + i), one);
    bits |= static_cast<uint64_t>(_mm_movemask_pd(_mm_cmpgt_pd(threshold, u))) << i;
  }
#endif
  for (; i < k; ++i) bits |= static_cast<uint64_t>(p > words[i] - 1.0) << i;
  return bits;
}

#ifdef __x86_64__
__attribute__((target("avx2"))) uint64_t TrialBitsAvx2(double p, const double* words, long k) {
  uint64_t bits = 0;
  long i = 0;
  const __m256d threshold = _mm256_set1_pd(p), one = _mm256_set1_pd(1.0);
  for (; i + 4 <= k; i += 4) {
    const __m256d u = _mm256_sub_pd(_mm256_loadu_pd(words + i), one);
    const __m256d hit = _mm256_cmp_pd(threshold, u, _CMP_GT_OQ);
    bits |= static_cast<uint64_t>(_mm256_movemask_pd(hit)) << i;
  }
  for (; i < k; ++i) bits |= static_cast<uint64_t>(p > words[i] - 1.0) << i;
  return bits;
}
#endif

uint64_t TrialBits(double p, const double* words, long k) {
#ifdef __x86_64__
  static uint64_t (*const trial_bits)(double, const double*, long) =
      VectorLog::HasAvx2() ? TrialBitsAvx2 : TrialBitsSse2;
  return trial_bits(p, words, k);
#else
  return TrialBitsSse2(p, words, k);
#endif
}

}  // namespace

uint64_t GenRand::BernoulliBits(double p, long n) {
  const double* words;
  uint64_t bits = 0;
  for (long done = 0, k; done < n; done += k) {
    k = NextWords(n - done, words);
    bits |= TrialBits(p, words, k) << done;
    uniform.idx += static_cast<int>(k);
  }
  return bits;
}

void GenRand::BernoulliMasks(double p, long bits_per_mask, long count, uint64_t* out) {
#ifdef __x86_64__
  static void (GenRand::*const masks)(double, long, long, uint64_t*) =
      VectorLog::HasAvx2() ? &GenRand::BernoulliMasksAvx2
                           : &GenRand::BernoulliMasksWith<TrialBitsSse2>;
  (this->*masks)(p, bits_per_mask, count, out);
#else
  BernoulliMasksWith<TrialBitsSse2>(p, bits_per_mask, count, out);
#endif
}

#ifdef __x86_64__
// Flattened, so that the whole loop runs with AVX2 and no call per batch.
__attribute__((target("avx2"), flatten)) void GenRand::BernoulliMasksAvx2(double p,
                                                                          long bits_per_mask,
                                                                          long count,
                                                                          uint64_t* out) {
  BernoulliMasksWith<TrialBitsAvx2>(p, bits_per_mask, count, out);
}
#endif

// The trials as one stream of bits, 32 words at a time, cut into masks.
template <GenRand::TrialBitsFunction trial_bits>
void GenRand::BernoulliMasksWith(double p, long bits_per_mask, long count, uint64_t* out) {
  const uint64_t low = (uint64_t{1} << bits_per_mask) - 1;
  uint64_t pending = 0;
  long have = 0;  // below bits_per_mask <= 32, so 32 more bits always fit
  const double* words;
  for (long needed = count * bits_per_mask, k; needed > 0; needed -= k) {
    k = NextWords(needed, words);
    uniform.idx += static_cast<int>(k);
    for (long done = 0; done < k; done += 32) {
      const long take = std::min(k - done, 32L);
      pending |= trial_bits(p, words + done, take) << have;
      for (have += take; have >= bits_per_mask; have -= bits_per_mask) {
        *out++ = pending & low;
        pending >>= bits_per_mask;
      }
    }
  }
}

void GenRand::RicePowers(double* out, long n, double sigma, double nu) {
  for (long i = 0; i < n; ++i) out[i] = RicePower(sigma, nu);
}

std::pair<double, double> GenRand::NormalBoxMuller() {
  double x1, x2, s;
  do {
    x1 = 2.0 * Uniform() - 1.0;
    x2 = 2.0 * Uniform() - 1.0;
    s = x1 * x1 + x2 * x2;
  } while (!InPolarDisc(s));
  const double f = std::sqrt(-2.0 * std::log(s) / s);
  return {x1 * f, x2 * f};
}

long* GenRand::DifferentIntegers(long a, long b, long k, const long* excluded, long n) {
  long* result = new long[k];
  std::vector<long> candidates;
  for (long v = a; v <= b; ++v)
    if (!InList(v, excluded, n)) candidates.push_back(v);
  for (long j = 0; j < k; ++j) {
    const long i = IndexFromDraw(UniformInt32(), static_cast<long>(candidates.size()));
    result[j] = candidates[i];
    candidates.erase(candidates.begin() + i);
  }
  return result;
}

bool GenRand::InList(long v, const long* list, long n) {
  for (long i = 0; i < n; ++i)
    if (list[i] == v) return true;
  return false;
}
