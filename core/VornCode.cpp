// VornCode: construction of the code-word table and the win rule.
#include "core/VornCode.h"

void VornCode::Initialize(long n_words, long n_reps) {
  this->n_words = n_words;
  n_bits = n_words * n_reps;
  full_mask = static_cast<long>((1UL << n_bits) - 1);
  words.assign(n_words, 0);
  for (long i = 0; i < n_words; ++i)
    for (long j = 0; j < n_reps; ++j) words[i] |= 1L << (i + j * n_words);
}

long VornCode::WinningWordFrom(const long& heard) const {
  // Bit j belongs to word j mod n_words: folding the blocks onto the first one
  // leaves the heard word indices as bits, and the lowest one wins. This costs
  // one step per block instead of one per word.
  unsigned long folded = 0;
  for (unsigned long bits = heard & full_mask; bits != 0; bits >>= n_words) folded |= bits;
  folded &= (1UL << n_words) - 1;
  return folded == 0 ? 0 : words[__builtin_ctzl(folded)];
}
