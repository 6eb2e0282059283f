// ExactModel: the long-run outcome shares of a configuration the exact
// model covers, and why one lies out of its reach.
#pragma once

#include <string>

#include "params/VornParams.h"
#include "stats/NetworkReport.h"

class ExactModel {
 public:
  // The first option that takes params out of the model's reach, as one
  // line naming it and what the model covers; empty when none does.
  static std::string OutOfReach(const VornParams& params);
  // Saturated identical stations without fading: cycles are independent, so
  // the shares are the outcome law of one cycle from all M stations, with
  // no referees before the first round. With Bernoulli arrivals into queues
  // of one they are that law from n stations, weighted by the long-run law
  // of n (ExactQueueChain). A lone station on a fading channel redrawn
  // every round has the cycle law of ExactFadedStation.
  static CycleShares Shares(const VornParams& params, long n_words);
};
