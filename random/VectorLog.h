// VectorLog: a natural logarithm written in plain arithmetic so that a loop of
// them vectorises, giving the same bits one at a time or in batches, on every
// x86-64 processor.
#pragma once

#include <cstdint>
#include <cstring>

class VectorLog {
 public:
  virtual ~VectorLog() = default;

  // ln x for a positive normal x, within one ulp: x = 2^k m with m in
  // [sqrt(2)/2, sqrt(2)), ln m = 2 atanh(s) with s = (m-1)/(m+1), whose odd
  // series is replaced by the classic fdlibm minimax polynomial.
  static double Of(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    // Subtracting the bits of sqrt(2)/2 carries into the exponent exactly when
    // the mantissa reaches sqrt(2), so k is the exponent of that quotient.
    const uint64_t shifted = bits - 0x3fe6a09e667f3bcdULL;
    const int64_t k = static_cast<int64_t>(shifted) >> 52;
    const uint64_t m_bits = bits - (shifted & 0xfff0000000000000ULL);
    // k as a double without an integer conversion, which does not vectorise.
    const uint64_t k_bits = 0x4338000000000000ULL + static_cast<uint64_t>(k);
    double m, dk;
    std::memcpy(&m, &m_bits, sizeof m);
    std::memcpy(&dk, &k_bits, sizeof dk);
    dk -= 0x1.8p52;
    const double f = m - 1.0;
    const double hfsq = 0.5 * f * f;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
    const double t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
    const double r = t2 + t1;
    return dk * kLn2Hi - ((hfsq - (s * (hfsq + r) + dk * kLn2Lo)) - f);
  }

  // out[i] = Of(x[i]) for i < n (out may be x), with the widest vectors the
  // processor offers; the bits do not depend on the width.
  static void Apply(const double* x, double* out, long n);
  // The two widths behind Apply, exposed so that tests can compare them.
  static void ApplySse2(const double* x, double* out, long n);
  static void ApplyAvx2(const double* x, double* out, long n);
  static bool HasAvx2();

 private:
  static constexpr double kLn2Hi = 6.93147180369123816490e-01;
  static constexpr double kLn2Lo = 1.90821492927058770002e-10;
  static constexpr double kLg1 = 6.666666666666735130e-01;
  static constexpr double kLg2 = 3.999999999940941908e-01;
  static constexpr double kLg3 = 2.857142874366239149e-01;
  static constexpr double kLg4 = 2.222219843214978396e-01;
  static constexpr double kLg5 = 1.818357216161805012e-01;
  static constexpr double kLg6 = 1.531383769920937332e-01;
  static constexpr double kLg7 = 1.479819860511658591e-01;
};
