// VornNode: one station (or the access point) with its contention states,
// listening operations, channel state, packet queue and outcome counters.
#pragma once

#include <iosfwd>
#include <vector>

#include "core/ContentionDraw.h"
#include "core/VornNodelist.h"
#include "stats/FlowStats.h"
#include "traffic/TxQueue.h"

class GenRand;

class VornNode {
 public:
  // n is the number of stations; a negative ar_type or ar_rate takes the
  // option's value.
  VornNode(long n, long ar_type, double ar_rate, long qos_level, long qos_type);
  virtual ~VornNode() = default;

  // Ids restart from 0 when the network is rebuilt.
  static void ResetIds() { index = 0; }

  // A listening operation, as chosen at construction or at compile time.
  using Extractor = void (VornNode::*)(VornNodelist&);
  using BusyTest = bool (VornNode::*)(VornNodelist&);

  bool IsBusyFromNodelistMask(VornNodelist& list) {
    rx_word = 0;
    for (VornNode* k : list) {
      rx_word = link_mask[k->id] & k->tx_word;
      if (rx_word != 0) return true;
    }
    return false;
  }
  void ExtractWordFromNodelistMask(VornNodelist& list) {
    long heard = 0;
    for (VornNode* k : list) heard |= link_mask[k->id] & k->tx_word;
    rx_word = heard;
  }
  // Without fading every link carries every subcarrier, so the mask variants
  // reduce to these, which read no mask.
  bool IsBusyFromNodelistFull(VornNodelist& list) {
    rx_word = 0;
    for (VornNode* k : list)
      if ((rx_word = k->tx_word) != 0) return true;
    return false;
  }
  void ExtractWordFromNodelistFull(VornNodelist& list) {
    long heard = 0;
    for (VornNode* k : list) heard |= k->tx_word;
    rx_word = heard;
  }
  bool IsBusyFromNodelistRSSI(VornNodelist& list);
  void ExtractWordFromNodelistRSSI(VornNodelist& list);
  // Through IsBusy and ExtractWord, the operations of the node's channel model.
  bool IsBusyByModel(VornNodelist& list) { return (this->*IsBusy)(list); }
  void ExtractWordByModel(VornNodelist& list) { (this->*ExtractWord)(list); }

  void BuildReply();
  bool WonRound() const;
  long RandMask(GenRand& rand, double prob) const;

  void StateContContender();
  void StateContReferee();
  void StateContSecondChancerAdhoc();
  void StateFbkNomineeAdhoc();
  void StateFbkThirdChancerAdhoc();
  void StateContSecondChancerCentralized();
  void StateContSecondChancerCentralizedUnlucky();
  void StateFbkNomineeCentralized();
  void StateFbkThirdChancerCentralized();

  // The states that listen, with the listening operation fixed at compile
  // time so that the engine's loops call it directly (VornNodeStates.h); the
  // states above are these with the ...ByModel operations.
  template <Extractor extract>
  void StateContRefereeWith();
  template <Extractor extract>
  void StateContSecondChancerAdhocWith();
  template <Extractor extract>
  void StateFbkNomineeAdhocWith();
  template <BusyTest busy>
  void StateFbkThirdChancerAdhocWith();
  template <BusyTest busy>
  void StateContSecondChancerCentralizedPeersWith();
  template <Extractor extract>
  void StateFbkNomineeCentralizedWith();
  template <BusyTest busy>
  void StateFbkThirdChancerCentralizedWith();

  void ArrivePacket();
  void Succeed();
  void Collide();
  void Fail() { ++n_fail; }

  // End-of-run results: the result row (header only from station 0 when
  // asked), the flow table, and the per-station files dir/prefix<id>.csv.
  void PrintStats(std::ostream& os, bool header) const;
  void PrintFlowStats(std::ostream& os) const;
  void DumpFlowStats(const char* dir, const char* prefix) const;
  void DumpServiceTimeStats(const char* dir, const char* prefix) const;
  void DumpArrivalTimeStats(const char* dir, const char* prefix) const;
  void DumpDelayTimeStats(const char* dir, const char* prefix) const;
  void DumpPacketStats(const char* dir, const char* prefix) const;

  void RandChannelsNodesNone(VornNode& peer);
  void RandChannelsNodesBinomial(VornNode& peer);
  void RandChannelsNodesRayleigh(VornNode& peer);
  void RandChannelsNodesRice(VornNode& peer);
  void RandChannelsRefNone(VornNode& ap);
  void RandChannelsRefBinomial(VornNode& ap);
  void RandChannelsRefRayleigh(VornNode& ap);
  void RandChannelsRefRice(VornNode& ap);

  long id;
  long n_succ = 0;
  long n_coll = 0;
  long n_fail = 0;
  long n_cont = 0;
  long n_att = 0;
  long n_empty = 0;
  long n_ref_idle = 0;
  long retries = 0;
  long n_tx = 0;
  long n_rx = 0;
  long tx_word = 0;
  long rx_word = 0;
  long word_index = 0;
  std::vector<long> link_mask;
  std::vector<double> rssi_acc;
  std::vector<double*> rssi_link;
  long qos_type;
  long qos_level;
  FlowStats<long> throughput_flow;
  TxQueue queue;
  bool (VornNode::*IsBusy)(VornNodelist&);
  void (VornNode::*ExtractWord)(VornNodelist&);
  void (VornNode::*RandChannelsNodes)(VornNode&);
  void (VornNode::*RandChannelsRef)(VornNode&);

 private:
  void ChooseChannelModel(long rows);
  void BuildRoundDraws();
  void EmptyIdle() {}
  void EmptyReferee();
  void DropHead();
  void OpenStationFile(std::ofstream& file, const char* dir, const char* prefix) const;
  void DumpSeries(const char* dir, const char* prefix, const std::vector<double>& series) const;

  static long index;
  // The coin flip and word law of this node's QoS level, one per round.
  std::vector<ContentionDraw> round_draws;
  void (VornNode::*on_empty)() = &VornNode::EmptyIdle;
};
