// TransProb: counts of transitions between successive values of a small
// integer quantity (row: previous state, column: current state).
#pragma once

#include <algorithm>

#include "support/ArrayDense.h"

class TransProb : public ArrayDense<long, long> {
 public:
  TransProb() = default;
  ~TransProb() override = default;

  // states x states zero counts; both states back to 0.
  void Resize(long states);

  // Counts prev_state -> curr_state. A state outside 0 .. states-1 is not
  // counted; negatives turn huge as unsigned, so one max and one compare do.
  void Count() {
    const unsigned long largest =
        std::max(static_cast<unsigned long>(prev_state), static_cast<unsigned long>(curr_state));
    if (largest < static_cast<unsigned long>(d1)) ++data[prev_state * d2 + curr_state];
  }

  long prev_state = 0;
  long curr_state = 0;
};
