// VectorLog: the batched logarithm in two vector widths, chosen once by what
// the processor supports.
#include "random/VectorLog.h"

void VectorLog::Apply(const double* x, double* out, long n) {
  static void (*const apply)(const double*, double*, long) = HasAvx2() ? ApplyAvx2 : ApplySse2;
  apply(x, out, n);
}

void VectorLog::ApplySse2(const double* x, double* out, long n) {
#pragma omp simd
  for (long i = 0; i < n; ++i) out[i] = Of(x[i]);
}

// AVX2 without FMA: the same operations, four lanes at a time.
__attribute__((target("avx2"))) void VectorLog::ApplyAvx2(const double* x, double* out, long n) {
#pragma omp simd
  for (long i = 0; i < n; ++i) out[i] = Of(x[i]);
}

bool VectorLog::HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
