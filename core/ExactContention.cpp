// ExactContention: the backward recursion over the rounds of a cycle and the
// simulator's coin and word laws.
#include "core/ExactContention.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "random/GenRand.h"

namespace {

constexpr double kGrid = 4503599627370496.0;  // 2^52 points of U in [0, 1)

// Terminal values: after the last round one contender succeeds, several
// collide (none is left only after a failure, already counted).
ExactContention::Outcome AfterLastRound(long k) {
  ExactContention::Outcome o;
  if (k == 0) o.failure = 1;
  if (k == 1) o.success = 1;
  if (k >= 2) o.collision = 1;
  return o;
}

void AddScaled(ExactContention::Outcome& sum, double weight, const ExactContention::Outcome& o) {
  sum.success += weight * o.success;
  sum.collision += weight * o.collision;
  sum.failure += weight * o.failure;
}

// Points of the grid below the first one at which the geometric draw reaches
// index g; the draw is monotone in U, so a bisection finds it.
double GridPointsBelow(double log_tau, double tail, long n, long g) {
  uint64_t lo = 0, hi = static_cast<uint64_t>(kGrid);
  while (lo < hi) {
    const uint64_t mid = lo + (hi - lo) / 2;
    if (GenRand::GeometricIndexScaled(log_tau, tail, n, mid / kGrid) >= g)
      hi = mid;
    else
      lo = mid + 1;
  }
  return static_cast<double>(lo);
}

}  // namespace

ExactContention::ExactContention(const VornParams& params, long stations_, long n_words)
    : stations(stations_),
      adhoc(params.adhoc != 0),
      greedy(params.greedy),
      unlucky(params.unlucky),
      binomial(stations_),
      with_referees(stations_ + 1),
      without_referees(stations_ + 1),
      to_with(stations_ + 1),
      to_without(stations_ + 1),
      terms(stations_ + 1) {
  for (long k = 0; k <= stations; ++k) with_referees[k] = without_referees[k] = AfterLastRound(k);
  for (long r = params.R - 1; r >= 0; --r)
    Round(CoinLaw(params.p_table(0, r)), WordLaw(params.tau_table(0, r), n_words));
}

double ExactContention::CoinLaw(double p) {
  return std::min(1.0, std::ceil(p * kGrid) / kGrid);
}

std::vector<double> ExactContention::WordLaw(double tau, long n_words) {
  const long n = std::max(n_words, 1L);
  // Shares of the draw g; the word index is n-1-g.
  std::vector<double> g_law(n);
  if (tau == 1.0 || tau == 0.0) {
    const double width = UINT32_MAX / static_cast<uint32_t>(n), draws = 4294967296.0;
    for (long g = 0; g + 1 < n; ++g) g_law[g] = width / draws;
    g_law[n - 1] = (draws - (n - 1) * width) / draws;
  } else {
    const double log_tau = std::log(tau), tail = 1.0 - std::pow(tau, static_cast<double>(n));
    double below = 0;
    for (long g = 0; g < n; ++g) {
      const double next = g + 1 < n ? GridPointsBelow(log_tau, tail, n, g + 1) : kGrid;
      g_law[g] = (next - below) / kGrid;
      below = next;
    }
  }
  return std::vector<double>(g_law.rbegin(), g_law.rend());
}

void ExactContention::Round(double p, const std::vector<double>& q) {
  const long n = static_cast<long>(q.size());
  std::vector<double> a(n), b(n);
  std::vector<std::vector<double>> listens(n, std::vector<double>(stations + 1, 0.0));
  double worse = 0;  // Q(>w)
  for (long w = n - 1; w >= 0; --w) {
    a[w] = p * q[w];
    b[w] = (1 - p) + p * worse;
    worse += q[w];
    // 1 - (c/b)^m, c = b - (1-p): some of m others listens.
    if (adhoc && p < 1) {
      const double log_share = std::log1p(-(1 - p) / b[w]);
      for (long m = 1; m <= stations; ++m) listens[w][m] = -std::expm1(m * log_share);
    }
  }
  next_with = with_referees;
  next_without = without_referees;
  Outcome silent;
  silent.failure = 1;
  for (long k = 1; k <= stations; ++k) {
    const double z = std::pow(1 - p, static_cast<double>(k));
    Transitions(k, a, b, listens);
    with_referees[k] = Onwards(k, to_with);
    AddScaled(with_referees[k], z, unlucky ? silent : next_with[k]);
    if (!adhoc) continue;
    without_referees[k] = Onwards(k, to_without);
    AddScaled(without_referees[k], z, unlucky ? silent : next_without[k]);
    AddScaled(without_referees[k], std::pow(p, static_cast<double>(k)), next_without[k]);
  }
}

void ExactContention::Transitions(long k, const std::vector<double>& a,
                                  const std::vector<double>& b,
                                  const std::vector<std::vector<double>>& listens) {
  std::fill(to_with.begin(), to_with.begin() + k + 1, 0.0);
  std::fill(to_without.begin(), to_without.begin() + k + 1, 0.0);
  for (size_t w = 0; w < a.size(); ++w) {
    const BinomialTerms::Range range = binomial.Fill(k, a[w], b[w], terms.data());
    const double* listen = listens[w].data();
    for (long j = std::max(range.lo, 1L); j <= range.hi; ++j) {
      to_with[j] += terms[j];
      to_without[j] += terms[j] * listen[k - j];
    }
  }
}

ExactContention::Outcome ExactContention::Onwards(long k, const std::vector<double>& to) const {
  Outcome sum;
  for (long j = 1; j <= k; ++j) {
    if (greedy && j == 1)
      sum.success += to[j];
    else
      AddScaled(sum, to[j], next_with[j]);
  }
  return sum;
}
