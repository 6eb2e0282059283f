// TxQueue: the bounded and the growing store, the clocked and the random
// arrival processes, and the length histogram.
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
  for (int cycle = 0; cycle < 33; ++cycle) q.Arrive();
  EXPECT_EQ(q.length, 31);
  EXPECT_EQ(q.n_accepted, 31);
  EXPECT_EQ(q.n_offered, 33);
  EXPECT_EQ(q.n_drops, 2);
  EXPECT_TRUE(q.arrival_times.empty());  // saturation records no arrival times
  EXPECT_EQ(q.drop_flow.second_count, 33);
  EXPECT_EQ(q.drop_flow.first_count, 2);
}

// Clocked arrivals come at their times, none at 0, and one due exactly now
// waits for a later cycle (0.25 s apart: exact in binary).
TEST_F(TxQueueTest, ConstantArrivalsAtScheduledTimes) {
  TxQueue q;
  q.Configure(10, 1, 4.0, true);
  q.Arrive();
  EXPECT_EQ(q.n_offered, 0);
  sim_time = 0.75;
  q.Arrive();
  EXPECT_EQ(q.arrival_times, (std::vector<double>{0.25, 0.5}));
  EXPECT_EQ(q.next_arrival, 0.75);
  EXPECT_EQ(q.Pop(), 0.25);
  EXPECT_EQ(q.length, 1);
}

// The ring grows while its head is in the middle and keeps the order.
TEST_F(TxQueueTest, UnboundedQueueGrowsKeepingArrivalOrder) {
  TxQueue q;
  q.Configure(0, 1, 1000.0, false);
  sim_time = 0.0105;
  q.Arrive();
  for (int i = 1; i <= 8; ++i) EXPECT_NEAR(q.Pop(), i * 0.001, 1e-9);
  sim_time = 0.0405;
  q.Arrive();
  EXPECT_EQ(q.length, 32);
  for (int i = 9; i <= 40; ++i) EXPECT_NEAR(q.Pop(), i * 0.001, 1e-9);
}

// Arrival counts against their laws over a long horizon, 0.01 s per cycle:
// Poisson (sd sqrt(n)) and uniform spacings 2U/rate (sd about sqrt(n/3)); and
// the Bernoulli extremes.
TEST_F(TxQueueTest, RandomArrivalsFollowTheirRates) {
  const double expected = 100.0 * 500.0;
  for (const auto& [type, sd] :
       {std::pair{3L, std::sqrt(expected)}, {2L, std::sqrt(expected / 3)}}) {
    TxQueue q;
    q.Configure(0, type, 100.0, false);
    for (sim_time = 0.0; sim_time < 500.0; sim_time += 0.01) q.Arrive();
    EXPECT_NEAR(q.n_offered, expected, 5 * sd) << "type " << type;
  }
  TxQueue always, never;
  always.Configure(0, 4, 1.0, false);
  never.Configure(0, 4, 0.0, false);
  for (int cycle = 0; cycle < 100; ++cycle) always.Arrive(), never.Arrive();
  EXPECT_EQ(always.length + never.n_offered, 100);
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
