// ContentionDraw: the per-round constants of the coin flip and word law, and
// the geometric word law.
#include "core/ContentionDraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// The least state word w in [1, 2) for which p > w - 1 fails, as bits; the
// test is monotone in w, and 2 when every word is heads.
uint64_t HeadsThreshold(double p) {
  uint64_t lo = GenRand::BitsOf(1.0), hi = GenRand::BitsOf(2.0);
  while (lo < hi) {
    const uint64_t mid = lo + (hi - lo) / 2;
    double w;
    std::memcpy(&w, &mid, sizeof w);
    if (p > w - 1.0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}
}  // namespace

ContentionDraw::ContentionDraw(double p_, double tau, long n_words)
    : p(p_), heads_below(HeadsThreshold(p_)), n(std::max(n_words, 1L)), last(n - 1) {
  // ceil(2^64 / d) = floor((2^64 - 1) / d) + 1 for d >= 2 (n < 2^31); with 64
  // fraction bits the quotient by it is exact for every 32-bit draw.
  const uint64_t d = UINT32_MAX / static_cast<uint32_t>(n);
  range = d;
  const uint64_t magic = UINT64_MAX / d + 1;
  magic_hi = magic >> 32;
  magic_lo = magic & UINT32_MAX;
  if (tau == 1.0 || tau == 0.0) {
    kind = Kind::kUniform;
  } else {
    log_tau = std::log(tau);
    tail = 1.0 - std::pow(tau, static_cast<double>(n));
    kind = Kind::kGeometric;
  }
}

ContentionDraw::ContentionDraw(long word_index) : last(word_index), kind(Kind::kFixed) {}

long ContentionDraw::ChooseGeometric(GenRand& rand) const {
  if (!(p > rand.Uniform())) return -1;
  return last - GenRand::GeometricIndexScaled(log_tau, tail, n, rand.Uniform());
}
