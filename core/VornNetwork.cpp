// The contention engine: building the network, the stop conditions, one
// contention cycle read top to bottom, and the end-of-run results and files.
#include "core/VornNetwork.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <numeric>

#include "core/Vorn.h"
#include "core/VornNodeStates.h"
#include "stats/ProgressLine.h"

VornNetwork::VornNetwork()
    : contend(&VornNetwork::ContendCentralized), keep_running(&VornNetwork::StopBySlots) {
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
      nodes.emplace_back(new VornNode(Params.M, Params.ar_type, Params.ar_rate, 0, 0));
      all_nodes.Append(nodes.back().get());
    }
  }
  const long n = all_nodes.count;
  if (Params.adhoc) {
    referees = NewList(n);
    contend = &VornNetwork::ContendAdhoc;
  } else {
    nodes.emplace_back(new VornNode(n, -1, -1.0, 0, 0));
    ap = nodes.back().get();
    referees = NewList(1);
    referees.Append(ap);
    contend = &VornNetwork::ContendCentralized;
  }
  AttachChannels();
  active = NewList(n);
  transmitters = NewList(n);
  second_chancers = NewList(n);
  third_chancers = NewList(n);
  winners = NewList(n);
  contenders.Show(active);
  ChooseStopCondition();
  CheckRunCanEnd();
  SizeRecords(n);
  ChooseVariants();
}

void VornNetwork::Reset() {
  round = n_att = n_slots = n_fail = n_succ = n_coll = n_idle = n_packets = 0;
  nodes.clear();
  arrays.clear();
  ap = nullptr;
  channels_drawn = false;
  results.Clear();
  done = false;
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
      nodes.emplace_back(new VornNode(n, static_cast<long>(groups(row, 1)), groups(row, 2),
                                      static_cast<long>(groups(row, 3)),
                                      static_cast<long>(groups(row, 4))));
      list.Append(nodes.back().get());
    }
  }
  return list;
}

// The RSSI models keep their links in one block drawn in batches; the mask
// models draw pair by pair into the nodes' masks.
void VornNetwork::AttachChannels() {
  draw_channels = &VornNetwork::DrawChannelsByPairs;
  if (Params.fsf_type == 1 && Params.fsf_prob_node > 0) {
    mask_row.assign(2 * all_nodes.count, 0);
    mask_links.clear();
    for (VornNode* x : all_nodes) mask_links.push_back({x->link_mask.data(), x->id});
    draw_channels = &VornNetwork::DrawChannelsBinomial;
    // Forward and feedback masks alternate in the stream; with one probability
    // for both, or no feedback draw at all, they form one batch.
    const bool one_batch = !Params.indep || Params.fsf_prob_ap == Params.fsf_prob_node;
    draw_ap_masks = ap == nullptr ? &VornNetwork::DrawNoAccessPoint
                    : one_batch   ? &VornNetwork::DrawAccessPointMasksInOneBatch
                                  : &VornNetwork::DrawChannelsToAccessPoint;
  }
  if (Params.fsf_type != 2 && Params.fsf_type != 4) return;
  channels.Attach(all_nodes, ap, Params.F, Params.indep);
  draw_channels =
      Params.fsf_type == 2 ? &VornNetwork::DrawChannelsRayleigh : &VornNetwork::DrawChannelsRice;
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
    bool traffic = false;
    for (VornNode* node : all_nodes)
      traffic = traffic || node->queue.type == 0 || node->queue.rate > 0;
    if (!traffic) {
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
  pktps_flow.label = "Pktps";
  ps_flow.label = "Ps";
  pktps_flow.window = pktps_flow.next_sample = window;
  ps_flow.window = ps_flow.next_sample = window;
}

void VornNetwork::ChooseVariants() {
  rounds = Params.R;
  randsratio = Params.randsratio;
  t_coll = Params.t_coll;
  silent_round = Params.unlucky ? &VornNetwork::SilentRoundFails : &VornNetwork::SilentRoundIsVoid;
  round_ends = Params.greedy ? &VornNetwork::RoundEndsOnLoneWinner : &VornNetwork::RoundEndsNever;
  if (Params.mc_packets) {
    clear_packets = &VornNetwork::ClearPacketStates;
    record_packets = &VornNetwork::RecordPackets;
  } else {
    clear_packets = record_packets = &VornNetwork::RecordPacketsNever;
  }
  if (Params.fsf_type == 2 || Params.fsf_type == 4)
    UseListening<&VornNode::ExtractWordFromNodelistRSSI, &VornNode::IsBusyFromNodelistRSSI>();
  else if (Params.fsf_type == 1)
    UseListening<&VornNode::ExtractWordFromNodelistMask, &VornNode::IsBusyFromNodelistMask>();
  else
    UseListening<&VornNode::ExtractWordFromNodelistFull, &VornNode::IsBusyFromNodelistFull>();
  // Without fading the links never change and the draw takes no variate, so
  // it is done once here instead of in every round.
  const bool fading = Params.fsf_type == 1 || Params.fsf_type == 2 || Params.fsf_type == 4;
  if (!fading) {
    RandChannels();
    rand_channels = &VornNetwork::RandChannelsNever;
  } else {
    rand_channels = Params.fsf_fast ? &VornNetwork::RandChannelsEveryRound
                                    : &VornNetwork::RandChannelsFirstRound;
  }
}

// The channel model's listening operations, as the nodes chose them, fixed
// in the instances of the cycle so that its loops call them directly.
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

void VornNetwork::Simulation() {
  chrono.start();
  ProgressLine progress(stderr);
  if (progress.enabled())
    SimulateWithProgress(progress);
  else
    while ((this->*keep_running)()) (this->*contend)();
  chrono.stop(false, "", stderr);
}

// Only on a terminal: the clock is read every few hundred cycles, far too
// rarely to show in the cycle rate, and the line is gone before the results.
void VornNetwork::SimulateWithProgress(ProgressLine& progress) {
  constexpr long kStride = 256;
  long countdown = kStride;
  while ((this->*keep_running)()) {
    (this->*contend)();
    if (--countdown == 0) {
      countdown = kStride;
      progress.Show(DoneFraction(), n_slots);
    }
  }
  progress.Erase();
}

double VornNetwork::DoneFraction() const {
  if (keep_running == &VornNetwork::StopByTime) return sim_time / Params.time;
  if (keep_running == &VornNetwork::StopByFrames) return double(n_succ) / Params.frames;
  if (keep_running == &VornNetwork::StopByAttempts) return double(n_att) / Params.attempts;
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

void VornNetwork::ContendAdhoc() {
  ContendAdhocWith<&VornNode::ExtractWordByModel, &VornNode::IsBusyByModel>();
}

void VornNetwork::ContendCentralized() {
  ContendCentralizedWith<&VornNode::ExtractWordByModel, &VornNode::IsBusyByModel>();
}

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

// Clearing and arrivals; false when no station has a packet, after the idle
// outcome has been applied.
bool VornNetwork::BeginCycle() {
  ContendClear();
  ArriveAll();
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
  nodes_pdf.Count(active.count);
  (this->*record_packets)();
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

void VornNetwork::RecordPackets() {
  packets_pdf.Count(n_packets);
  arrivals_tp.curr_state = n_packets;
  arrivals_tp.Count();
  packets_tp.curr_state = n_packets;
  packets_tp.Count();
}

// --- Outcomes: each advances the clock by one cycle first ------------------

void VornNetwork::OutcomeSuccess(VornNode& node) {
  sim_time += t_coll;
  --n_packets;
  ++n_succ;
  ++n_att;
  ++n_slots;
  node.Succeed();
  winners_pdf.Count(1);
  pktps_flow.Update(1);
  ps_flow.Update(1);
}

void VornNetwork::OutcomeCollision(VornNodelist& list) {
  sim_time += t_coll;
  ++n_coll;
  ++n_att;
  ++n_slots;
  for (VornNode* node : list) node->Collide();
  winners_pdf.Count(list.count);
  ps_flow.Update(0);
}

void VornNetwork::OutcomeFailure(VornNodelist& list) {
  sim_time += t_coll;
  ++n_fail;
  ++n_att;
  ++n_slots;
  for (VornNode* node : list) node->Fail();
  winners_pdf.Count(0);
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

void VornNetwork::RandChannels() {
  (this->*draw_channels)();
  channels_drawn = true;
}

// As RandChannelsNodesBinomial pair by pair, but each station's masks
// towards the later stations come from one batch of trials.
void VornNetwork::DrawChannelsBinomial() {
  const long n = all_nodes.count, S = Code.n_bits, full = Code.full_mask;
  const double prob = Params.fsf_prob_node;
  for (long i = 0; i + 1 < n; ++i) {
    Rand.BernoulliMasks(prob, S, n - 1 - i, mask_row.data());
    const uint64_t* faded = mask_row.data() - (i + 1);
    long* heard_by_a = mask_links[i].row;
    const long a = mask_links[i].id;
    for (long j = i + 1; j < n; ++j)
      heard_by_a[mask_links[j].id] = mask_links[j].row[a] = full & ~static_cast<long>(faded[j]);
  }
  (this->*draw_ap_masks)();
}

// As RandChannelsRefBinomial station by station, when both directions use
// fsf_prob_node: the feedback mask is the next one drawn, or the forward mask.
void VornNetwork::DrawAccessPointMasksInOneBatch() {
  const long n = all_nodes.count, full = Code.full_mask, per_station = Params.indep ? 2 : 1;
  Rand.BernoulliMasks(Params.fsf_prob_node, Code.n_bits, per_station * n, mask_row.data());
  long* heard_by_ap = ap->link_mask.data();
  for (long x = 0; x < n; ++x) {
    const uint64_t* faded = mask_row.data() + per_station * x;
    heard_by_ap[mask_links[x].id] = full & ~static_cast<long>(faded[0]);
    mask_links[x].row[ap->id] = full & ~static_cast<long>(faded[per_station - 1]);
  }
}

// The member pointers are read into locals first: GCC's vptr sanitizer
// misreads a call written x->*(x->member).
void VornNetwork::DrawChannelsByPairs() {
  const long n = all_nodes.count;
  for (long i = 0; i < n; ++i) {
    VornNode* a = all_nodes[i];
    const auto draw = a->RandChannelsNodes;
    for (long j = i + 1; j < n; ++j) (a->*draw)(*all_nodes[j]);
  }
  DrawChannelsToAccessPoint();
}

void VornNetwork::DrawChannelsToAccessPoint() {
  if (ap == nullptr) return;
  for (VornNode* x : all_nodes) {
    const auto draw = x->RandChannelsRef;
    (x->*draw)(*ap);
  }
}

// --- End-of-run statistics and files ---------------------------------------

namespace {

// Identity of a file whatever name reaches it.
struct FileId {
  dev_t dev;
  ino_t ino;
};

bool Identify(const char* path, FileId& id) {
  struct stat info;
  if (path == nullptr || *path == '\0' || stat(path, &info) != 0) return false;
  id = {info.st_dev, info.st_ino};
  return true;
}

// Files this run read as input. With out_dir=. and the tables beside the
// run they look like old results, but erasing them would lose the input.
std::vector<FileId> InputFiles() {
  std::vector<FileId> ids;
  FileId id{};
  for (const char* path :
       {Params.optfile, Params.qos_p_file, Params.qos_tau_file, Params.nodes_file})
    if (Identify(path, id)) ids.push_back(id);
  return ids;
}

bool IsInput(const std::string& path, const std::vector<FileId>& inputs) {
  FileId id{};
  if (!Identify(path.c_str(), id)) return false;
  for (const FileId& input : inputs)
    if (input.dev == id.dev && input.ino == id.ino) return true;
  return false;
}

// Creates dir (one level; an existing one is fine) and lists its entries;
// false when it cannot be listed.
bool ListDirectory(const std::string& dir, std::vector<std::string>& names) {
  mkdir(dir.c_str(), 0777);
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return false;
  while (const dirent* entry = readdir(listing)) names.push_back(entry->d_name);
  closedir(listing);
  return true;
}

// Every "<name>.csv" (case-sensitive, a bare ".csv" excluded) is an old
// result, except a file this run read; failed removals are ignored.
void EraseOldResults(const std::string& dir, const std::vector<std::string>& names) {
  const std::vector<FileId> inputs = InputFiles();
  for (const std::string& name : names) {
    if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".csv") != 0) continue;
    const std::string path = dir + "/" + name;
    if (!IsInput(path, inputs)) std::remove(path.c_str());
  }
}

// Writes dir/name with write(file); a file that cannot be opened is reported
// and the writes are discarded, so the next files are still attempted.
template <class Writer>
void WriteFile(const std::string& dir, const char* name, const char* failure, Writer write) {
  std::ofstream file(dir + "/" + name, std::ios::out | std::ios::trunc);
  if (!file) std::fputs(failure, stderr);
  write(file);
}

double Probability(long count, long total) {
  return total == 0 ? 0.0 : static_cast<double>(count) / total;
}

void WriteDistribution(std::ostream& os, const ProbPDF& pdf, const char* label) {
  os << label << ", occurences, probability\n";
  const long total = std::accumulate(pdf.data, pdf.data + pdf.size, 0L);
  for (long k = 0; k < pdf.size; ++k)
    os << std::setw(3) << k << ", " << std::setw(10) << pdf(k) << ", " << Probability(pdf(k), total)
       << '\n';
}

// Rows are previous states, each followed by an empty line.
void WriteTransitions(std::ostream& os, const TransProb& tp, const char* label) {
  os << label << "_curr, " << label << "_next, occurences, trans_probability\n";
  for (long row = 0; row < tp.d1; ++row) {
    const long* counts = tp.data + row * tp.d2;
    const long sum = std::accumulate(counts, counts + tp.d2, 0L);
    for (long col = 0; col < tp.d2; ++col)
      os << std::setw(3) << row << ", " << std::setw(3) << col << ", " << std::setw(10)
         << counts[col] << ", " << Probability(counts[col], sum) << '\n';
    os << '\n';
  }
}

}  // namespace

void VornNetwork::DumpStats() {
  PrintResultRows();
  if (Params.debug > 1) chrono.print("cont", stderr);
  const std::string dir = Params.out_dir;
  std::vector<std::string> names;
  if (!ListDirectory(dir, names)) {
    std::fprintf(stderr, "Error: Could not create or open directory \"%s\".\n", dir.c_str());
    return;
  }
  EraseOldResults(dir, names);
  WriteFiles(dir);
}

void VornNetwork::PrintResultRows() {
  const bool show = Params.debug != 0;
  if (Params.show_node >= 0 && Params.show_node < all_nodes.count)
    all_nodes[Params.show_node]->PrintStats(std::cout, show);
  else if (Params.nodes_stats || Params.nodes_only)
    for (VornNode* node : all_nodes) node->PrintStats(std::cout, show);
  else
    PrintStats(std::cout, show);
  // Rows first even when both streams go to one file.
  std::cout.flush();
}

void VornNetwork::WriteFiles(const std::string& dir) {
  if (Params.flow_stats_on) {
    WriteFile(dir, "flow_network.csv", "Could not open/create flow_network output file.\n",
              [this](std::ostream& os) { PrintFlowStats(os); });
    WriteNodeFiles(&VornNode::DumpFlowStats, "flow_node");
  }
  if (Params.queue_stats) {
    WriteNodeFiles(&VornNode::DumpServiceTimeStats, "servicetime_node");
    WriteNodeFiles(&VornNode::DumpArrivalTimeStats, "arrivaltime_node");
    WriteNodeFiles(&VornNode::DumpDelayTimeStats, "delay_node");
    WriteNodeFiles(&VornNode::DumpPacketStats, "packets_node");
  }
  WriteFile(dir, "nodes.csv", "Could not open/create nodes output file.\n",
            [this](std::ostream& os) {
              for (VornNode* node : all_nodes) node->PrintStats(os, true);
            });
  WriteFile(dir, "network.csv", "Could not open/create network output file.\n",
            [this](std::ostream& os) { PrintStats(os, true); });
  if (Params.pdf_winners)
    WriteFile(dir, "pdf_winners.csv", "Could not open/create winners output file.\n",
              [this](std::ostream& os) { WriteDistribution(os, winners_pdf, "winners"); });
  if (Params.mc_nodes)
    WriteFile(dir, "pdf_nodes_active.csv", "Could not open/create active nodes file.\n",
              [this](std::ostream& os) { WriteDistribution(os, nodes_pdf, "busy_nodes"); });
  if (Params.mc_packets) {
    const char* failure = "Could not open/create packets file.\n";
    WriteFile(dir, "pdf_packets.csv", failure,
              [this](std::ostream& os) { WriteDistribution(os, packets_pdf, "packets"); });
    WriteFile(dir, "trans_packets.csv", failure,
              [this](std::ostream& os) { WriteTransitions(os, packets_tp, "pktslot"); });
    WriteFile(dir, "trans_packets_arrival.csv", failure,
              [this](std::ostream& os) { WriteTransitions(os, arrivals_tp, "ques"); });
  }
}

// The stations add the "/" to the directory themselves; the access point
// has no files.
void VornNetwork::WriteNodeFiles(void (VornNode::*dump)(const char*, const char*) const,
                                 const char* prefix) const {
  for (VornNode* node : all_nodes) (node->*dump)(Params.out_dir, prefix);
}

void VornNetwork::PrintStats(std::ostream& os, bool header) {
  if (!done) FillResults();
  if (header) results.Header(Params.stats, os);
  results.Print(Params.stats, os);
}

// Ratios are taken in double precision, so a zero count gives a non-finite
// value, which the table prints as -999.9.
void VornNetwork::FillResults() {
  const double t = sim_time, slots = n_slots, att = n_att, succ = n_succ, coll = n_coll;
  const double frame = Params.DATA + Params.APP;
  const double S = frame / t * succ / Params.B;
  const double app_share = Params.DATA / frame;
  const double busy = (Params.t_cont + Params.t_data) * (succ + coll) + succ * Params.t_ack;
  results.Push("M", all_nodes.count);
  results.Push("B", Params.B);
  results.Push("DATA", Params.DATA);
  results.Push("APP", Params.APP);
  results.Push("difs", Params.difs);
  results.Push("sifs", Params.sifs);
  results.Push("ts", Params.ts);
  results.Push("R", Params.R);
  results.Push("F", Params.F / Params.L);  // F was multiplied by L at start-up
  results.Push("L", Params.L);
  results.Push("adhoc", Params.adhoc);
  results.Push("ymin", Params.ymin);
  results.Push("ymax", Params.ymax);
  results.Push("y", Params.y);
  results.Push("yAP", Params.yAP);
  results.Push("y0", Params.y0);
  results.Push("K", Params.K);
  results.Push("KAP", Params.KAP);
  results.Push("time", t);
  results.Push("runs", n_slots);
  results.Push("attempts", n_att);
  results.Push("successes", n_succ);
  results.Push("collisions", n_coll);
  results.Push("failures", n_fail);
  results.Push("idles", n_idle);
  results.Push("Pt_a", (succ + coll) / att);
  results.Push("Ps_a", succ / att);
  results.Push("Pc_a", 1 - succ / att);
  results.Push("Ps_t", succ / (succ + coll));
  results.Push("Pc_t", 1 - succ / (succ + coll));
  results.Push("Pa", att / slots);
  results.Push("Pi", n_idle / slots);
  results.Push("Pt", (succ + coll) / slots);
  results.Push("Ps", succ / slots);
  results.Push("Pc", coll / slots);
  results.Push("Pf", n_fail / slots);
  results.Push("Pb", 1 - n_fail / slots);
  results.Push("Pref_idle", Params.adhoc != 0 ? 0.0 : ap->n_ref_idle / slots);
  results.Push("T", Params.B * S);
  results.Push("T_app", Params.DATA * S / frame * Params.B);
  results.Push("S", S);
  results.Push("S_app", app_share * S);
  results.Push("C", Params.DATA / (Params.t_succ - Params.t_cont));
  results.Push("C_cont", Params.DATA / Params.t_succ);
  results.Push("pktps", succ / t);
  results.Push("tTx", busy / t);
  results.Push("t_succ", Params.t_succ);
  results.Push("t_coll", Params.t_coll);
  results.Push("t_data", Params.t_data);
  results.Push("t_ack", Params.t_ack);
  results.Push("t_rts", Params.t_rts);
  results.Push("t_cts", Params.t_cts);
  done = true;
}

void VornNetwork::PrintFlowStats(std::ostream& os) const {
  os << "time, pktps, Throughput, Ps_t\n";
  for (size_t i = 0; i < pktps_flow.time_series.size(); ++i) {
    const double pktps = pktps_flow.Rate(i);
    os << pktps_flow.time_series[i] << ", " << pktps << ", " << pktps * Params.DATA << ", "
       << ps_flow.Share(i) << '\n';
  }
}
