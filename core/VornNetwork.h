// VornNetwork: the stations, the access point and the contention engine that
// runs cycles until the stop condition ends the run.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "core/ChannelBlock.h"
#include "core/VornNode.h"
#include "core/VornNodelist.h"
#include "stats/FlowStats.h"
#include "stats/ProbPDF.h"
#include "stats/SimpleStats.h"
#include "stats/Stopwatch.h"
#include "stats/TransProb.h"

class ProgressLine;

class VornNetwork {
 public:
  VornNetwork();
  virtual ~VornNetwork() = default;

  // Builds stations, lists and records from the final parameters and chooses
  // the contention mode, stop condition and channel schedule. Ends the
  // process with status 1 when the run could never stop. Rebuilds from
  // scratch when called again.
  void Initialize();
  VornNodelist BuildNodes();
  void Simulation();

  // One cycle with the nodes' own listening operations; the engine runs the
  // instance of the templates below for the channel model instead.
  void ContendAdhoc();
  void ContendCentralized();
  template <VornNode::Extractor extract, VornNode::BusyTest busy>
  void ContendAdhocWith();
  template <VornNode::Extractor extract, VornNode::BusyTest busy>
  void ContendCentralizedWith();
  void ContendClear();
  void RandChannels();

  void OutcomeSuccess(VornNode& node);
  void OutcomeCollision(VornNodelist& list);
  void OutcomeFailure(VornNodelist& list);
  void OutcomeIdle();

  bool StopByTime() const;
  bool StopByFrames() const;
  bool StopByAttempts() const;
  bool StopBySlots() const;

  // End-of-run output: result rows on standard output, then the output
  // directory cleared of old results and every CSV file the options ask for.
  void DumpStats();
  // The 52-entry result table is filled by the first call and then printed
  // unchanged, restricted to the stats selection.
  void PrintStats(std::ostream& os, bool header);
  void PrintFlowStats(std::ostream& os) const;

  long round = 0;
  long n_att = 0;
  long n_slots = 0;
  long n_fail = 0;
  long n_succ = 0;
  long n_coll = 0;
  long n_idle = 0;
  long n_packets = 0;
  ProbPDF winners_pdf;
  ProbPDF nodes_pdf;
  ProbPDF packets_pdf;
  TransProb packets_tp;
  TransProb arrivals_tp;
  FlowStats<long> pktps_flow;
  FlowStats<long> ps_flow;
  VornNode* ap = nullptr;
  VornNodelist all_nodes;
  VornNodelist active;
  VornNodelist contenders;
  VornNodelist transmitters;
  VornNodelist second_chancers;
  VornNodelist third_chancers;
  VornNodelist referees;
  VornNodelist winners;
  SimpleStats results;
  Stopwatch chrono;
  void (VornNetwork::*contend)();
  bool (VornNetwork::*keep_running)() const;
  bool done = false;

 private:
  void SimulateWithProgress(ProgressLine& progress);
  double DoneFraction() const;
  void Reset();
  void AttachChannels();
  void ChooseStopCondition();
  void CheckRunCanEnd() const;
  void ChooseVariants();
  template <VornNode::Extractor extract, VornNode::BusyTest busy>
  void UseListening();
  void SizeRecords(long n);
  VornNodelist NewList(long capacity);

  bool BeginCycle();
  bool ContentionSlot();
  void ArriveAll();
  void ClearRoundLists();
  void Conclude();

  // Variants chosen once by Initialize so that the cycle tests no option.
  void DrawChannelsByPairs();
  void DrawChannelsBinomial();
  void DrawChannelsToAccessPoint();
  void DrawAccessPointMasksInOneBatch();
  void DrawNoAccessPoint() {}
  void DrawChannelsRayleigh() { channels.DrawRayleigh(); }
  void DrawChannelsRice() { channels.DrawRice(); }
  void RandChannelsNever() {}
  void RandChannelsEveryRound();
  void RandChannelsFirstRound();
  bool SilentRoundIsVoid() { return false; }
  bool SilentRoundFails();
  bool RoundEndsNever() { return false; }
  bool RoundEndsOnLoneWinner();
  void RecordPacketsNever() {}
  void ClearPacketStates();
  void RecordPackets();

  void FillResults();
  void PrintResultRows();
  void WriteFiles(const std::string& dir);
  void WriteNodeFiles(void (VornNode::*dump)(const char*, const char*) const,
                      const char* prefix) const;

  void (VornNetwork::*rand_channels)() = &VornNetwork::RandChannelsNever;
  void (VornNetwork::*draw_channels)() = &VornNetwork::DrawChannelsByPairs;
  void (VornNetwork::*draw_ap_masks)() = &VornNetwork::DrawNoAccessPoint;
  bool (VornNetwork::*silent_round)() = &VornNetwork::SilentRoundIsVoid;
  bool (VornNetwork::*round_ends)() = &VornNetwork::RoundEndsNever;
  void (VornNetwork::*clear_packets)() = &VornNetwork::RecordPacketsNever;
  void (VornNetwork::*record_packets)() = &VornNetwork::RecordPacketsNever;
  void (VornNode::*second_chancer_centralized)() = &VornNode::StateContSecondChancerCentralized;

  std::vector<std::unique_ptr<VornNode>> nodes;
  std::vector<std::vector<VornNode*>> arrays;
  // Received powers of the RSSI channel models, contiguous in draw order.
  ChannelBlock channels;
  // One station's binomial masks towards the later stations, and every
  // station's mask row and id, so that the draw chases no node pointers.
  std::vector<uint64_t> mask_row;
  struct MaskLinks {
    long* row;
    long id;
  };
  std::vector<MaskLinks> mask_links;
  long rounds = 0;
  long randsratio = 1;
  double t_coll = 0.0;
  bool channels_drawn = false;
};
