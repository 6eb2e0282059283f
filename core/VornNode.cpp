// Station behaviour: construction, listening, the eight contention states,
// arrivals and outcomes, the channel models, and the station's results.
#include "core/VornNode.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <numeric>
#include <string>

#include "core/Vorn.h"
#include "core/VornNodeStates.h"
#include "stats/SimpleStats.h"

long VornNode::index = 0;

VornNode::VornNode(long n, long ar_type, double ar_rate, long qos_level_, long qos_type_)
    : id(index++), qos_type(qos_type_), qos_level(qos_level_) {
  throughput_flow.window = throughput_flow.next_sample = Params.flow_stats;
  throughput_flow.label = "Ps";
  if (ar_type < 0) ar_type = Params.ar_type;
  if (ar_rate < 0) ar_rate = Params.ar_rate;
  if (ar_type != 4) ar_rate /= Params.DATA;
  queue.Configure(Params.queue, ar_type, ar_rate, Params.queue_stats);
  // The drop record is read only by the flow files; without flow statistics
  // it would grow by a sample per simulated second for nothing, so it is off.
  if (!Params.flow_stats_on) queue.drop_flow.window = queue.drop_flow.next_sample = 0.0;
  if (Params.adhoc && Params.coop) on_empty = &VornNode::EmptyReferee;
  ChooseChannelModel(Params.adhoc ? n : n + 1);
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

void VornNode::ChooseChannelModel(long rows) {
  const long S = Params.F;
  switch (Params.fsf_type) {
    case 2:
    case 4:
      // The rows live in the network's ChannelBlock, which points them there.
      rssi_acc.assign(S, 0.0);
      rssi_link.assign(rows, nullptr);
      IsBusy = &VornNode::IsBusyFromNodelistRSSI;
      ExtractWord = &VornNode::ExtractWordFromNodelistRSSI;
      if (Params.fsf_type == 2) {
        RandChannelsNodes = &VornNode::RandChannelsNodesRayleigh;
        RandChannelsRef = &VornNode::RandChannelsRefRayleigh;
      } else {
        RandChannelsNodes = &VornNode::RandChannelsNodesRice;
        RandChannelsRef = &VornNode::RandChannelsRefRice;
      }
      break;
    case 1:
      link_mask.assign(rows, 0);
      IsBusy = &VornNode::IsBusyFromNodelistMask;
      ExtractWord = &VornNode::ExtractWordFromNodelistMask;
      RandChannelsNodes = &VornNode::RandChannelsNodesBinomial;
      RandChannelsRef = &VornNode::RandChannelsRefBinomial;
      break;
    default:
      link_mask.assign(rows, 0);
      IsBusy = &VornNode::IsBusyFromNodelistFull;
      ExtractWord = &VornNode::ExtractWordFromNodelistFull;
      RandChannelsNodes = &VornNode::RandChannelsNodesNone;
      RandChannelsRef = &VornNode::RandChannelsRefNone;
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

void VornNode::StateContReferee() {
  StateContRefereeWith<&VornNode::ExtractWordByModel>();
}

void VornNode::StateContSecondChancerAdhoc() {
  StateContSecondChancerAdhocWith<&VornNode::ExtractWordByModel>();
}

void VornNode::StateFbkNomineeAdhoc() {
  StateFbkNomineeAdhocWith<&VornNode::ExtractWordByModel>();
}

void VornNode::StateFbkThirdChancerAdhoc() {
  StateFbkThirdChancerAdhocWith<&VornNode::IsBusyByModel>();
}

void VornNode::StateContSecondChancerCentralized() {
  Net.third_chancers.Append(this);
}

void VornNode::StateContSecondChancerCentralizedUnlucky() {}

void VornNode::StateFbkNomineeCentralized() {
  StateFbkNomineeCentralizedWith<&VornNode::ExtractWordByModel>();
}

void VornNode::StateFbkThirdChancerCentralized() {
  StateFbkThirdChancerCentralizedWith<&VornNode::IsBusyByModel>();
}

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

// --- Channel models --------------------------------------------------------

void VornNode::RandChannelsNodesNone(VornNode& peer) {
  link_mask[peer.id] = peer.link_mask[id] = Code.full_mask;
}

void VornNode::RandChannelsNodesBinomial(VornNode& peer) {
  link_mask[peer.id] = peer.link_mask[id] = RandMask(Rand, Params.fsf_prob_node);
}

void VornNode::RandChannelsNodesRayleigh(VornNode& peer) {
  double* mine = rssi_link[peer.id];
  double* theirs = peer.rssi_link[id];
  for (long j = 0; j < Code.n_bits; ++j)
    mine[j] = theirs[j] = Rand.RayleighFading(Params.y_pw, Params.ymin_pw);
}

void VornNode::RandChannelsNodesRice(VornNode& peer) {
  double* mine = rssi_link[peer.id];
  double* theirs = peer.rssi_link[id];
  for (long j = 0; j < Code.n_bits; ++j)
    mine[j] = theirs[j] = Rand.RicePower(Params.rice_sigma, Params.rice_nu);
}

void VornNode::RandChannelsRefNone(VornNode& ap) {
  ap.link_mask[id] = Code.full_mask;
  link_mask[ap.id] = Code.full_mask;
}

void VornNode::RandChannelsRefBinomial(VornNode& ap) {
  const long forward = RandMask(Rand, Params.fsf_prob_node);
  ap.link_mask[id] = forward;
  link_mask[ap.id] = Params.indep ? RandMask(Rand, Params.fsf_prob_ap) : forward;
}

void VornNode::RandChannelsRefRayleigh(VornNode& ap) {
  double* forward = ap.rssi_link[id];
  double* feedback = rssi_link[ap.id];
  for (long j = 0; j < Code.n_bits; ++j) {
    forward[j] = Rand.RayleighFading(Params.y_pw, Params.ymin_pw);
    feedback[j] = Params.indep ? Rand.RayleighFading(Params.yAP_pw, Params.ymin_pw) : forward[j];
  }
}

void VornNode::RandChannelsRefRice(VornNode& ap) {
  double* forward = ap.rssi_link[id];
  double* feedback = rssi_link[ap.id];
  for (long j = 0; j < Code.n_bits; ++j) {
    forward[j] = Rand.RicePower(Params.rice_sigma, Params.rice_nu);
    feedback[j] =
        Params.indep ? Rand.RicePower(Params.rice_sigma_ap, Params.rice_nu_ap) : forward[j];
  }
}

// --- End-of-run statistics -------------------------------------------------

void VornNode::PrintStats(std::ostream& os, bool header) const {
  const double t = sim_time;
  const double slots = Net.n_slots;
  const double succ = n_succ, cont = n_cont, att = n_att;
  const double S = static_cast<double>(Params.APP + Params.DATA) / t * succ / Params.B;
  const double app_share = static_cast<double>(Params.DATA) / (Params.DATA + Params.APP);
  // Queues keep every packet's arrival time, bounded or not, so the mean
  // delay is a real one for both.
  const double D = queue.n_served == 0 ? 0.0 : queue.total_delay / queue.n_served;
  const double tx = Params.t_data * att;
  const double rx = succ * Params.t_ack + (att - succ) * Params.t_preamble;
  const double burst = Params.ts * n_tx, sense = Params.ts * n_rx;
  const double radio = tx + rx + 0.25 * (burst + sense);

  SimpleStats table;
  table.Push("id", id);
  table.Push("M", Net.all_nodes.count);
  table.Push("Na", n_cont);
  table.Push("Nt", n_att);
  table.Push("Ns", n_succ);
  table.Push("Ps_a", succ / cont, "%.4f");
  table.Push("Pc_a", 1 - succ / cont, "%.4f");
  table.Push("Ps_t", succ / att, "%.4f");
  table.Push("Pc_t", 1 - succ / att, "%.4f");
  table.Push("Pt_a", att / cont, "%.4f");
  table.Push("Pt", att / slots, "%.4f");
  table.Push("Pa", cont / slots, "%.4f");
  table.Push("Ps", succ / slots, "%.4f");
  table.Push("T", Params.B * S, "%7.0f");
  table.Push("T_app", app_share * S * Params.B, "%7.0f");
  table.Push("S", S, "%.4f");
  table.Push("S_app", app_share * S, "%.4f");
  table.Push("pps", succ / t, "%.3f");
  table.Push("D_ms", D * 1000, "%.3f");
  table.Push("D", D);
  table.Push("tTx", tx / t);
  table.Push("tRx", rx / t);
  table.Push("tSense", sense / t);
  table.Push("tBurst", burst / t);
  table.Push("tRadio", radio / t);
  table.Push("eff", S / (radio / t));
  table.Push("Pque0", n_empty / slots, "%.4f");
  table.Push("ar_pps", queue.rate, "%6.2f");
  table.Push("ar_load", queue.rate * Params.DATA);
  table.Push("ar_rate", queue.rate * Params.t_succ);
  table.Push("dropsps", queue.n_drops / t, "%6.2f");
  table.Push("Pdrop", static_cast<double>(queue.n_drops) / queue.n_offered, "%.4f");
  if (header && id == 0) table.Header(Params.stats, os);
  table.Print(Params.stats, os);
}

void VornNode::PrintFlowStats(std::ostream& os) const {
  const FlowStats<long>& flow = throughput_flow;
  SimpleStats table;
  for (size_t i = 0; i < flow.time_series.size(); ++i) {
    table.Clear();
    table.Push("time", flow.time_series[i]);
    table.Push("throughput", flow.Rate(i) * Params.DATA);
    table.Push("Ps", flow.Share(i));
    table.Push("pkt_ps", flow.Rate(i));
    // Paired by sample index: the drop record samples on its own, often
    // fewer times, and a sample it lacks reports no drops (Rate gives 0).
    table.Push("pktdrops_ps", queue.drop_flow.Rate(i));
    table.HeaderOnce(os);
    table.Print(os);
  }
}

// A file that cannot be opened is reported and its writes are discarded, so
// the other files and stations are still written.
void VornNode::OpenStationFile(std::ofstream& file, const char* dir, const char* prefix) const {
  const std::string path = std::string(dir) + "/" + prefix + std::to_string(id) + ".csv";
  file.open(path, std::ios::out | std::ios::trunc);
  if (!file) std::fprintf(stderr, "Could not open/create %s%ld output file .\n", prefix, id);
}

void VornNode::DumpFlowStats(const char* dir, const char* prefix) const {
  std::ofstream file;
  OpenStationFile(file, dir, prefix);
  PrintFlowStats(file);
}

void VornNode::DumpSeries(const char* dir, const char* prefix,
                          const std::vector<double>& series) const {
  std::ofstream file;
  OpenStationFile(file, dir, prefix);
  file << std::fixed << std::setprecision(6);
  for (double value : series) file << value << '\n';
}

void VornNode::DumpServiceTimeStats(const char* dir, const char* prefix) const {
  DumpSeries(dir, prefix, queue.service_times);
}

void VornNode::DumpArrivalTimeStats(const char* dir, const char* prefix) const {
  DumpSeries(dir, prefix, queue.arrival_times);
}

void VornNode::DumpDelayTimeStats(const char* dir, const char* prefix) const {
  DumpSeries(dir, prefix, queue.delays);
}

// An unbounded queue keeps one length entry that is never counted; its
// probability, 0 over 0, prints as 0 like the network's distributions.
void VornNode::DumpPacketStats(const char* dir, const char* prefix) const {
  std::ofstream file;
  OpenStationFile(file, dir, prefix);
  const std::vector<long>& hist = queue.length_hist;
  const long total = std::accumulate(hist.begin(), hist.end(), 0L);
  file << "i, n, p_i\n" << std::fixed << std::setprecision(6);
  for (size_t i = 0; i < hist.size(); ++i)
    file << i << ", " << hist[i] << ", "
         << (total == 0 ? 0.0 : static_cast<double>(hist[i]) / total) << '\n';
}
