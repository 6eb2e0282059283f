// ExactModel: the reach of the exact model and the shares it gives.
#include "core/ExactModel.h"

#include "core/ExactContention.h"
#include "core/ExactQueueChain.h"

namespace {

const char* const kCovers =
    "the model covers identical stations, saturated (ar_type=0) or with Bernoulli arrivals into "
    "a queue of one without retry limit (ar_type=4 queue=1 retry_limit=-1 or -2), no node "
    "groups, on a channel without fading, the network row only";

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
  if (!NoFading(p)) return Refusal(p.Setting(&p.fsf_type));
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
  if (params.ar_type == 0) return Add(shares, 1.0, chain.From(M, false));
  // Ad hoc cooperative stations without a packet are referees from the start.
  std::vector<double> success(M + 1, 0.0), other(M + 1, 1.0);
  for (long n = 1; n <= M; ++n) {
    const ExactContention::Outcome& o = chain.From(n, params.coop && n < M);
    success[n] = o.success;
    other[n] = o.collision + o.failure;
  }
  const double arrival = ExactContention::CoinLaw(params.ar_rate);
  const std::vector<double> law = ExactQueueChain::Stationary(success, other, arrival);
  shares.idle = law[0];
  for (long n = 1; n <= M; ++n) Add(shares, law[n], chain.From(n, params.coop && n < M));
  return shares;
}
