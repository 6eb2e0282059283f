// FlowStats: counting up to the sampling update, boundaries that drift from
// it, and the rate and share of each sample.
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

  // Updates flow with first at each time.
  static void UpdateAt(FlowStats<long>& flow, const std::vector<std::pair<double, long>>& events) {
    for (const auto& [time, first] : events) {
      sim_time = time;
      flow.Update(first);
    }
  }
};

}  // namespace

// The update at the boundary is counted in the window it closes.
TEST_F(FlowStatsTest, CountsUpToAndIncludingTheSamplingUpdate) {
  FlowStats<long> flow;
  UpdateAt(flow, {{0.0, 1}, {0.999, 0}, {1.0, 1}});
  EXPECT_EQ(flow.first_series, (Longs{0, 2}));
  EXPECT_EQ(flow.second_series, (Longs{0, 3}));
  EXPECT_EQ(flow.time_series, (Times{0.0, 1.0}));
  EXPECT_EQ(flow.first_count + flow.second_count, 0);
}

// The next boundary is a window after the sampling update, and a long gap
// still yields one sample only; rates use the interval the sample closes.
TEST_F(FlowStatsTest, BoundariesDriftFromTheSamplingUpdateAndRatesUseTheirInterval) {
  FlowStats<long> flow;
  flow.window = flow.next_sample = 2.0;
  UpdateAt(flow, {{0.0, 1}, {2.5, 0}, {4.0, 1}, {4.5, 1}, {11.0, 0}});
  EXPECT_EQ(flow.first_series, (Longs{0, 1, 2, 0}));
  EXPECT_EQ(flow.second_series, (Longs{0, 2, 2, 1}));
  EXPECT_EQ(flow.time_series, (Times{0.0, 2.5, 4.5, 11.0}));
  EXPECT_EQ(flow.next_sample, 13.0);
  EXPECT_EQ(flow.Rate(0) + flow.Share(0) + flow.Rate(4) + flow.Share(4), 0.0);
  EXPECT_DOUBLE_EQ(flow.Rate(1), 1 / 2.5);
  EXPECT_DOUBLE_EQ(flow.Share(1), 0.5);
  EXPECT_DOUBLE_EQ(flow.Rate(2), 2 / 2.0);
  EXPECT_DOUBLE_EQ(flow.Share(2), 1.0);
}
