// BatchMeans: the run's cumulative counters cut into consecutive batches of
// cycles, in constant memory, and the confidence interval of a ratio of them.
#pragma once

#include <array>

// Non-overlapping batch means (Law, Simulation Modeling and Analysis, 9.5.3):
// the run is cut into k batches of m cycles; for m large enough the batch
// totals are nearly independent and normal, so a ratio of sums R = ΣY / ΣX
// has the 95 % half-width t(0.975, k-1) · s_Z / (√k · mean X), with
// Z_j = Y_j - R X_j (the delta method; for a per-cycle mean X_j = m and this
// is the usual t · s / √k). Batches start at one cycle; when kMaxBatches are
// full, neighbours merge pairwise and m doubles, so k stays between
// kMaxBatches / 2 and kMaxBatches. The initial transient is cut by MSER
// (White, 1997) over the batches: the first d batches are dropped, d ≤ k / 2
// minimising ΣZ_j² / (ΣX_j)² over the rest, the squared standard error of R.
// Assumed: a stationary process after the transient whose correlation dies
// out within a batch; too few batches (kMinBatches) give no interval.
class BatchMeans {
 public:
  // The counters a batch holds, as sums over its cycles.
  enum Field {
    kCycles,
    kTime,
    kSuccesses,
    kCollisions,
    kFailures,
    kIdles,
    kAttempts,
    kDelay,   // delays of the packets served, in seconds
    kServed,  // packets served
    kFields
  };
  using Totals = std::array<double, kFields>;

  static constexpr long kMaxBatches = 128;
  static constexpr long kMinBatches = 10;

  // A ratio of sums over the batches after the warm-up, with its interval.
  struct Estimate {
    double ratio = 0;     // ΣY / ΣX over every cycle after the warm-up
    double ci95 = 0;      // half-width, valid when has_ci
    bool has_ci = false;  // at least kMinBatches batches and ΣX > 0
    long batches = 0;     // batches behind the interval
    long warmup_cycles = 0;
  };

  virtual ~BatchMeans() = default;

  void Reset();
  // The cycle count at which the current batch is complete.
  long NextBoundary() const { return static_cast<long>(closed[kCycles]) + batch_cycles; }
  // Ends the current batch at the cumulative totals now.
  void Close(const Totals& now);
  // numerator / denominator after the warm-up (none unless cut_warmup), with
  // the totals now for the cycles of the unfinished batch.
  Estimate Ratio(Field numerator, Field denominator, bool cut_warmup, const Totals& now) const;
  // t(0.975, df), Student's 97.5 % quantile, for df of 1 or more.
  static double StudentT975(long df);

  long batch_cycles = 1;
  long count = 0;

 private:
  long WarmupBatches(Field numerator, Field denominator) const;
  void MergePairs();

  std::array<Totals, kMaxBatches> batch{};
  Totals closed{};  // cumulative totals at the end of the last batch
};
