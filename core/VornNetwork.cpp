// The contention engine: building the network, the stop conditions, and one
// contention cycle read top to bottom.
#include "core/VornNetwork.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/Vorn.h"
#include "core/VornNodeStates.h"
#include "stats/PrecisionReport.h"
#include "stats/ProgressLine.h"

VornNetwork::VornNetwork() : keep_running(&VornNetwork::StopBySlots) {
  pktps_flow.window = pktps_flow.next_sample = 0.0;
  ps_flow.window = ps_flow.next_sample = 0.0;
}

// --- Start-up --------------------------------------------------------------

void VornNetwork::Initialize() {
  Reset();
  if (!Params.node_groups.empty()) {
    all_nodes = BuildNodes();
  } else {
    all_nodes = NewList(Params.M);
    for (long i = 0; i < Params.M; ++i) {
      nodes.emplace_back(new VornNode(Params.ar_type, Params.ar_rate, 0, 0));
      all_nodes.Append(nodes.back().get());
    }
  }
  const long n = all_nodes.count;
  if (Params.adhoc) {
    referees = NewList(n);
  } else {
    nodes.emplace_back(new VornNode(-1, -1.0, 0, 0));
    ap = nodes.back().get();
    referees = NewList(1);
    referees.Append(ap);
  }
  AttachChannels();
  active = NewList(n);
  transmitters = NewList(n);
  second_chancers = NewList(n);
  third_chancers = NewList(n);
  winners = NewList(n);
  contenders.Show(active);
  word_slots.assign(n > 0 ? n : 1, 0);
  saturated = std::all_of(all_nodes.begin(), all_nodes.end(),
                          [](const VornNode* node) { return node->queue.type == 0; });
  ChooseStopCondition();
  CheckRunCanEnd();
  CheckPrecisionTarget();
  SizeRecords(n);
  ChooseVariants();
}

void VornNetwork::Reset() {
  round = n_att = n_slots = n_fail = n_succ = n_coll = n_idle = n_packets = 0;
  nodes.clear();
  arrays.clear();
  ap = nullptr;
  channels_drawn = false;
  batches.Reset();
  ended_by = "";
  VornNode::ResetIds();
}

VornNodelist VornNetwork::NewList(long capacity) {
  arrays.emplace_back(capacity > 0 ? capacity : 1, nullptr);
  VornNodelist list;
  list.items = arrays.back().data();
  return list;
}

VornNodelist VornNetwork::BuildNodes() {
  const ArrayDense<double, unsigned>& groups = Params.node_groups;
  long n = 0;
  for (unsigned row = 0; row < groups.d1; ++row) n = static_cast<long>(n + groups(row, 0));
  VornNodelist list = NewList(n);
  for (unsigned row = 0; row < groups.d1; ++row) {
    const double count = groups(row, 0);
    for (long created = 0; created < count; ++created) {
      nodes.emplace_back(new VornNode(static_cast<long>(groups(row, 1)), groups(row, 2),
                                      static_cast<long>(groups(row, 3)),
                                      static_cast<long>(groups(row, 4))));
      list.Append(nodes.back().get());
    }
  }
  return list;
}

// Only the links a listener can read are stored: station pairs when stations
// hear each other (ad hoc mode, or peers without unlucky), and the access
// point's links. Without fading every word is heard in full and nothing is
// stored.
void VornNetwork::AttachChannels() {
  const long n = all_nodes.count, S = Params.subcarriers;
  const bool with_ap = ap != nullptr;
  const bool pairs = Params.adhoc || (Params.peers && !Params.unlucky);
  const bool indep = Params.indep;
  switch (Params.channel) {
    case ChannelModel::kRayleigh:
      powers.Attach(n, with_ap, pairs, indep, S, {Params.y_pw, Params.ymin_pw},
                    {Params.yAP_pw, Params.ymin_pw});
      draw_channels = &VornNetwork::NewPowersEpoch;
      return;
    case ChannelModel::kRice:
      powers.Attach(n, with_ap, pairs, indep, S, {Params.rice_sigma, Params.rice_nu},
                    {Params.rice_sigma_ap, Params.rice_nu_ap});
      draw_channels = &VornNetwork::NewPowersEpoch;
      return;
    case ChannelModel::kBinomial:
      masks.Attach(n, with_ap, pairs, indep, S, Code.full_mask, Params.fsf_prob_node,
                   Params.fsf_prob_ap);
      draw_channels = &VornNetwork::NewMasksEpoch;
      return;
    case ChannelModel::kNone:
      draw_channels = &VornNetwork::DrawNothing;
  }
}

void VornNetwork::ChooseStopCondition() {
  if (Params.time > 0)
    keep_running = &VornNetwork::StopByTime;
  else if (Params.frames >= 1)
    keep_running = &VornNetwork::StopByFrames;
  else if (Params.attempts >= 1)
    keep_running = &VornNetwork::StopByAttempts;
  else if (Params.runs >= 1)
    keep_running = &VornNetwork::StopBySlots;
  else if (Params.precision > 0)
    keep_running = &VornNetwork::StopByPrecisionOnly;
  else {
    std::fputs(
        "You must specify a valid stop condition, either 'time', 'frames' or 'time' (in order of "
        "precedence).",
        stderr);
    std::exit(1);
  }
}

// Frames and attempts need packets; a network whose stations can never hold
// one would loop for ever, and so would a time limit on a clock that never
// advances.
void VornNetwork::CheckRunCanEnd() const {
  if (keep_running == &VornNetwork::StopByFrames || keep_running == &VornNetwork::StopByAttempts) {
    if (!CanHavePackets()) {
      std::fputs(
          "Error: no station can ever have a packet to send (no stations, or every arrival rate "
          "is 0), so the stop condition 'frames' or 'attempts' can never be met; use 'time' or "
          "'runs' instead.\n",
          stderr);
      std::exit(1);
    }
  }
  if (keep_running == &VornNetwork::StopByTime && !(Params.t_coll > 0)) {
    std::fprintf(stderr,
                 "Error: the contention cycle lasts %g s (t_coll), so the stop condition 'time' "
                 "can never be met; it must be positive.\n",
                 Params.t_coll);
    std::exit(1);
  }
}

bool VornNetwork::CanHavePackets() const {
  for (VornNode* node : all_nodes)
    if (node->queue.type == 0 || node->queue.rate > 0) return true;
  return false;
}

// Targets on a metric that is 0 (or undefined) in every cycle would never
// be met, so a run with nothing else to stop it would never end. The metric
// found here is the one the batch boundaries check.
void VornNetwork::CheckPrecisionTarget() {
  const PrecisionMetric* metric = precision_target = PrecisionReport::Find(Params.precision_metric);
  if (metric == nullptr) {
    std::fprintf(stderr, "Error: precision_metric=%s is out of range (accepted: %s).\n",
                 Params.precision_metric, PrecisionReport::Names().c_str());
    std::exit(1);
  }
  if (!(Params.precision > 0)) return;
  const std::string name = metric->name;
  const char* why = nullptr;
  if (name != "Pi" && !CanHavePackets())
    why = "no station can ever have a packet to send";
  else if (name == "Pi" && saturated && all_nodes.count > 0)
    why = "every station is saturated, so no cycle is idle";
  else if (name == "Pc" && all_nodes.count < 2)
    why = "a collision needs two stations";
  else if (name == "Pf" && Params.channel == ChannelModel::kNone && !Params.unlucky)
    why = "without fading every station hears the best word, so its sender always survives";
  else if (name == "Pc_a" && all_nodes.count < 2 && Params.channel == ChannelModel::kNone &&
           !Params.unlucky)
    why = "a station alone and without fading succeeds in every attempt";
  if (why == nullptr) return;
  std::fprintf(stderr,
               "Error: precision=%g with precision_metric=%s can never be met: %s, and %s is 0 "
               "in every cycle.\n",
               Params.precision, Params.precision_metric, why, metric->name);
  std::exit(1);
}

void VornNetwork::SizeRecords(long n) {
  winners_pdf.Resize(n + 1);
  nodes_pdf.Resize(n + 1);
  if (Params.mc_packets) {
    const long states = Params.queue * n + 1;
    packets_pdf.Resize(states);
    packets_tp.Resize(states);
    arrivals_tp.Resize(states);
  }
  const double window = Params.flow_stats_on ? Params.flow_stats : 0.0;
  pktps_flow = FlowStats<long>();
  ps_flow = FlowStats<long>();
  pktps_flow.window = pktps_flow.next_sample = window;
  ps_flow.window = ps_flow.next_sample = window;
}

void VornNetwork::ChooseVariants() {
  rounds = Params.R;
  randsratio = Params.randsratio;
  t_coll = Params.t_coll;
  silent_round = Params.unlucky ? &VornNetwork::SilentRoundFails : &VornNetwork::SilentRoundIsVoid;
  round_ends = Params.greedy ? &VornNetwork::RoundEndsOnLoneWinner : &VornNetwork::RoundEndsNever;
  ChooseArrivals();
  clear_packets = Params.mc_packets ? &VornNetwork::ClearPacketStates : &VornNetwork::RecordNever;
  if (Params.mc_nodes)
    record_states = Params.mc_packets ? &VornNetwork::RecordStates<true, true>
                                      : &VornNetwork::RecordStates<true, false>;
  else
    record_states =
        Params.mc_packets ? &VornNetwork::RecordStates<false, true> : &VornNetwork::RecordNever;
  const bool attempts_read = Params.pdf_winners || Params.flow_stats_on;
  record_attempt = attempts_read ? &VornNetwork::RecordAttempt : &VornNetwork::RecordAttemptNever;
  // The listening operations of the channel model, instantiated in the cycle:
  // received powers (fsf_type 2 and 4), masks (fsf_type 1), or every word
  // heard in full (no fading).
  switch (Params.channel) {
    case ChannelModel::kRayleigh:
      UseListening<&VornNode::ExtractWordFromNodelistRSSI<false>,
                   &VornNode::IsBusyFromNodelistRSSI<false>>();
      break;
    case ChannelModel::kRice:
      UseListening<&VornNode::ExtractWordFromNodelistRSSI<true>,
                   &VornNode::IsBusyFromNodelistRSSI<true>>();
      break;
    case ChannelModel::kBinomial:
      UseListening<&VornNode::ExtractWordFromNodelistMask, &VornNode::IsBusyFromNodelistMask>();
      break;
    case ChannelModel::kNone:
      if (LawIsShared())
        UseFullListening<true>();
      else
        UseFullListening<false>();
  }
  // Without fading nothing is stored, so nothing is ever redrawn.
  if (Params.channel == ChannelModel::kNone)
    rand_channels = &VornNetwork::RandChannelsNever;
  else
    rand_channels = Params.fsf_fast ? &VornNetwork::RandChannelsEveryRound
                                    : &VornNetwork::RandChannelsFirstRound;
}

// Saturated stations with bounded queues hold a packet once the arrival is
// in, so all of them contend, and only those with room have work to do.
// Bernoulli stations with bounded queues draw their arrivals in one loop.
void VornNetwork::ChooseArrivals() {
  const bool bounded = Params.queue >= 1 && !Params.queue_stats && !Params.flow_stats_on;
  const bool bulk = saturated && bounded;
  const bool bernoulli = std::all_of(all_nodes.begin(), all_nodes.end(),
                                     [](const VornNode* node) { return node->queue.type == 4; });
  if (bulk)
    arrive_all = &VornNetwork::ArriveAllSaturated;
  else if (bernoulli && bounded && Params.adhoc && Params.coop)
    arrive_all = &VornNetwork::ArriveAllBernoulli<true>;
  else if (bernoulli && bounded)
    arrive_all = &VornNetwork::ArriveAllBernoulli<false>;
  else
    arrive_all = &VornNetwork::ArriveAll;
  room_made = bulk ? &VornNetwork::RoomToRefill : &VornNetwork::RoomIgnored;
  refills = NewList(all_nodes.count);
  if (bulk)
    for (VornNode* node : all_nodes) refills.Append(node);
  bulk_arrivals = 0;
}

template <bool shared>
void VornNetwork::UseFullListening() {
  if (Params.adhoc)
    contend = &VornNetwork::ContendAdhocFull<shared>;
  else if (Params.unlucky)
    contend = &VornNetwork::ContendCentralizedFull<true, shared>;
  else
    contend = &VornNetwork::ContendCentralizedFull<false, shared>;
}

bool VornNetwork::LawIsShared() {
  shared_draws.clear();
  if (all_nodes.count == 0) return false;
  const VornNode& first = *all_nodes[0];
  for (const VornNode* node : all_nodes)
    if (node->qos_level != first.qos_level || node->qos_type != first.qos_type) return false;
  const std::vector<ContentionDraw>& draws = first.RoundDraws();
  if (!std::all_of(draws.begin(), draws.end(), [](const auto& d) { return d.IsUniform(); }))
    return false;
  shared_draws = draws;
  return true;
}

// The instances of the cycle: adhoc picks the mode, unlucky and peers what
// second chancers do in infrastructure mode.
template <VornNode::Extractor extract, VornNode::BusyTest busy>
void VornNetwork::UseListening() {
  if (Params.adhoc)
    contend = &VornNetwork::ContendAdhocWith<extract, busy>;
  else
    contend = &VornNetwork::ContendCentralizedWith<extract, busy>;
  if (Params.unlucky)
    second_chancer_centralized = &VornNode::StateContSecondChancerCentralizedUnlucky;
  else if (Params.peers)
    second_chancer_centralized = &VornNode::StateContSecondChancerCentralizedPeersWith<busy>;
  else
    second_chancer_centralized = &VornNode::StateContSecondChancerCentralized;
}

// --- The run ---------------------------------------------------------------

// Cycles run in stretches that end at a batch boundary, where the batch is
// closed from the cumulative counters, and on a terminal also every few
// hundred cycles for the progress line; the cycle itself records nothing.
void VornNetwork::Simulation() {
  chrono.start();
  ProgressLine progress(stderr);
  const long stride = progress.enabled() ? 256 : std::numeric_limits<long>::max() / 2;
  for (ended_by = nullptr; ended_by == nullptr;) {
    const long boundary = batches.NextBoundary();
    if (!RunCycles(std::min(boundary, n_slots + stride)))
      ended_by = StopName();
    else if (n_slots == boundary && BatchReachesPrecision())
      ended_by = (this->*keep_running)() ? "precision" : StopName();
    if (progress.enabled()) progress.Show(DoneFraction(), n_slots);
  }
  progress.Erase();
  SettleBulkArrivals();
  chrono.stop();
}

bool VornNetwork::RunCycles(long until) {
  while (n_slots < until) {
    if (!(this->*keep_running)()) return false;
    (this->*contend)();
  }
  return true;
}

// The target is checked from 30 batches after the warm-up on, so that the
// interval rests on enough batches to be trusted. Batches that all agree
// (every early cycle a success) give an interval of 0; n cycles cannot tell
// a share to better than 3 / n (the rule of three), so the run goes on to at
// least 3 / precision cycles after the warm-up.
bool VornNetwork::BatchReachesPrecision() {
  constexpr long kMinBatchesToStop = 30;
  const BatchMeans::Totals now = Totals();
  batches.Close(now);
  if (!(Params.precision > 0) || batches.count < kMinBatchesToStop) return false;
  const PrecisionMetric& metric = *precision_target;
  const PrecisionReport report(Params, batches, now, saturated);
  BatchMeans::Estimate estimate;
  const double value = report.Value(metric, estimate);
  const double cycles = static_cast<double>(estimate.batches) * batches.batch_cycles;
  return estimate.has_ci && estimate.batches >= kMinBatchesToStop && std::fabs(value) > 0 &&
         estimate.ci95 <= Params.precision * std::fabs(value) && 3 <= Params.precision * cycles;
}

BatchMeans::Totals VornNetwork::Totals() const {
  BatchMeans::Totals t{};
  t[BatchMeans::kCycles] = n_slots;
  t[BatchMeans::kTime] = sim_time;
  t[BatchMeans::kSuccesses] = n_succ;
  t[BatchMeans::kCollisions] = n_coll;
  t[BatchMeans::kFailures] = n_fail;
  t[BatchMeans::kIdles] = n_idle;
  t[BatchMeans::kAttempts] = n_att;
  for (const VornNode* node : all_nodes) {
    t[BatchMeans::kDelay] += node->queue.total_delay;
    t[BatchMeans::kServed] += node->queue.n_served;
  }
  return t;
}

const char* VornNetwork::StopName() const {
  if (keep_running == &VornNetwork::StopByTime) return "time";
  if (keep_running == &VornNetwork::StopByFrames) return "frames";
  if (keep_running == &VornNetwork::StopByAttempts) return "attempts";
  return "runs";
}

double VornNetwork::DoneFraction() const {
  if (keep_running == &VornNetwork::StopByTime) return sim_time / Params.time;
  if (keep_running == &VornNetwork::StopByFrames) return double(n_succ) / Params.frames;
  if (keep_running == &VornNetwork::StopByAttempts) return double(n_att) / Params.attempts;
  if (keep_running == &VornNetwork::StopByPrecisionOnly) return 0.0;
  return double(n_slots) / Params.runs;
}

bool VornNetwork::StopByTime() const {
  return sim_time < Params.time;
}
bool VornNetwork::StopByFrames() const {
  return n_succ < Params.frames;
}
bool VornNetwork::StopByAttempts() const {
  return n_att < Params.attempts;
}
bool VornNetwork::StopBySlots() const {
  return n_slots < Params.runs;
}

// --- One contention cycle --------------------------------------------------

// Flattened: every state the cycle runs is inlined into its loops (across
// files in Release builds, which optimise at link time).
template <VornNode::Extractor extract, VornNode::BusyTest busy>
__attribute__((flatten)) void VornNetwork::ContendAdhocWith() {
  referees.Clear();  // referees never carry over from one cycle to the next
  if (!BeginCycle()) return;
  for (round = 0; round < rounds; ++round) {
    if (!ContentionSlot()) {
      if ((this->*silent_round)()) return;
      continue;
    }
    if (referees.count != 0) {
      for (VornNode* node : referees) node->StateContRefereeWith<extract>();
    } else if (second_chancers.count == 0) {
      continue;  // void round: nobody can referee
    }
    for (VornNode* node : second_chancers) node->StateContSecondChancerAdhocWith<extract>();
    if (referees.count == 0) continue;
    // Losers join referees during these passes and are heard by later nodes.
    for (VornNode* node : transmitters) node->StateFbkNomineeAdhocWith<extract>();
    for (VornNode* node : third_chancers) node->StateFbkThirdChancerAdhocWith<busy>();
    contenders.Show(winners);
    if ((this->*round_ends)()) return;
  }
  Conclude();
}

template <VornNode::Extractor extract, VornNode::BusyTest busy>
__attribute__((flatten)) void VornNetwork::ContendCentralizedWith() {
  if (!BeginCycle()) return;
  for (round = 0; round < rounds; ++round) {
    if (!ContentionSlot()) {
      if ((this->*silent_round)()) return;
      continue;
    }
    for (VornNode* node : second_chancers) (node->*second_chancer_centralized)();
    ap->StateContRefereeWith<extract>();
    for (VornNode* node : transmitters) node->StateFbkNomineeCentralizedWith<extract>();
    for (VornNode* node : third_chancers) node->StateFbkThirdChancerCentralizedWith<busy>();
    contenders.Show(winners);
    if ((this->*round_ends)()) return;
  }
  Conclude();
}

// Unlucky listeners drop out; the others listen to the access point's reply,
// as peers do to the senders, and every word sent makes them drop out.
template <bool unlucky, bool shared>
__attribute__((flatten)) void VornNetwork::ContendCentralizedFull() {
  if (!BeginCycle()) return;
  for (round = 0; round < rounds; ++round) {
    auto tally = CentralTally<unlucky, shared>();
    DrawWords<shared>(tally);
    if (tally.best == kNoneSent) {
      UndoHeard<unlucky>();
      if ((this->*silent_round)()) return;
      continue;
    }
    ++ap->n_rx;  // hears the words, replies with the best
    ap->n_tx += 2;
    winners.count = tally.kept - winners.items;
    contenders.Show(winners);
    if ((this->*round_ends)()) return;
  }
  Conclude();
}

// Referees stay referees for the rest of the cycle and answer every round.
template <bool shared>
__attribute__((flatten)) void VornNetwork::ContendAdhocFull() {
  referees.Clear();
  if (!BeginCycle()) return;
  for (round = 0; round < rounds; ++round) {
    SlotTally tally(word_slots.data());
    DrawWords<shared>(tally);
    if (tally.best == kNoneSent) {
      if ((this->*silent_round)()) return;
      continue;
    }
    if (referees.count == 0 && tally.senders == contenders.count) continue;  // void round
    for (VornNode* node : referees) {
      ++node->n_rx;
      node->n_tx += 2;
    }
    RefereeOrKeep(tally.best);
    if ((this->*round_ends)()) return;
  }
  Conclude();
}

template <bool unlucky, bool shared>
auto VornNetwork::CentralTally() {
  if constexpr (shared)
    return BestKeys<unlucky>(winners.items, shared_draws[round]);
  else
    return BestSenders<unlucky>(winners.items);
}

template <bool shared, class Tally>
void VornNetwork::DrawWords(Tally& tally) {
  if constexpr (shared)
    DrawWordsShared(tally);
  else
    DrawWordsEach(tally);
}

template <class Tally>
void VornNetwork::DrawWordsEach(Tally& tally) {
  for (VornNode* node : contenders) tally.Add(node, node->DrawWordIndex(round));
}

// In stretches of the contenders whose words are all left before the
// regeneration; the one contender whose words straddle it draws as usual.
template <class Tally>
void VornNetwork::DrawWordsShared(Tally& tally) {
  // A copy, so that the law's constants stay in registers across the stores.
  const ContentionDraw law = shared_draws[round];
  for (VornNode **node = contenders.begin(), **end = contenders.end(); node != end;) {
    long left;
    const double* words = Rand.WordsAhead(left);
    VornNode** const stop = node + std::min<long>(end - node, left / 2);
    if (stop == node) {
      tally.Add(*node, law.WordIndex(Rand));
      ++node;
      continue;
    }
    long taken = 0;
    for (; node != stop; ++node) tally.AddFromWords(*node, law, words + taken, taken);
    Rand.Skip(taken);
  }
}

// Nobody sent, so nobody heard a reply.
template <bool unlucky>
void VornNetwork::UndoHeard() {
  if (!unlucky)
    for (VornNode* node : contenders) --node->n_rx;
}

// Listeners hear the words and referee, replying with the best; senders hear
// the replies, and those of a worse word referee from now on.
void VornNetwork::RefereeOrKeep(unsigned long best) {
  const long* slot = word_slots.data();
  winners.Clear();
  for (VornNode* node : contenders) {
    const unsigned long index = static_cast<unsigned long>(*slot++);
    ++node->n_rx;
    if (index == best) {
      winners.Append(node);
    } else {
      node->n_tx += index == kNoneSent;
      referees.Append(node);
    }
  }
  contenders.Show(winners);
}

// Clearing and arrivals; false when no station has a packet, after the idle
// outcome has been applied.
bool VornNetwork::BeginCycle() {
  ContendClear();
  (this->*arrive_all)();
  (this->*record_states)();
  if (active.count == 0) {
    OutcomeIdle();
    return false;
  }
  contenders.Show(active);
  return true;
}

// The channel draw and the contention slot of one round; false when no
// contender transmitted.
bool VornNetwork::ContentionSlot() {
  ClearRoundLists();
  (this->*rand_channels)();
  for (VornNode* node : contenders) node->StateContContender();
  return transmitters.count != 0;
}

void VornNetwork::ContendClear() {
  active.Clear();
  (this->*clear_packets)();
}

void VornNetwork::ArriveAll() {
  for (VornNode* node : all_nodes) node->ArrivePacket();
}

// Only a queue with room stores the offer; the offers of every station are
// settled when the run ends.
void VornNetwork::ArriveAllSaturated() {
  ++bulk_arrivals;
  n_packets += refills.count;
  VornNode** kept = refills.items;
  for (VornNode* node : refills) {
    TxQueue& queue = node->queue;
    queue.StoreOffer(sim_time);
    *kept = node;
    kept += queue.length < queue.size_limit;
  }
  refills.count = kept - refills.items;
  active.Show(all_nodes);
}

// ArrivePacket of every station, with the process known: the same draws in
// the same order, read straight from the state words in stretches that end
// at the regeneration, and the busy and idle stations kept without branches.
// Empty stations referee in cooperative ad hoc mode.
template <bool empty_referees>
void VornNetwork::ArriveAllBernoulli() {
  VornNode** busy = active.items;
  VornNode** idle = referees.items + referees.count;
  for (VornNode **node = all_nodes.begin(), **end = all_nodes.end(); node != end;) {
    long left;
    const double* words = Rand.WordsAhead(left);
    const long stretch = std::min<long>(end - node, left);
    for (long i = 0; i < stretch; ++i) {
      VornNode* const station = node[i];
      TxQueue& queue = station->queue;
      if (queue.rate > words[i] - 1.0) n_packets += queue.OfferToBounded(sim_time);
      const bool holds = queue.length != 0;
      station->n_cont += holds;
      station->n_empty += !holds;
      *busy = station;
      busy += holds;
      if (empty_referees) {
        *idle = station;
        idle += !holds;
      }
    }
    Rand.Skip(stretch);
    node += stretch;
  }
  active.count = busy - active.items;
  referees.count = idle - referees.items;
}

// A queue that was full has room once a packet leaves it.
void VornNetwork::RoomToRefill(VornNode& node) {
  if (node.queue.length + 1 == node.queue.size_limit) refills.Append(&node);
}

void VornNetwork::SettleBulkArrivals() {
  for (VornNode* node : all_nodes) node->SettleArrivals(bulk_arrivals);
  bulk_arrivals = 0;
}

void VornNetwork::ClearRoundLists() {
  transmitters.Clear();
  second_chancers.Clear();
  third_chancers.Clear();
  winners.Clear();
}

void VornNetwork::Conclude() {
  if (contenders.count == 0)
    OutcomeFailure(active);
  else if (contenders.count == 1)
    OutcomeSuccess(*contenders[0]);
  else
    OutcomeCollision(contenders);
}

bool VornNetwork::SilentRoundFails() {
  OutcomeFailure(active);
  return true;
}

bool VornNetwork::RoundEndsOnLoneWinner() {
  if (winners.count != 1) return false;
  OutcomeSuccess(*winners[0]);
  return true;
}

void VornNetwork::ClearPacketStates() {
  arrivals_tp.prev_state = n_packets;
  arrivals_tp.curr_state = 0;
  packets_tp.prev_state = packets_tp.curr_state;
  packets_tp.curr_state = 0;
}

template <bool nodes, bool packets>
void VornNetwork::RecordStates() {
  if (nodes) nodes_pdf.Count(active.count);
  if (!packets) return;
  packets_pdf.Count(n_packets);
  arrivals_tp.curr_state = n_packets;
  arrivals_tp.Count();
  packets_tp.curr_state = n_packets;
  packets_tp.Count();
}

// Winners left by the attempt: 0 a failure, 1 a success, more a collision.
void VornNetwork::RecordAttempt(long winners) {
  winners_pdf.Count(winners);
  if (winners == 1) pktps_flow.Update(1);
  if (winners != 0) ps_flow.Update(winners == 1);
}

// --- Outcomes: each advances the clock by one cycle first ------------------

void VornNetwork::OutcomeSuccess(VornNode& node) {
  sim_time += t_coll;
  --n_packets;
  ++n_succ;
  ++n_att;
  ++n_slots;
  node.Succeed();
  (this->*room_made)(node);
  (this->*record_attempt)(1);
}

void VornNetwork::OutcomeCollision(VornNodelist& list) {
  sim_time += t_coll;
  ++n_coll;
  ++n_att;
  ++n_slots;
  for (VornNode* node : list)
    if (node->Collide()) (this->*room_made)(*node);
  (this->*record_attempt)(list.count);
}

void VornNetwork::OutcomeFailure(VornNodelist& list) {
  sim_time += t_coll;
  ++n_fail;
  ++n_att;
  ++n_slots;
  for (VornNode* node : list) node->Fail();
  (this->*record_attempt)(0);
}

void VornNetwork::OutcomeIdle() {
  sim_time += t_coll;
  ++n_idle;
  ++n_slots;
}

// --- Channels --------------------------------------------------------------

// Channels are drawn every randsratio-th cycle; the first round that needs
// them always draws, so a run that starts idle never reads undrawn links.
void VornNetwork::RandChannelsEveryRound() {
  if (n_slots % randsratio == 0 || !channels_drawn) RandChannels();
}

void VornNetwork::RandChannelsFirstRound() {
  if (round == 0 && (n_slots % randsratio == 0 || !channels_drawn)) RandChannels();
}

// A redraw only starts a new epoch: each value is drawn when first read.
void VornNetwork::RandChannels() {
  (this->*draw_channels)();
  channels_drawn = true;
}
