// TransProb sizing, counting by (previous, current) state, and bounds.
#include <gtest/gtest.h>

#include "stats/TransProb.h"

TEST(TransProb, ResizeGivesZeroedSquareAndResetsStates) {
  TransProb tp;
  tp.Resize(2);
  tp.prev_state = 1;
  tp.curr_state = 1;
  tp.Count();
  tp.Resize(3);
  EXPECT_EQ(tp.d1, 3);
  EXPECT_EQ(tp.d2, 3);
  EXPECT_EQ(tp.size, 9);
  EXPECT_EQ(tp.prev_state, 0);
  EXPECT_EQ(tp.curr_state, 0);
  for (long k = 0; k < 9; ++k) EXPECT_EQ(tp.data[k], 0);
}

TEST(TransProb, CountsRowPreviousColumnCurrent) {
  TransProb tp;
  tp.Resize(3);
  tp.prev_state = 2;
  tp.curr_state = 0;
  tp.Count();
  tp.Count();
  tp.prev_state = 0;
  tp.curr_state = 2;
  tp.Count();
  EXPECT_EQ(tp(2, 0), 2);
  EXPECT_EQ(tp(0, 2), 1);
  long total = 0;
  for (long k = 0; k < tp.size; ++k) total += tp.data[k];
  EXPECT_EQ(total, 3);
}

TEST(TransProb, StatesOutsideTheMatrixAreNotCounted) {
  TransProb tp;
  tp.Resize(2);
  const long pairs[][2] = {{2, 0}, {0, 2}, {-1, 1}, {1, -1}, {-1, -1}, {5, 5}};
  for (const auto& pair : pairs) {
    tp.prev_state = pair[0];
    tp.curr_state = pair[1];
    tp.Count();
  }
  for (long k = 0; k < tp.size; ++k) EXPECT_EQ(tp.data[k], 0);

  TransProb empty;
  empty.Resize(0);
  empty.Count();
  EXPECT_EQ(empty.data, nullptr);
}
