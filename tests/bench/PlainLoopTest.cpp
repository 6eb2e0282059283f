// PlainLoop against the engine: the same outcome frequencies per cycle.
#include "bench/PlainLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tests/core/EngineHarness.h"

namespace {

// z of the difference of two binomial frequencies, pooled standard error.
double Z(long a, long n, long b, long m) {
  const double pooled = double(a + b) / (n + m);
  const double se = std::sqrt(pooled * (1 - pooled) * (1.0 / n + 1.0 / m));
  return se > 0 ? (double(a) / n - double(b) / m) / se : 0.0;
}

TEST(PlainLoopTest, OutcomesHaveTheEnginesFrequencies) {
  struct Case {
    std::vector<std::string> args;
    long cycles;
  };
  for (const Case& c : {Case{{}, 1000000}, Case{{"M=200"}, 200000}}) {
    harness::Configure(c.args, 7);
    bool fits = false;
    PlainLoop plain = PlainLoop::FromParams(11, fits);
    ASSERT_TRUE(fits);
    harness::Cycles(c.cycles);
    for (long i = 0; i < c.cycles; ++i) plain.Cycle();
    // Saturated stations are never idle, and without fading nobody fails.
    EXPECT_EQ(Net.n_idle, 0);
    EXPECT_EQ(Net.n_fail, 0);
    EXPECT_EQ(plain.outcomes[PlainLoop::kFailure], 0);
    const double z_succ = Z(plain.outcomes[PlainLoop::kSuccess], c.cycles, Net.n_succ, c.cycles);
    const double z_coll = Z(plain.outcomes[PlainLoop::kCollision], c.cycles, Net.n_coll, c.cycles);
    std::printf("M=%ld: z success %.2f, collision %.2f\n", Params.M, z_succ, z_coll);
    EXPECT_LT(std::fabs(z_succ), 4.5);
    EXPECT_LT(std::fabs(z_coll), 4.5);
  }
}

}  // namespace
