// ExactContention: the outcome law of one contention cycle of identical
// stations on a channel without fading, from a Markov chain over its rounds.
#pragma once

#include <vector>

#include "params/VornParams.h"
#include "support/BinomialTerms.h"

// Without fading every listener hears every word in full, so a round reduces
// to counts. Each of the k contenders sends word w (0 the best) with
// probability a_w = p q_w or listens with 1 - p. With at least one sender
// every referee, and the access point, hears the OR of the words and answers
// with its best word w*; every sender of w* hears only w* (and, ad hoc, the
// worse words of losers that joined the referees) and wins; every other
// sender loses; every listener hears a sender (ad hoc it turns referee,
// with or without peers it is out in infrastructure mode, since it hears the
// access point answer). So the next round has the j senders of w*: with
// b_w = 1 - p + p Q(>w),
//   P(k -> j) = sum_w C(k, j) a_w^j b_w^(k-j),   j = 1..k,
// and a round without sender ((1-p)^k) is void, or a failure with unlucky.
// Ad hoc, a round is void also while no referee exists and nobody listens;
// the first round with a sender and a listener makes referees for the rest
// of the cycle, so the state is k and whether referees exist, and that
// round's law is the one above times 1 - (c_w/b_w)^(k-j), c_w = p Q(>w), the
// chance that one of the k-j others listens. With greedy a lone winner ends
// the cycle in success; after round R one contender succeeds and several
// collide. Nothing else is remembered between rounds, so the chain is exact.
//
// The laws are the simulator's own, not the ideal ones: the coin p > U on the
// 2^-52 grid of U, the uniform word from a 32-bit draw divided by
// floor((2^32-1)/F), and the geometric word from the grid point at which the
// draw's inverse function reaches each value.
class ExactContention {
 public:
  struct Outcome {
    double success = 0;
    double collision = 0;
    double failure = 0;
  };

  // Up to stations contenders of QoS level 0, rounds and options of params,
  // n_words words.
  ExactContention(const VornParams& params, long stations, long n_words);
  virtual ~ExactContention() = default;

  // The cycle's outcome when k stations hold a packet and referees already
  // exist or not (ad hoc: cooperative stations without a packet).
  const Outcome& From(long k, bool referees) const {
    return referees || !adhoc ? with_referees[k] : without_referees[k];
  }

  // P(p > U) for U uniform on the 2^-52 grid of the random stream.
  static double CoinLaw(double p);
  // Law of the word index (0 the best) a station draws with tau.
  static std::vector<double> WordLaw(double tau, long n_words);

 private:
  // One round of the backward recursion: values at its start from those at
  // its end.
  void Round(double p, const std::vector<double>& q);
  // P(k -> j) of one round into to_with and to_without.
  void Transitions(long k, const std::vector<double>& a, const std::vector<double>& b,
                   const std::vector<std::vector<double>>& listens);
  // Expected outcome from the next round's values, weighted by to.
  Outcome Onwards(long k, const std::vector<double>& to) const;

  long stations;
  bool adhoc;
  bool greedy;
  bool unlucky;
  BinomialTerms binomial;
  std::vector<Outcome> with_referees;
  std::vector<Outcome> without_referees;
  std::vector<Outcome> next_with;
  std::vector<Outcome> next_without;
  // P(k -> j) of the current k, with referees and without.
  std::vector<double> to_with;
  std::vector<double> to_without;
  std::vector<double> terms;
};
