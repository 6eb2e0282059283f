// ContentionDraw: a station's coin flip and code-word choice in one round,
// with the constants of the word's law worked out once at start-up.
#pragma once

#include <cstdint>

#include "random/GenRand.h"

class ContentionDraw {
 public:
  // Statistical: transmit when p > U, then send word n_words-1-g with g from
  // the next word: uniform (tau 0 or 1) by IndexFromDraw of its low 32 bits,
  // else truncated geometric with weight tau^g (GenRand::GeometricIndexScaled).
  ContentionDraw(double p, double tau, long n_words);
  // Strict: always sends word_index and draws nothing.
  explicit ContentionDraw(long word_index);
  virtual ~ContentionDraw() = default;

  // Index of the word to send, or -1 when the coin says listen.
  long WordIndex(GenRand& rand) const { return (this->*choose)(rand); }

  // r / floor((2^32 - 1) / n), the topmost draws that would land on n or
  // beyond clamped to n - 1, by two multiplications instead of a division.
  long IndexFromDraw(uint32_t r) const {
    const uint64_t q = (magic_hi * r + ((magic_lo * r) >> 32)) >> 32;
    return q < static_cast<uint64_t>(n) ? static_cast<long>(q) : n - 1;
  }

 private:
  long ChooseFixed(GenRand& rand) const;
  long ChooseUniform(GenRand& rand) const;
  long ChooseGeometric(GenRand& rand) const;

  double p = 1.0;
  double log_tau = 0.0;  // ln tau
  double tail = 0.0;     // 1 - tau^n
  // ceil(2^64 / d) for the divisor d of the uniform law, in 32-bit halves.
  uint64_t magic_hi = 0;
  uint64_t magic_lo = 0;
  long n = 1;
  long last = 0;  // n - 1, or the strict word index
  long (ContentionDraw::*choose)(GenRand&) const;
};
