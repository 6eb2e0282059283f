// ExactFadedStation: the per-subcarrier hearing laws of the fading models and
// the backward recursion over the rounds of a lone station.
#include "core/ExactFadedStation.h"

#include <cmath>

namespace {

// The Rice sums stop once their rest is provably below this share of them.
constexpr double kRest = 0x1p-60;

// P(Poisson(mean) = n), from logarithms so that no factor under- or
// overflows on its own.
double Pmf(double mean, long n) {
  if (mean == 0) return n == 0 ? 1.0 : 0.0;
  return std::exp(n * std::log(mean) - mean - std::lgamma(n + 1.0));
}

// Sum over n of P(Poisson(outer) = n) P(Poisson(inner) <= n - shift); all
// terms are non-negative. The rest after term n is at most P(Poisson(outer)
// > n), and once n + 2 > outer the pmf's ratios beyond n + 1 are below
// outer / (n + 2), so that rest is below pmf(n + 1) (n + 2) / (n + 2 - outer).
double PoissonPairSum(double outer, double inner, long shift) {
  double sum = 0, below = 0;  // below: P(Poisson(inner) <= n - shift)
  for (long n = 0;; ++n) {
    if (n >= shift) below += Pmf(inner, n - shift);
    sum += Pmf(outer, n) * below;
    const double next = n + 2.0;
    if (next > outer && Pmf(outer, n + 1) * next / (next - outer) <= kRest * sum) return sum;
  }
}

ExactFadedStation::Hearing Binomial(double faded_prob) {
  ExactFadedStation::Hearing h;
  h.missed = faded_prob > 0 ? ExactContention::CoinLaw(faded_prob) : 0.0;
  h.heard = 1 - h.missed;  // exact: the coin's law is on the 2^-52 grid
  return h;
}

// Power floor + exponential of the mean against the threshold t.
ExactFadedStation::Hearing Rayleigh(double mean, double floor, double t) {
  ExactFadedStation::Hearing h;
  const double excess = (t - floor) / mean;
  if (!(excess > 0)) return h;
  h.heard = std::exp(-excess);
  h.missed = -std::expm1(-excess);
  return h;
}

constexpr double kRiceReach = 1e4;

// The Poisson means of a Rice law against the threshold t.
double RiceMean(double sigma, double nu) {
  return nu * nu / (2 * sigma * sigma);
}
double RiceThreshold(double sigma, double t) {
  return t / (2 * sigma * sigma);
}

ExactFadedStation::Hearing RiceLaw(double sigma, double nu, double t) {
  return ExactFadedStation::Rice(RiceMean(sigma, nu), RiceThreshold(sigma, t));
}

// A word is heard when any of its L subcarriers is.
ExactFadedStation::Hearing Word(const ExactFadedStation::Hearing& h, long L) {
  const double log_missed = h.heard < 0.5 ? std::log1p(-h.heard) : std::log(h.missed);
  return {-std::expm1(L * log_missed), std::exp(L * log_missed)};
}

}  // namespace

// The logarithms of the terms are off by about 1e-16 of n log n, which
// stays below 1e-11 for means up to 1e4.
bool ExactFadedStation::RiceInReach(double sigma, double nu, double t) {
  return RiceMean(sigma, nu) <= kRiceReach && RiceThreshold(sigma, t) <= kRiceReach;
}

ExactFadedStation::Hearing ExactFadedStation::Rice(double mu, double s) {
  Hearing h;
  h.heard = PoissonPairSum(mu, s, 0);   // P(J <= N)
  h.missed = PoissonPairSum(s, mu, 1);  // P(N <= J - 1)
  return h;
}

ExactFadedStation::Hearing ExactFadedStation::Link(const VornParams& p, bool feedback) {
  switch (p.channel) {
    case ChannelModel::kBinomial:
      return Binomial(feedback ? p.fsf_prob_ap : p.fsf_prob_node);
    case ChannelModel::kRayleigh:
      return Rayleigh(feedback ? p.yAP_pw : p.y_pw, p.ymin_pw, p.y0_pw);
    case ChannelModel::kRice:
      if (feedback) return RiceLaw(p.rice_sigma_ap, p.rice_nu_ap, p.y0_pw);
      return RiceLaw(p.rice_sigma, p.rice_nu, p.y0_pw);
    case ChannelModel::kNone:
      break;
  }
  return Hearing();
}

ExactContention::Outcome ExactFadedStation::Cycle(const VornParams& params) {
  const Hearing fwd = Word(Link(params, false), params.L);
  Hearing fbk;
  if (params.indep) fbk = Word(Link(params, true), params.L);
  // A round that sends is won, or lost when the access point misses the word
  // or hears it and the station misses the reply.
  double won = fwd.heard * fbk.heard, lost = fwd.missed + fwd.heard * fbk.missed;
  if (params.greedy) {
    won = 1;
    lost = 0;
  }
  ExactContention::Outcome o;
  o.success = 1;  // after the last round the station is left alone
  for (long r = params.R - 1; r >= 0; --r) {
    const double c = ExactContention::CoinLaw(params.p_table(0, r));
    const ExactContention::Outcome on = o;
    const double won_success = params.greedy ? 1 : on.success;
    const double won_failure = params.greedy ? 0 : on.failure;
    o.success = c * won * won_success + (params.unlucky ? 0 : (1 - c) * on.success);
    o.failure = c * (lost + won * won_failure) + (1 - c) * (params.unlucky ? 1 : on.failure);
  }
  return o;
}
