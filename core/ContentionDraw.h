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

  // Index of the word to send, or -1 when the coin says listen. The uniform
  // law, the common one, is inlined into the engine's loops; the kind is the
  // same for every station of a run's round, so the test predicts well.
  long WordIndex(GenRand& rand) const {
    if (kind == Kind::kUniform) {
      const GenRand::CoinAndDraw draw = rand.CoinThenInt32(p);
      return IndexOrListen(draw.heads, draw.r);
    }
    return kind == Kind::kFixed ? last : ChooseGeometric(rand);
  }
  // The uniform law from the state words at w, as WordIndex would take them
  // from the stream: U, then r after heads; taken grows by the words used.
  long UniformIndexFromWords(const double* w, long& taken) const {
    return IndexOrListen(static_cast<long>(CoinFromWords(w, taken)), GenRand::Int32Of(w[1]));
  }
  // p > w - 1 for a state word w: w - 1 is exact, so that is the word's bits
  // below a threshold, an integer compare where the float one would lengthen
  // the chain from one station's coin to the next station's words.
  bool HeadsOf(const double& w) const { return GenRand::BitsOf(w) < heads_below; }
  bool IsUniform() const { return kind == Kind::kUniform; }

  // Keys order the uniform law's draws without their word index: a sender's
  // key is r + 1, a listener's 0, and a larger key never sends a worse word.
  // The key of the words as UniformIndexFromWords would take them.
  uint64_t UniformKeyFromWords(const double* w, long& taken) const {
    return (GenRand::Int32Of(w[1]) + uint64_t{1}) & -CoinFromWords(w, taken);
  }
  // The least key of a word no worse than index; none is better than word 0.
  uint64_t FirstKeyOf(long index) const {
    if (index < 0) return UINT64_MAX;
    return index >= last ? 1 : static_cast<uint64_t>(last - index) * range + 1;
  }
  long IndexOfKey(uint64_t key) const {
    return key == 0 ? -1 : last - IndexFromDraw(static_cast<uint32_t>(key - 1));
  }

  // r / floor((2^32 - 1) / n), the topmost draws that would land on n or
  // beyond clamped to n - 1, by two multiplications instead of a division.
  long IndexFromDraw(uint32_t r) const {
    const uint64_t q = (magic_hi * r + ((magic_lo * r) >> 32)) >> 32;
    return q < static_cast<uint64_t>(n) ? static_cast<long>(q) : n - 1;
  }

 private:
  enum class Kind { kFixed, kUniform, kGeometric };
  // The uniform law's word index for r, or -1 without heads: arithmetic
  // instead of a branch on the coin, which no predictor learns.
  long IndexOrListen(long heads, uint32_t r) const {
    return ((last - IndexFromDraw(r)) & -heads) | (heads - 1);
  }
  long ChooseGeometric(GenRand& rand) const;
  // The coin of w[0] (1 for heads); taken grows by it and by r's word after heads.
  uint64_t CoinFromWords(const double* w, long& taken) const {
    const uint64_t heads = HeadsOf(w[0]);
    taken += 1 + static_cast<long>(heads);
    return heads;
  }

  double p = 1.0;
  uint64_t heads_below = 0;  // the bits of the least word that is tails
  double log_tau = 0.0;      // ln tau
  double tail = 0.0;         // 1 - tau^n
  // ceil(2^64 / d) for the divisor d of the uniform law, in 32-bit halves.
  uint64_t magic_hi = 0;
  uint64_t magic_lo = 0;
  uint64_t range = 1;  // d: the draws of one word index
  long n = 1;
  long last = 0;  // n - 1, or the strict word index
  Kind kind;
};
