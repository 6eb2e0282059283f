// BatchMeans: closing and merging batches, MSER warm-up and ratio intervals.
#include "stats/BatchMeans.h"

#include <cmath>

void BatchMeans::Reset() {
  batch_cycles = 1;
  count = 0;
  closed.fill(0.0);
}

void BatchMeans::Close(const Totals& now) {
  Totals& last = batch[count++];
  for (int f = 0; f < kFields; ++f) last[f] = now[f] - closed[f];
  closed = now;
  if (count == kMaxBatches) MergePairs();
}

void BatchMeans::MergePairs() {
  for (long j = 0; j < count / 2; ++j)
    for (int f = 0; f < kFields; ++f) batch[j][f] = batch[2 * j][f] + batch[2 * j + 1][f];
  count /= 2;
  batch_cycles *= 2;
}

// The d ≤ count / 2 with the least ΣZ² / (ΣX)² over batches d onwards; each
// sum is taken anew, count²/4 terms, a few thousand at most.
long BatchMeans::WarmupBatches(Field numerator, Field denominator) const {
  long best = 0;
  double least = INFINITY;
  for (long d = 0; d <= count / 2; ++d) {
    double y = 0, x = 0;
    for (long j = d; j < count; ++j) y += batch[j][numerator], x += batch[j][denominator];
    if (!(x > 0)) continue;
    double squares = 0;
    for (long j = d; j < count; ++j) {
      const double z = batch[j][numerator] - y / x * batch[j][denominator];
      squares += z * z;
    }
    if (squares / (x * x) < least) least = squares / (x * x), best = d;
  }
  return best;
}

BatchMeans::Estimate BatchMeans::Ratio(Field numerator, Field denominator, bool cut_warmup,
                                       const Totals& now) const {
  Estimate e;
  const long d = cut_warmup ? WarmupBatches(numerator, denominator) : 0;
  double y = now[numerator], x = now[denominator];
  for (long j = 0; j < d; ++j) y -= batch[j][numerator], x -= batch[j][denominator];
  e.ratio = y / x;
  e.batches = count - d;
  e.warmup_cycles = d * batch_cycles;
  // The interval from the whole batches alone: the unfinished one is shorter.
  double sy = 0, sx = 0;
  for (long j = d; j < count; ++j) sy += batch[j][numerator], sx += batch[j][denominator];
  e.has_ci = e.batches >= kMinBatches && sx > 0;
  if (!e.has_ci) return e;
  double squares = 0;
  for (long j = d; j < count; ++j) {
    const double z = batch[j][numerator] - sy / sx * batch[j][denominator];
    squares += z * z;
  }
  const double k = static_cast<double>(e.batches);
  e.ci95 = StudentT975(e.batches - 1) * std::sqrt(squares / (k - 1)) * std::sqrt(k) / sx;
  return e;
}

// Cornish-Fisher expansion of the t quantile in the normal one (Abramowitz
// and Stegun 26.7.5), within 1e-4 of the exact value from df = 7 on; below,
// the exact values.
double BatchMeans::StudentT975(long df) {
  static const double kSmall[] = {12.7062047, 4.30265273, 3.18244631,
                                  2.77644511, 2.57058184, 2.44691185};
  if (df <= 6) return kSmall[df < 1 ? 0 : df - 1];
  const double x = 1.959963985, v = static_cast<double>(df);
  const double x2 = x * x, x3 = x2 * x, x5 = x3 * x2, x7 = x5 * x2, x9 = x7 * x2;
  const double g1 = (x3 + x) / 4;
  const double g2 = (5 * x5 + 16 * x3 + 3 * x) / 96;
  const double g3 = (3 * x7 + 19 * x5 + 17 * x3 - 15 * x) / 384;
  const double g4 = (79 * x9 + 776 * x7 + 1482 * x5 - 1920 * x3 - 945 * x) / 92160;
  return x + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}
