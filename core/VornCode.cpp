// VornCode: construction of the code-word table, the win rule and the
// diagnostic printing of words.
#include "core/VornCode.h"

#include <cstdio>
#include <memory>

#include "support/Functions.h"

VornCode::VornCode(long n_words, long n_reps) {
  Initialize(n_words, n_reps);
}

VornCode::~VornCode() = default;

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

void VornCode::Print(long value) const {
  int width = 1;
  for (unsigned long number = 1UL << n_bits; number > 9; number /= 10) ++width;
  char format[32];
  std::snprintf(format, sizeof format, "%%s (%%%dld)", width);
  std::unique_ptr<char[]> digits(Int2Binary(value, n_bits));
  std::printf(format, digits.get(), value);
}

void VornCode::Debug() const {
  for (long i = 0; i < n_words; ++i) {
    std::printf("%2ld = ", i);
    Print(words[i]);
    std::printf("\n");
  }
  for (long v = 0; v <= full_mask; ++v) {
    Print(v);
    std::printf(" --> ");
    Print(WinningWordFrom(v));
    std::printf("\n");
  }
}
