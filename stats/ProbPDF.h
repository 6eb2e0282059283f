// ProbPDF: how often each value of a small integer quantity occurred, written
// out as a probability distribution.
#pragma once

#include "support/ArrayDense.h"

class ProbPDF : public ArrayDense<long, long> {
 public:
  ProbPDF() = default;
  ~ProbPDF() override = default;

  // bins zero counts, for the values 0 .. bins-1.
  void Resize(long bins);

  // A value outside 0 .. bins-1 is not counted: one unsigned compare keeps the
  // hot path cheap and the storage safe.
  void Count(long k) {
    if (static_cast<unsigned long>(k) < static_cast<unsigned long>(size)) ++data[k];
  }
};
