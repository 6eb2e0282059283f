// Station behaviour: construction, listening, the contention states that do
// not listen, arrivals and outcomes, and the mask channels.
#include "core/VornNode.h"

#include "core/Vorn.h"

long VornNode::index = 0;

VornNode::VornNode(long ar_type, double ar_rate, long qos_level_, long qos_type_)
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
  if (Params.channel == ChannelModel::kRayleigh || Params.channel == ChannelModel::kRice)
    rssi_acc.assign(Params.subcarriers, 0.0);
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

// --- Listening -------------------------------------------------------------

bool VornNode::IsBusyFromNodelistMask(VornNodelist& list) {
  rx_word = 0;
  for (VornNode* k : list) {
    if (k->tx_word == 0) continue;
    rx_word = Net.masks.Mask(Rand, id, k->id) & k->tx_word;
    if (rx_word != 0) return true;
  }
  return false;
}

void VornNode::ExtractWordFromNodelistMask(VornNodelist& list) {
  long heard = 0;
  for (VornNode* k : list)
    if (k->tx_word != 0) heard |= Net.masks.Mask(Rand, id, k->id) & k->tx_word;
  rx_word = heard;
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

// --- Contention states -----------------------------------------------------

// Lower word indices win, so a strict node takes W-1-qos_level in round 0 and
// a statistical one sends W-1-g with g geometric (small g most likely).
void VornNode::StateContContender() {
  const long index = DrawWordIndex(Net.round);
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
bool VornNode::Collide() {
  ++n_att;
  ++n_coll;
  throughput_flow.Update(0);
  if (retries != Params.retry_limit) {
    ++retries;
    return false;
  }
  DropHead();
  return true;
}

void VornNode::DropHead() {
  ++queue.n_drops;
  queue.drop_flow.Update(1);
  queue.Pop();
  --Net.n_packets;
  retries = 0;
}
