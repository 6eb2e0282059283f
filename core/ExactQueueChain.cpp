// ExactQueueChain: the stationary law by state elimination from below.
#include "core/ExactQueueChain.h"

#include <algorithm>
#include <cmath>

#include "support/BinomialTerms.h"

namespace {

std::vector<double> AllAt(long state, long size) {
  std::vector<double> law(size, 0.0);
  law[state] = 1;
  return law;
}

// Turns logarithms of unnormalised weights into a law.
std::vector<double> Normalised(std::vector<double> log_weight) {
  const double top = *std::max_element(log_weight.begin(), log_weight.end());
  double sum = 0;
  for (double& w : log_weight) sum += (w = std::exp(w - top));
  for (double& w : log_weight) w /= sum;
  return log_weight;
}

}  // namespace

std::vector<double> ExactQueueChain::Stationary(const std::vector<double>& success,
                                                const std::vector<double>& other, double arrival) {
  const long M = static_cast<long>(success.size()) - 1;
  // Without arrivals the queues stay as they start, empty; with one every
  // cycle the queues refill at once.
  if (!(arrival > 0)) return AllAt(0, M + 1);
  if (!(arrival < 1)) return AllAt(M, M + 1);
  const double miss = 1 - arrival;
  const BinomialTerms binomial(M + 1);
  std::vector<double> stay(M + 2, 0.0), left(M + 2, 0.0);
  std::vector<double> up(M + 1, 0.0);  // where the censored chain leaves i - 1 to
  std::vector<double> log_weight(M + 1, 0.0);
  std::vector<double> log_leave(M, 0.0);  // log S_i
  for (long i = 0; i < M; ++i) {
    // P(i -> l) for l > i: the winner's queue emptied (n' = i - 1) or not.
    std::fill(stay.begin(), stay.end(), 0.0);
    std::fill(left.begin(), left.end(), 0.0);
    binomial.Fill(M - i, arrival, miss, stay.data());
    if (i > 0) binomial.Fill(M - i + 1, arrival, miss, left.data());
    const double down = i > 0 ? success[i] * std::pow(miss, static_cast<double>(M - i + 1)) : 0;
    double leave = 0;
    for (long l = i + 1; l <= M; ++l) {
      const double row = other[i] * stay[l - i] + success[i] * left[l - i + 1] + down * up[l];
      leave += row;
      up[l] = row;
    }
    for (long l = i + 1; l <= M; ++l) up[l] /= leave;
    log_leave[i] = std::log(leave);
  }
  for (long i = M - 1; i >= 0; --i)
    log_weight[i] = log_weight[i + 1] + std::log(success[i + 1]) + (M - i) * std::log1p(-arrival) -
                    log_leave[i];
  return Normalised(log_weight);
}
