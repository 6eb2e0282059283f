// Decibel conversion.
#include "support/Functions.h"

#include <gtest/gtest.h>

TEST(Functions, DbmToMicrowatts) {
  EXPECT_DOUBLE_EQ(dbm2pw(0), 1000);
  EXPECT_DOUBLE_EQ(dbm2pw(-30), 1);
}
