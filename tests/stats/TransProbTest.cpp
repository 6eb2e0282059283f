// TransProb sizing, counting by (previous, current) state, and bounds.
#include "stats/TransProb.h"

#include <gtest/gtest.h>

TEST(TransProb, ResizeZeroesAndCountsRowPreviousColumnCurrent) {
  TransProb tp;
  tp.Resize(2);
  tp.prev_state = tp.curr_state = 1;
  tp.Count();
  tp.Resize(3);
  EXPECT_EQ(tp.size, 9);
  EXPECT_EQ(tp.prev_state + tp.curr_state, 0);
  tp.prev_state = 2;
  tp.Count();
  tp.Count();
  EXPECT_EQ(tp(2, 0), 2);
  long total = 0;
  for (long k = 0; k < tp.size; ++k) total += tp.data[k];
  EXPECT_EQ(total, 2);
}

TEST(TransProb, StatesOutsideTheMatrixAreNotCounted) {
  TransProb tp, empty;
  tp.Resize(2);
  const long pairs[][2] = {{2, 0}, {0, 2}, {-1, 1}, {1, -1}, {5, 5}};
  for (const auto& pair : pairs) {
    tp.prev_state = pair[0];
    tp.curr_state = pair[1];
    tp.Count();
  }
  for (long k = 0; k < tp.size; ++k) EXPECT_EQ(tp.data[k], 0);
  empty.Resize(0);
  empty.Count();
  EXPECT_EQ(empty.data, nullptr);
}
