// ExactFadedStation: the outcome law of one contention cycle of a lone
// station in access-point mode on a fading channel redrawn every round.
#pragma once

#include "core/ExactContention.h"
#include "params/VornParams.h"

// One station never collides and its word is the only one sent, so a round
// is decided by whether the access point hears a subcarrier of the word and
// the station one of the reply, which repeats the whole word. Every
// subcarrier of every link is drawn afresh each round, independently, so
// with h the chance that one subcarrier is heard (m = 1 - h missed), a word
// of L subcarriers is heard with A = 1 - m^L. The state between rounds is
// only whether the station is still in the running; a round
//   sends (coin c): won with W = A_fwd A_fbk (indep=1) or A_fwd (indep=0,
//     the reply comes back on the very values the access point heard),
//     lost otherwise; with greedy it is always won and ends the cycle;
//   listens: no word is sent, so the round is void, or with unlucky a
//     failure.
// A lost round leaves no contender, so the cycle fails. The backward
// recursion over the rounds adds only non-negative terms, and h and m both
// come to full relative precision (Rayleigh: exp and expm1; Rice: two
// positive series), so success and failure are exact up to rounding. The
// fading laws are the continuous ones, which the simulator's draws resolve
// to 2^-52 (Rayleigh, binomial) or to its 32-bit ziggurat (Rice).
class ExactFadedStation {
 public:
  // Chance that one subcarrier of a link is heard, and missed, each to full
  // relative precision.
  struct Hearing {
    double heard = 1;
    double missed = 0;
  };

  static ExactContention::Outcome Cycle(const VornParams& params);
  // The forward link (the access point hears the station) or the feedback
  // link.
  static Hearing Link(const VornParams& params, bool feedback);
  // A Rice power (sigma g1 + nu)^2 + (sigma g2)^2 against threshold t: with
  // mu = nu^2 / (2 sigma^2) and s = t / (2 sigma^2) it is heard with chance
  // P(J <= N) for independent N ~ Poisson(mu) and J ~ Poisson(s) (Marcum's
  // Q_1).
  static Hearing Rice(double mu, double s);
  // Whether both Poisson means of a Rice law against t are at most 1e4, so
  // that the series' terms keep 1e-11 of relative precision and are few.
  static bool RiceInReach(double sigma, double nu, double t);
};
