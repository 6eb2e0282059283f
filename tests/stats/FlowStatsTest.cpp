// FlowStats windows: counting, sampling at the boundary, drifting boundaries.
#include "stats/FlowStats.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Longs = std::vector<long>;
using Times = std::vector<double>;

class FlowStatsTest : public ::testing::Test {
 protected:
  void SetUp() override { sim_time = 0.0; }
  void TearDown() override { sim_time = 0.0; }
};

}  // namespace

TEST_F(FlowStatsTest, CountsBeforeAndSamplesAtTheBoundaryUnlessOff) {
  FlowStats<long> off;
  off.window = off.next_sample = 0.0;
  for (sim_time = 0.0; sim_time < 5.0; sim_time += 0.5) off.Update(1);
  EXPECT_EQ(off.second_count, 0);
  EXPECT_EQ(off.time_series, Times{0.0});
  sim_time = 0.0;
  FlowStats<long> flow;
  flow.Update(1);
  sim_time = 0.999;
  flow.Update(0);
  EXPECT_EQ(flow.time_series.size(), 1u);
  sim_time = 1.0;
  flow.Update(1);
  EXPECT_EQ(flow.first_series, (Longs{0, 2}));
  EXPECT_EQ(flow.second_series, (Longs{0, 3}));
  EXPECT_EQ(flow.time_series, (Times{0.0, 1.0}));
  EXPECT_EQ(flow.first_count + flow.second_count, 0);
}

// The next boundary is a window after the sampling update; a long gap still
// yields one sample only.
TEST_F(FlowStatsTest, BoundariesDriftFromTheSamplingUpdate) {
  FlowStats<long> flow;
  flow.window = flow.next_sample = 2.0;
  sim_time = 2.5;
  flow.Update(1);
  EXPECT_EQ(flow.next_sample, 4.5);
  sim_time = 4.0;
  flow.Update(1);
  sim_time = 11.0;
  flow.Update(0);
  EXPECT_EQ(flow.first_series, (Longs{0, 1, 1}));
  EXPECT_EQ(flow.second_series, (Longs{0, 1, 2}));
  EXPECT_EQ(flow.time_series, (Times{0.0, 2.5, 11.0}));
  EXPECT_EQ(flow.next_sample, 13.0);
}

// Rates use the interval the sample closes; the start of the run and samples
// the record does not hold have none.
TEST_F(FlowStatsTest, RateAndShareOfASample) {
  FlowStats<long> flow;
  flow.window = flow.next_sample = 2.0;
  flow.Update(1);
  sim_time = 2.5;
  flow.Update(0);
  sim_time = 3.0;
  flow.Update(1);
  sim_time = 4.5;
  flow.Update(1);
  EXPECT_EQ(flow.Rate(0), 0.0);
  EXPECT_EQ(flow.Share(0), 0.0);
  EXPECT_DOUBLE_EQ(flow.Rate(1), 1 / 2.5);
  EXPECT_DOUBLE_EQ(flow.Share(1), 0.5);
  EXPECT_DOUBLE_EQ(flow.Rate(2), 2 / 2.0);
  EXPECT_DOUBLE_EQ(flow.Share(2), 1.0);
  EXPECT_EQ(flow.Rate(3), 0.0);
  EXPECT_EQ(flow.Share(3), 0.0);
}
