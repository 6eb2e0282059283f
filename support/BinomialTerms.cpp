// BinomialTerms: binomial terms from their mode outwards.
#include "support/BinomialTerms.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

BinomialTerms::BinomialTerms(long max_k) : log_factorial(max_k + 1), inverse(max_k + 2) {
  for (long n = 0; n <= max_k; ++n) log_factorial[n] = std::lgamma(n + 1.0);
  for (long n = 1; n <= max_k + 1; ++n) inverse[n] = 1.0 / n;
}

BinomialTerms::Range BinomialTerms::Fill(long k, double a, double b, double* out) const {
  if (!(a > 0)) {
    out[0] = std::pow(b, static_cast<double>(k));
    return {0, 0};
  }
  if (!(b > 0)) {
    out[k] = std::pow(a, static_cast<double>(k));
    return {k, k};
  }
  const long mode = std::min(k, static_cast<long>((k + 1) * (a / (a + b))));
  const double log_mode = log_factorial[k] - log_factorial[mode] - log_factorial[k - mode] +
                          mode * std::log(a) + (k - mode) * std::log(b);
  out[mode] = std::exp(log_mode);
  const double up = a / b, down = b / a;
  long hi = mode, lo = mode;
  for (double t = out[mode]; hi < k; ++hi) {
    t *= (k - hi) * inverse[hi + 1] * up;
    if (t < DBL_MIN) break;
    out[hi + 1] = t;
  }
  for (double t = out[mode]; lo > 0; --lo) {
    t *= lo * inverse[k - lo + 1] * down;
    if (t < DBL_MIN) break;
    out[lo - 1] = t;
  }
  return {lo, hi};
}
