// Station behaviour: construction, listening, the contention states that do
// not listen, arrivals and outcomes, and the mask channels.
#include "core/VornNode.h"

#include "core/Vorn.h"

long VornNode::index = 0;

VornNode::VornNode(long n, long ar_type, double ar_rate, long qos_level_, long qos_type_)
    : qos_type(qos_type_), qos_level(qos_level_) {
  id = index++;
  throughput_flow.window = throughput_flow.next_sample = Params.flow_stats;
  if (ar_type < 0) ar_type = Params.ar_type;
  if (ar_rate < 0) ar_rate = Params.ar_rate;
  if (ar_type != 4) ar_rate /= Params.DATA;
  queue.Configure(Params.queue, ar_type, ar_rate, Params.queue_stats);
  // The drop record is read only by the flow files; without flow statistics
  // it would grow by a sample per simulated second for nothing, so it is off.
  if (!Params.flow_stats_on) queue.drop_flow.window = queue.drop_flow.next_sample = 0.0;
  if (Params.adhoc && Params.coop) on_empty = &VornNode::EmptyReferee;
  SizeChannelState(Params.adhoc ? n : n + 1);
  BuildRoundDraws();
}

// Strict nodes send the word of their level in round 0; every other round is
// a coin flip with p and a word drawn with tau.
void VornNode::BuildRoundDraws() {
  const long W = Code.n_words;
  round_draws.reserve(Params.R);
  for (long r = 0; r < Params.R; ++r) {
    if (qos_type == 1 && r == 0)
      round_draws.emplace_back(W - 1 - qos_level);
    else
      round_draws.emplace_back(Params.p_table(qos_level, r), Params.tau_table(qos_level, r), W);
  }
}

// The RSSI rows live in the network's ChannelBlock, which points them there.
void VornNode::SizeChannelState(long rows) {
  if (Params.channel == ChannelModel::kRayleigh || Params.channel == ChannelModel::kRice) {
    rssi_acc.assign(Params.subcarriers, 0.0);
    rssi_link.assign(rows, nullptr);
  } else {
    link_mask.assign(rows, 0);
  }
}

// --- Listening -------------------------------------------------------------

// A subcarrier is detected when the summed power of all its senders reaches
// the threshold, so two weak senders can be heard where one alone is not.
void VornNode::ExtractWordFromNodelistRSSI(VornNodelist& list) {
  const long S = Code.n_bits;
  const double y0_pw = Params.y0_pw;
  rx_word = 0;
  for (long j = 0; j < S; ++j) {
    const long bit = 1L << j;
    double acc = 0.0;
    for (VornNode* k : list) {
      if (!(k->tx_word & bit)) continue;
      acc += rssi_link[k->id][j];
      if (acc >= y0_pw) {
        rx_word |= bit;
        break;
      }
    }
    rssi_acc[j] = acc;
  }
}

bool VornNode::IsBusyFromNodelistRSSI(VornNodelist& list) {
  const long S = Code.n_bits;
  const double y0_pw = Params.y0_pw;
  for (long j = 0; j < S; ++j) rssi_acc[j] = 0.0;
  for (VornNode* k : list) {
    const double* link = rssi_link[k->id];
    for (long word = k->tx_word; word != 0; word &= word - 1) {
      const int j = __builtin_ctzl(word);
      rssi_acc[j] += link[j];
      if (rssi_acc[j] >= y0_pw) return true;
    }
  }
  return false;
}

void VornNode::BuildReply() {
  if (rx_word != 0) {
    ++n_tx;
    tx_word = Code.WinningWordFrom(rx_word);
  } else {
    tx_word = 0;
  }
}

bool VornNode::WonRound() const {
  if (rx_word == 0) return Params.greedy;
  return tx_word == Code.WinningWordFrom(rx_word);
}

// The S draws as one batch, free of branches on the draws, which the
// predictor cannot learn.
long VornNode::RandMask(GenRand& rand, double prob) const {
  if (prob <= 0) return Code.full_mask;
  return Code.full_mask & ~static_cast<long>(rand.BernoulliBits(prob, Code.n_bits));
}

// --- Contention states -----------------------------------------------------

// Lower word indices win, so a strict node takes W-1-qos_level in round 0 and
// a statistical one sends W-1-g with g geometric (small g most likely).
void VornNode::StateContContender() {
  const long index = round_draws[Net.round].WordIndex(Rand);
  // Free of branches on the coin, which no predictor can learn: `listens` is
  // all ones for a listener, which keeps its word and index.
  const long listens = index >> 63;
  word_index = (index & ~listens) | (word_index & listens);
  tx_word = (Code.words[word_index] & ~listens) | (tx_word & listens);
  n_tx += 1 + listens;
  VornNodelist* const lists[2] = {&Net.transmitters, &Net.second_chancers};
  lists[-listens]->Append(this);
}

void VornNode::StateContSecondChancerCentralized() {
  Net.third_chancers.Append(this);
}

void VornNode::StateContSecondChancerCentralizedUnlucky() {}

// --- Traffic and outcomes --------------------------------------------------

void VornNode::ArrivePacket() {
  const long before = queue.n_accepted;
  queue.Arrive();
  queue.n_new = queue.n_accepted - before;
  Net.n_packets += queue.n_new;
  if (queue.length != 0) {
    Net.active.Append(this);
    ++n_cont;
  } else {
    ++n_empty;
    (this->*on_empty)();
  }
}

void VornNode::EmptyReferee() {
  Net.referees.Append(this);
}

void VornNode::Succeed() {
  const double now = sim_time;
  const double delay = now - queue.Pop();
  queue.Served(now, delay);
  ++n_succ;
  ++n_att;
  retries = 0;
  throughput_flow.Update(1);
}

// retry_limit -1 and -2 never equal the count, so they mean unlimited.
void VornNode::Collide() {
  ++n_att;
  ++n_coll;
  if (retries == Params.retry_limit)
    DropHead();
  else
    ++retries;
  throughput_flow.Update(0);
}

void VornNode::DropHead() {
  ++queue.n_drops;
  queue.drop_flow.Update(1);
  queue.Pop();
  --Net.n_packets;
  retries = 0;
}

// --- Mask channels ---------------------------------------------------------

void VornNode::RandChannelsNodesNone(VornNode& peer) {
  link_mask[peer.id] = peer.link_mask[id] = Code.full_mask;
}

void VornNode::RandChannelsRefNone(VornNode& ap) {
  ap.link_mask[id] = Code.full_mask;
  link_mask[ap.id] = Code.full_mask;
}

// Only with independent feedback: reciprocal masks are drawn in one batch by
// the network, or are all full when fsf_prob_node is 0.
void VornNode::RandChannelsRefBinomial(VornNode& ap) {
  ap.link_mask[id] = RandMask(Rand, Params.fsf_prob_node);
  link_mask[ap.id] = RandMask(Rand, Params.fsf_prob_ap);
}
