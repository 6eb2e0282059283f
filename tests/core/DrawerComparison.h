// The outcome frequencies of runs whose channel values are drawn on first
// read against runs in which a reference drawer sets every value at each
// redraw, through the same listening code.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/core/EngineHarness.h"

namespace drawers {

// A value a reference drawer set. Once all are set, each must read back
// unchanged: the store keeps one value per link, whatever the row layout.
struct Link {
  long listener, sender, j;
  double value;
};
inline long misreads = 0;

// Successes, collisions, failures and idle cycles, and the values the
// channels drew on their own.
struct Counts {
  long outcomes[4];
  long drawn;
};

// With the reference hung on the redraw, every value read was set by it.
template <class Channels>
Counts Run(const std::vector<std::string>& args, unsigned long seed, long cycles,
           Channels VornNetwork::*store, void (*reference)(Channels&)) {
  harness::Configure(args, seed);
  Channels& channels = Net.*store;
  const auto on_read = channels.redrawn;
  if (reference != nullptr) channels.redrawn = reference;
  harness::Cycles(cycles);
  channels.redrawn = on_read;
  return {{Net.n_succ, Net.n_coll, Net.n_fail, Net.n_idle}, channels.values_drawn};
}

// z of the difference of two frequencies over n cycles each. A channel kept
// over `block` cycles makes them one sample at worst, which widens the
// standard error by at most the square root of block.
inline double Z(long a, long b, long n, long block) {
  const double pa = double(a) / n, pb = double(b) / n;
  const double variance = (pa * (1 - pa) + pb * (1 - pb)) * block / n;
  if (!(variance > 0)) return a == b ? 0.0 : HUGE_VAL;
  return (pa - pb) / std::sqrt(variance);
}

template <class Channels>
void ExpectSameLaw(const std::vector<std::vector<std::string>>& cases, Channels VornNetwork::*store,
                   void (*reference)(Channels&)) {
  const long cycles = 20000;
  unsigned long seed = 40;
  for (const std::vector<std::string>& args : cases) {
    std::string what;
    for (const std::string& a : args) what += a + " ";
    const Counts on_read = Run<Channels>(args, ++seed, cycles, store, nullptr);
    misreads = 0;
    const Counts every = Run<Channels>(args, ++seed, cycles, store, reference);
    EXPECT_EQ(misreads, 0) << what;
    EXPECT_GT(on_read.drawn, 0) << what;
    EXPECT_EQ(every.drawn, 0) << what;
    for (int k = 0; k < 4; ++k)
      EXPECT_LT(std::fabs(Z(on_read.outcomes[k], every.outcomes[k], cycles, Params.randsratio)),
                4.5)
          << what << "outcome " << k << ": " << on_read.outcomes[k] << " vs " << every.outcomes[k];
  }
}

}  // namespace drawers
