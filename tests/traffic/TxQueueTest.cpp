// Packet queue: bounded and unbounded stores and the arrival processes.
#include "traffic/TxQueue.h"

#include <gtest/gtest.h>

#include <cmath>

#include "random/GenRand.h"
#include "support/RunGlobals.h"

namespace {

class TxQueueTest : public testing::Test {
 protected:
  void SetUp() override {
    sim_time = 0.0;
    Rand.Seed(12345);
  }
  void TearDown() override { sim_time = 0.0; }
};

}  // namespace

// A refused packet changes neither the length nor the accepted count.
TEST_F(TxQueueTest, SaturationFillsBoundedQueueThenDrops) {
  TxQueue q;
  q.Configure(31, 0, 5.0, true);
  EXPECT_EQ(q.rate, 0.0);
  for (int cycle = 0; cycle < 31; ++cycle) q.Arrive();
  EXPECT_EQ(q.n_drops, 0);
  q.Arrive();
  q.Arrive();
  EXPECT_EQ(q.length, 31);
  EXPECT_EQ(q.n_accepted, 31);
  EXPECT_EQ(q.n_offered, 33);
  EXPECT_EQ(q.n_drops, 2);
  EXPECT_TRUE(q.arrival_times.empty());  // saturation records no arrival times
  EXPECT_EQ(q.drop_flow.second_count, 33);
  EXPECT_EQ(q.drop_flow.first_count, 2);
}

TEST_F(TxQueueTest, ConstantArrivalsAtScheduledTimes) {
  TxQueue q;
  q.Configure(10, 1, 1000.0, true);
  q.Arrive();  // at time 0 a clocked process offers nothing
  EXPECT_EQ(q.n_offered, 0);
  sim_time = 0.0035;
  q.Arrive();
  ASSERT_EQ(q.arrival_times.size(), 3u);
  EXPECT_NEAR(q.arrival_times[0], 0.001, 1e-12);
  EXPECT_NEAR(q.arrival_times[2], 0.003, 1e-12);
  EXPECT_NEAR(q.next_arrival, 0.004, 1e-12);
  EXPECT_NEAR(q.Pop(), 0.001, 1e-12);
  EXPECT_EQ(q.length, 2);
}

TEST_F(TxQueueTest, ClockedArrivalWaitsWhenScheduledExactlyNow) {
  TxQueue q;
  q.Configure(10, 1, 4.0, false);  // 0.25 s apart: exact in binary
  sim_time = 0.5;
  q.Arrive();
  EXPECT_EQ(q.n_offered, 1);  // 0.25 only; 0.5 waits for a later cycle
  sim_time = 0.75;
  q.Arrive();
  EXPECT_EQ(q.n_offered, 2);
}

TEST_F(TxQueueTest, BernoulliExtremes) {
  TxQueue always, never;
  always.Configure(0, 4, 1.0, false);
  never.Configure(0, 4, 0.0, false);
  for (int cycle = 0; cycle < 100; ++cycle) {
    always.Arrive();
    never.Arrive();
  }
  EXPECT_EQ(always.length, 100);
  EXPECT_EQ(never.n_offered, 0);
}

TEST_F(TxQueueTest, ExponentialArrivalCountFollowsRate) {
  TxQueue q;
  const double rate = 200.0, horizon = 500.0;
  q.Configure(0, 3, rate, false);
  for (sim_time = 0.0; sim_time < horizon; sim_time += 0.01) q.Arrive();
  const double expected = rate * horizon;  // Poisson: sd = sqrt(expected)
  EXPECT_NEAR(q.n_offered, expected, 5 * std::sqrt(expected));
}

TEST_F(TxQueueTest, UniformArrivalsHaveMeanSpacingOfOneOverRate) {
  TxQueue q;
  q.Configure(0, 2, 100.0, false);
  const double horizon = 1000.0;
  for (sim_time = 0.0; sim_time < horizon; sim_time += 0.05) q.Arrive();
  // Spacing 2U/rate has sd 1/(rate*sqrt(3)); the count over the horizon has
  // sd about sqrt(n/3).
  const double expected = 100.0 * horizon;
  EXPECT_NEAR(q.n_offered, expected, 5 * std::sqrt(expected / 3));
}

TEST_F(TxQueueTest, UnboundedQueueKeepsArrivalTimesForRealDelays) {
  TxQueue q;
  q.Configure(0, 1, 1000.0, true);
  sim_time = 0.0995;
  q.Arrive();
  EXPECT_EQ(q.length, 99);
  EXPECT_EQ(q.arrival_times.size(), 99u);
  for (int i = 1; i <= 99; ++i) EXPECT_NEAR(q.Pop(), i * 0.001, 1e-9);
  EXPECT_EQ(q.length, 0);
}

TEST_F(TxQueueTest, ArrivalCountsLengthOnlyWithStatisticsOnABoundedQueue) {
  TxQueue counted, silent, unbounded;
  counted.Configure(3, 0, 0.0, true);
  silent.Configure(3, 0, 0.0, false);
  unbounded.Configure(0, 0, 0.0, true);
  for (int cycle = 0; cycle < 5; ++cycle) counted.Arrive(), silent.Arrive(), unbounded.Arrive();
  EXPECT_EQ(counted.length_hist, (std::vector<long>{0, 1, 1, 3}));
  EXPECT_EQ(silent.length_hist, (std::vector<long>{0, 0, 0, 0}));
  EXPECT_EQ(unbounded.length_hist, (std::vector<long>{0}));
}
