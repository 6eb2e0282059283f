// VornNode: one station (or the access point) with its contention states,
// listening operations, channel state, packet queue and outcome counters.
#pragma once

#include <vector>

#include "core/ContentionDraw.h"
#include "core/VornNodelist.h"
#include "stats/FlowStats.h"
#include "stats/StationCounters.h"
#include "support/RunGlobals.h"
#include "traffic/TxQueue.h"

class GenRand;

class VornNode : public StationCounters {
 public:
  // A negative ar_type or ar_rate takes the
  // option's value.
  VornNode(long ar_type, double ar_rate, long qos_level, long qos_type);
  ~VornNode() override = default;

  // Ids restart from 0 when the network is rebuilt.
  static void ResetIds() { index = 0; }

  // The listening operations: what this node hears of the words the nodes
  // of a list send. The network fixes one pair per channel model at start-up.
  using Extractor = void (VornNode::*)(VornNodelist&);
  using BusyTest = bool (VornNode::*)(VornNodelist&);

  // A silent sender's link is not read, so its mask is not drawn.
  bool IsBusyFromNodelistMask(VornNodelist& list);
  void ExtractWordFromNodelistMask(VornNodelist& list);
  template <bool rice>
  bool IsBusyFromNodelistRSSI(VornNodelist& list);
  template <bool rice>
  void ExtractWordFromNodelistRSSI(VornNodelist& list);

  void BuildReply();
  bool WonRound() const;

  // The contention states. Those that listen are templates over the
  // listening operation (VornNodeStates.h), so that the engine's loops call
  // it directly.
  void StateContContender();
  void StateContSecondChancerCentralized();
  void StateContSecondChancerCentralizedUnlucky();
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

  // This station's word index in round r, or -1 when its coin says listen.
  long DrawWordIndex(long r) const { return round_draws[r].WordIndex(Rand); }
  const std::vector<ContentionDraw>& RoundDraws() const { return round_draws; }

  void ArrivePacket();
  // The arrivals of a stretch of cycles counted in bulk (TxQueue::StoreOffer).
  void SettleArrivals(long cycles) {
    queue.SettleOffers(cycles);
    n_cont += cycles;
  }
  void Succeed();
  // True when the retry limit dropped the head packet.
  bool Collide();
  void Fail() { ++n_fail; }

  long retries = 0;
  long tx_word = 0;
  long rx_word = 0;
  long word_index = 0;
  std::vector<double> rssi_acc;
  long qos_type;
  long qos_level;
  // Successes among attempts, per flow window.
  FlowStats<long> throughput_flow;
  TxQueue queue;

 private:
  void BuildRoundDraws();
  void EmptyIdle() {}
  void EmptyReferee();
  void DropHead();

  static long index;
  // The coin flip and word law of this node's QoS level, one per round.
  std::vector<ContentionDraw> round_draws;
  void (VornNode::*on_empty)() = &VornNode::EmptyIdle;
};
