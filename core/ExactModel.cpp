// ExactModel: the reach of the exact model and the shares it gives.
#include "core/ExactModel.h"

#include "core/ExactContention.h"
#include "core/ExactFadedStation.h"
#include "core/ExactQueueChain.h"

namespace {

const char* const kCovers =
    "the model covers identical stations, saturated (ar_type=0) or with Bernoulli arrivals into "
    "a queue of one without retry limit (ar_type=4 queue=1 retry_limit=-1 or -2), no node "
    "groups, on a channel without fading, or one station in access-point mode on a channel faded "
    "afresh every round (M=1 adhoc=0 fsf_fast=1 randsratio=1), the network row only";

std::string Refusal(const std::string& setting) {
  return "Error: exact=1 cannot model " + setting + " (" + kCovers + ").";
}

bool NoFading(const VornParams& params) {
  if (params.channel == ChannelModel::kNone) return true;
  // Binomial fading whose subcarriers are never lost is no fading.
  const bool feedback_faded = !params.adhoc && params.indep && params.fsf_prob_ap > 0;
  return params.channel == ChannelModel::kBinomial && !(params.fsf_prob_node > 0) &&
         !feedback_faded;
}

// Why a fading channel is out of reach, or empty.
std::string FadingOutOfReach(const VornParams& p) {
  const std::string fading = p.Setting(&p.fsf_type) + " with ";
  if (p.M != 1) return fading + p.Setting(&p.M);
  if (p.adhoc) return fading + p.Setting(&p.adhoc);
  if (!p.fsf_fast) return fading + p.Setting(&p.fsf_fast);
  if (p.randsratio != 1) return fading + p.Setting(&p.randsratio);
  if (p.channel != ChannelModel::kRice) return "";
  const bool forward = ExactFadedStation::RiceInReach(p.rice_sigma, p.rice_nu, p.y0_pw);
  const bool feedback = ExactFadedStation::RiceInReach(p.rice_sigma_ap, p.rice_nu_ap, p.y0_pw);
  if (forward && (feedback || !p.indep)) return "";
  return fading + p.Setting(&p.K) + ", " + p.Setting(&p.KAP) + ", " + p.Setting(&p.y) + ", " +
         p.Setting(&p.yAP) + " and " + p.Setting(&p.y0) + ", whose Rice sums need over 1e4 terms";
}

CycleShares& Add(CycleShares& shares, double weight, const ExactContention::Outcome& o) {
  shares.success += weight * o.success;
  shares.collision += weight * o.collision;
  shares.failure += weight * o.failure;
  return shares;
}

}  // namespace

std::string ExactModel::OutOfReach(const VornParams& p) {
  if (p.nodes_def[0] != '\0') return Refusal(std::string("nodes_def=") + p.nodes_def);
  if (p.nodes_file[0] != '\0') return Refusal(std::string("nodes_file=") + p.nodes_file);
  if (!NoFading(p)) {
    const std::string fading = FadingOutOfReach(p);
    if (!fading.empty()) return Refusal(fading);
  }
  if (p.ar_type != 0 && p.ar_type != 4) return Refusal(p.Setting(&p.ar_type));
  if (p.ar_type == 4 && p.queue != 1) return Refusal(p.Setting(&p.queue));
  if (p.ar_type == 4 && p.retry_limit >= 0) return Refusal(p.Setting(&p.retry_limit));
  const void* outputs[] = {&p.nodes_stats, &p.nodes_only, &p.pdf_winners,
                           &p.mc_nodes,    &p.mc_packets, &p.queue_stats};
  const bool wanted[] = {p.nodes_stats, p.nodes_only, p.pdf_winners,
                         p.mc_nodes,    p.mc_packets, p.queue_stats};
  for (int i = 0; i < 6; ++i)
    if (wanted[i]) return Refusal(p.Setting(outputs[i]));
  if (p.show_node >= 0) return Refusal(p.Setting(&p.show_node));
  if (p.flow_stats > 0) return Refusal(p.Setting(&p.flow_stats));
  return "";
}

CycleShares ExactModel::Shares(const VornParams& params, long n_words) {
  CycleShares shares;
  const long M = params.M;
  if (M == 0) {
    shares.idle = 1;
    return shares;
  }
  const ExactContention chain(params, M, n_words);
  // Fading is in reach for a lone station only.
  const bool faded = !NoFading(params);
  const ExactContention::Outcome lone =
      faded ? ExactFadedStation::Cycle(params) : ExactContention::Outcome();
  // Ad hoc cooperative stations without a packet are referees from the start.
  const auto from = [&](long n) -> const ExactContention::Outcome& {
    return faded ? lone : chain.From(n, params.coop && n < M);
  };
  if (params.ar_type == 0) return Add(shares, 1.0, from(M));
  std::vector<double> success(M + 1, 0.0), other(M + 1, 1.0);
  for (long n = 1; n <= M; ++n) {
    success[n] = from(n).success;
    other[n] = from(n).collision + from(n).failure;
  }
  const double arrival = ExactContention::CoinLaw(params.ar_rate);
  const std::vector<double> law = ExactQueueChain::Stationary(success, other, arrival);
  shares.idle = law[0];
  for (long n = 1; n <= M; ++n) Add(shares, law[n], from(n));
  return shares;
}
