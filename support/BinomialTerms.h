// BinomialTerms: the terms C(k, j) a^j b^(k-j) of a binomial expansion for
// every j at once, for k up to thousands, without overflow or underflow.
#pragma once

#include <vector>

class BinomialTerms {
 public:
  // Terms for k up to max_k.
  explicit BinomialTerms(long max_k);
  virtual ~BinomialTerms() = default;

  // The nonzero terms of j from lo to hi included; out has k+1 entries, and
  // those outside [lo, hi] are left as they were.
  struct Range {
    long lo;
    long hi;
  };
  // a, b >= 0. The largest term (at the mode of the binomial law with
  // success a/(a+b)) comes from logarithms, the others from it by the ratio
  // of neighbours, so each carries a few roundings only; terms below the
  // smallest normal double end the walk (they are 0 to double precision).
  Range Fill(long k, double a, double b, double* out) const;

 private:
  std::vector<double> log_factorial;
  std::vector<double> inverse;  // 1/n
};
