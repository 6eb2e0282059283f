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

  bool IsBusyFromNodelistMask(VornNodelist& list);
  void ExtractWordFromNodelistMask(VornNodelist& list);
  bool IsBusyFromNodelistRSSI(VornNodelist& list);
  void ExtractWordFromNodelistRSSI(VornNodelist& list);

  void BuildReply();
  bool WonRound() const;
  long RandMask(GenRand& rand, double prob) const;

  void StateContContender();
  void StateContReferee();
  void StateContSecondChancerAdhoc();
  void StateFbkNomineeAdhoc();
  void StateFbkThirdChancerAdhoc();
  void StateContSecondChancerCentralized();
  void StateContSecondChancerCentralizedPeers();
  void StateContSecondChancerCentralizedUnlucky();
  void StateFbkNomineeCentralized();
  void StateFbkThirdChancerCentralized();

  void ArrivePacket();
  void Succeed();
  void Collide();
  void Fail() { ++n_fail; }

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

  static long index;
  // The coin flip and word law of this node's QoS level, one per round.
  std::vector<ContentionDraw> round_draws;
  void (VornNode::*on_empty)() = &VornNode::EmptyIdle;
};
