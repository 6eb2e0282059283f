// TransProb: counting by (previous, current) state after a resize, and the
// states outside the matrix.
#include "stats/TransProb.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(TransProb, ResizeZeroesAndCountsRowPreviousColumnCurrentInsideTheMatrix) {
  TransProb tp;
  tp.Resize(2);
  tp.prev_state = tp.curr_state = 1;
  tp.Count();
  tp.Resize(3);
  EXPECT_EQ(tp.prev_state + tp.curr_state, 0);
  tp.prev_state = 2;
  tp.Count();
  const long outside[][2] = {{3, 0}, {0, 3}, {-1, 1}, {1, -1}, {5, 5}};
  for (const auto& pair : outside) {
    tp.prev_state = pair[0];
    tp.curr_state = pair[1];
    tp.Count();
  }
  EXPECT_EQ(tp(2, 0), 1);
  EXPECT_EQ(std::accumulate(tp.data, tp.data + tp.size, 0L), 1);
}
