// PlainLoop: the law of an infrastructure cycle without fading, saturated
// stations and uniform words, as a plain loop over counts, to calibrate the
// engine's cycle against.
#pragma once

#include <dSFMT.h>

#include <cstdint>
#include <vector>

class PlainLoop {
 public:
  enum Outcome { kFailure, kSuccess, kCollision };

  // stations <= 255 and words <= 8, so that the senders of each word fit one
  // byte counter of a 64-bit word; p holds the coin's probability per round.
  PlainLoop(long stations, std::vector<double> p, long words, uint32_t seed);
  // The loop of the scenario Params and Code hold; false in fits when their
  // law is not this loop's (ad hoc, fading, arrivals, QoS, variants, sizes).
  static PlainLoop FromParams(uint32_t seed, bool& fits);
  virtual ~PlainLoop() = default;

  // One cycle: each round the coins of the contenders, then the words of the
  // senders; the senders of the lowest word survive, a lone one succeeds.
  void Cycle();

  long outcomes[3] = {0, 0, 0};

 private:
  // At least n + n words from pos on, the coins and the words of one round.
  void Reserve(long n);

  static constexpr long kBuffer = 2048;
  alignas(16) double buffer[kBuffer];
  dsfmt_t state;
  long pos = kBuffer;
  long stations;
  std::vector<double> p;
  long last;  // words - 1
};
