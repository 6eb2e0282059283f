// VornCode: the table of contention code words and the rule that picks the
// winning word among the subcarriers a listener heard.
#pragma once

#include <vector>

class VornCode {
 public:
  VornCode() = default;
  virtual ~VornCode() = default;

  // Word i holds bit i of every one of the n_reps blocks of n_words bits;
  // n_words * n_reps must not exceed 63. Replaces any previous table.
  void Initialize(long n_words, long n_reps);
  // The lowest-indexed word sharing a bit with heard, or 0 when none does.
  long WinningWordFrom(const long& heard) const;

  std::vector<long> words;
  long n_words = 0;
  long n_bits = 0;
  long full_mask = 0;
};
