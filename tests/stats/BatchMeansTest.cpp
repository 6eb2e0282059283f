// BatchMeans: intervals worked by hand (k-1 variance, the 10-batch gate, the
// delta method), the pairwise merge at kMaxBatches, MSER and t quantiles.
#include "stats/BatchMeans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using B = BatchMeans;

// Closes one batch per entry, of the given successes over `cycles` cycles.
B::Totals Feed(B& batches, const std::vector<double>& successes, double cycles = 1) {
  B::Totals now{};
  batches.Reset();
  for (double s : successes) {
    now[B::kCycles] += cycles;
    now[B::kSuccesses] += s;
    batches.Close(now);
  }
  return now;
}

// Ten one-cycle batches, five successes: R = 1/2, every Z = ±1/2, so
// s² = 10 · 1/4 / 9 and ci95 = t(9) · s / √10; nine batches give none.
TEST(BatchMeans, IntervalOfTenBatchesAndNoneOfNine) {
  B batches;
  const B::Totals now = Feed(batches, {1, 1, 1, 1, 1, 0, 0, 0, 0, 0});
  const B::Estimate e = batches.Ratio(B::kSuccesses, B::kCycles, false, now);
  EXPECT_EQ(e.ratio, 0.5);
  ASSERT_TRUE(e.has_ci);
  EXPECT_EQ(e.batches, 10);
  EXPECT_NEAR(e.ci95, 2.2621572 * std::sqrt(2.5 / 9) / std::sqrt(10.0), 2e-5);
  const B::Totals nine = Feed(batches, {1, 1, 1, 1, 0, 0, 0, 0, 0});
  EXPECT_FALSE(batches.Ratio(B::kSuccesses, B::kCycles, false, nine).has_ci);
}

// Served packets 1, 2, 1, 2 ... with delays of 3 s each: Y = 3 X in every
// batch, so Z = 0 and the interval of the mean delay is empty of width.
TEST(BatchMeans, RatioOfTwoCountsByTheDeltaMethod) {
  B batches;
  B::Totals now{};
  for (int j = 0; j < 12; ++j) {
    now[B::kCycles] += 1;
    now[B::kServed] += 1 + j % 2;
    now[B::kDelay] += 3 * (1 + j % 2);
    batches.Close(now);
  }
  const B::Estimate e = batches.Ratio(B::kDelay, B::kServed, false, now);
  EXPECT_EQ(e.ratio, 3.0);
  EXPECT_TRUE(e.has_ci);
  EXPECT_EQ(e.ci95, 0.0);
}

// Successes 1, 1, 0, 0, ... one a cycle: the 128th batch merges neighbours,
// leaving 64 batches of 2 cycles holding 2, 0, 2, 0 ...: Z = ±1, and
// ci95 = t(63) · √(64/63) · √64 / 128. Later closes keep k in [64, 128).
TEST(BatchMeans, MergesPairsAtTheMaximumAndKeepsTheCountBounded) {
  B batches;
  std::vector<double> successes;
  for (int j = 0; j < B::kMaxBatches; ++j) successes.push_back(j % 4 < 2);
  const B::Totals now = Feed(batches, successes);
  EXPECT_EQ(batches.count, 64);
  EXPECT_EQ(batches.batch_cycles, 2);
  EXPECT_EQ(batches.NextBoundary(), 130);
  const B::Estimate e = batches.Ratio(B::kSuccesses, B::kCycles, false, now);
  EXPECT_EQ(e.ratio, 0.5);
  EXPECT_NEAR(e.ci95, 1.9983405 * std::sqrt(64.0 / 63) * 8 / 128, 2e-5);
  for (int j = 0; j < 1000; ++j) {
    EXPECT_EQ(batches.NextBoundary() % batches.batch_cycles, 0);
    B::Totals next = now;
    next[B::kCycles] = static_cast<double>(batches.NextBoundary());
    batches.Close(next);
    ASSERT_GE(batches.count, B::kMaxBatches / 2);
    ASSERT_LT(batches.count, B::kMaxBatches);
  }
}

// Three batches of 10 ahead of 1, 2, 1, 2 ...: MSER drops just those three.
TEST(BatchMeans, WarmupCutsTheTransientBatchesOnly) {
  B batches;
  std::vector<double> successes = {10, 10, 10};
  for (int j = 0; j < 17; ++j) successes.push_back(1 + j % 2);
  const B::Totals now = Feed(batches, successes);
  const B::Estimate cut = batches.Ratio(B::kSuccesses, B::kCycles, true, now);
  EXPECT_EQ(cut.warmup_cycles, 3);
  EXPECT_EQ(cut.batches, 17);
  EXPECT_DOUBLE_EQ(cut.ratio, 25.0 / 17);
  EXPECT_EQ(batches.Ratio(B::kSuccesses, B::kCycles, false, now).warmup_cycles, 0);
}

TEST(BatchMeans, StudentQuantiles) {
  const double exact[][2] = {{1, 12.7062047}, {5, 2.5705818},  {7, 2.3646243},
                             {9, 2.2621572},  {30, 2.0422725}, {127, 1.9788195}};
  for (const auto& q : exact)
    EXPECT_NEAR(B::StudentT975(static_cast<long>(q[0])), q[1], 1e-4) << q[0];
}

}  // namespace
