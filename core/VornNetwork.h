// VornNetwork: the stations, the access point and the contention engine that
// runs cycles until the stop condition ends the run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/MaskChannels.h"
#include "core/PowerChannels.h"
#include "core/VornNode.h"
#include "core/VornNodelist.h"
#include "stats/BatchMeans.h"
#include "stats/NetworkCounters.h"
#include "stats/Stopwatch.h"

struct PrecisionMetric;

class VornNetwork : public NetworkCounters {
 public:
  VornNetwork();
  ~VornNetwork() override = default;

  // Builds stations, lists and records from the final parameters and chooses
  // the contention mode, stop condition and channel schedule. Ends the
  // process with status 1 when the run could never stop. Rebuilds from
  // scratch when called again.
  void Initialize();
  VornNodelist BuildNodes();
  void Simulation();

  void RandChannels();

  void OutcomeSuccess(VornNode& node);
  void OutcomeCollision(VornNodelist& list);
  void OutcomeFailure(VornNodelist& list);
  void OutcomeIdle();

  bool StopByTime() const;
  bool StopByFrames() const;
  bool StopByAttempts() const;
  bool StopBySlots() const;
  bool StopByPrecisionOnly() const { return true; }

  // The cumulative counters the batches are cut from, as they are now.
  BatchMeans::Totals Totals() const;

  long round = 0;
  VornNode* ap = nullptr;
  VornNodelist all_nodes;
  VornNodelist active;
  VornNodelist contenders;
  VornNodelist transmitters;
  VornNodelist second_chancers;
  VornNodelist third_chancers;
  VornNodelist referees;
  VornNodelist winners;
  Stopwatch chrono;
  // The channel values of the fading models, drawn when a listener first
  // reads them after each scheduled redraw.
  PowerChannels powers;
  MaskChannels masks;
  BatchMeans batches;
  // Every station saturated: no cycle depends on the ones before it.
  bool saturated = false;
  // The stop condition that ended the run: time, frames, attempts, runs or precision.
  const char* ended_by = "";
  // The metric of the precision target, found once at start-up.
  const PrecisionMetric* precision_target = nullptr;
  // One contention cycle, an instance of the templates below.
  void (VornNetwork::*contend)() = nullptr;
  bool (VornNetwork::*keep_running)() const;

 private:
  // Cycles until the count reaches until; false when the stop condition ended them.
  bool RunCycles(long until);
  // Closes the batch; true when it brings the precision target.
  bool BatchReachesPrecision();
  const char* StopName() const;
  double DoneFraction() const;
  void Reset();
  void AttachChannels();
  void ChooseStopCondition();
  void CheckRunCanEnd() const;
  bool CanHavePackets() const;
  void CheckPrecisionTarget();
  void ChooseVariants();
  void ChooseArrivals();
  template <VornNode::Extractor extract, VornNode::BusyTest busy>
  void UseListening();
  void SizeRecords(long n);
  VornNodelist NewList(long capacity);

  // One cycle in each mode, with the listening operations of the channel
  // model fixed at compile time.
  template <VornNode::Extractor extract, VornNode::BusyTest busy>
  void ContendAdhocWith();
  template <VornNode::Extractor extract, VornNode::BusyTest busy>
  void ContendCentralizedWith();
  // Without fading every listener hears every word in full, so a round's
  // outcome is the lowest word index sent: no station listens to a list.
  // Shared: every station has the same uniform word law, read straight from
  // the state words (DrawWordsShared).
  template <bool unlucky, bool shared>
  void ContendCentralizedFull();
  template <bool shared>
  void ContendAdhocFull();
  template <bool shared>
  void UseFullListening();
  // Each contender's word index (-1 to listen) handed to the tally in the
  // contenders' order, from the same draws either way.
  template <bool shared, class Tally>
  void DrawWords(Tally& tally);
  template <class Tally>
  void DrawWordsEach(Tally& tally);
  template <class Tally>
  void DrawWordsShared(Tally& tally);
  // Ad hoc: every contender's index in its slot, the senders counted, for
  // the referees' pass (RefereeOrKeep).
  struct SlotTally {
    explicit SlotTally(long* first) : slot(first) {}
    void Add(VornNode* node, long index) {
      const bool sends = index >= 0;
      node->n_tx += sends;
      senders += sends;
      *slot++ = index;
      best = std::min(best, static_cast<unsigned long>(index));
    }
    void AddFromWords(VornNode* node, const ContentionDraw& law, const double* w, long& taken) {
      Add(node, law.UniformIndexFromWords(w, taken));
    }
    long* slot;
    unsigned long best = kNoneSent;
    long senders = 0;
  };
  // Every contender hears the reply (only senders do when unlucky); a silent
  // round has none, and takes the count back (UndoHeard).
  template <bool unlucky>
  static void CountSlots(VornNode* node, bool sends) {
    node->n_tx += sends;
    node->n_rx += unlucky ? sends : 1;
  }
  // Infrastructure: the senders of the lowest index so far, kept in one pass
  // in the contenders' order. Compacting in place is safe: no station is
  // written before it is read, and in a silent round every listener matches
  // the best, so the contenders are written back as they were.
  template <bool unlucky>
  struct BestSenders {
    explicit BestSenders(VornNode** kept_first) : first(kept_first), kept(kept_first) {}
    void Add(VornNode* node, long index) {
      const unsigned long word = static_cast<unsigned long>(index);
      CountSlots<unlucky>(node, index >= 0);
      kept = word < best ? first : kept;
      best = std::min(best, word);
      *kept = node;
      kept += word == best;
    }
    VornNode** first;
    VornNode** kept;
    unsigned long best = kNoneSent;
  };
  // The same with one uniform law for every station: the senders of the
  // best word are those whose key reaches its first key, and only a key past
  // the best word's keys (a few times a round) works out its word index.
  template <bool unlucky>
  struct BestKeys {
    BestKeys(VornNode** kept_first, const ContentionDraw& law_)
        : first(kept_first), kept(kept_first), law(law_) {}
    void AddKey(VornNode* node, uint64_t key) {
      CountSlots<unlucky>(node, key != 0);
      if (__builtin_expect(key >= above, 0)) Raise(key);
      *kept = node;
      kept += key >= floor;
    }
    void Add(VornNode* node, long index) { AddKey(node, index < 0 ? 0 : law.FirstKeyOf(index)); }
    void AddFromWords(VornNode* node, const ContentionDraw& same, const double* w, long& taken) {
      AddKey(node, same.UniformKeyFromWords(w, taken));
    }
    void Raise(uint64_t key) {
      best = static_cast<unsigned long>(law.IndexOfKey(key));
      floor = law.FirstKeyOf(static_cast<long>(best));
      above = law.FirstKeyOf(static_cast<long>(best) - 1);
      kept = first;
    }
    VornNode** first;
    VornNode** kept;
    const ContentionDraw& law;
    // Keys of the best word so far: listeners match while nobody sends.
    uint64_t floor = 0;
    uint64_t above = 1;
    unsigned long best = kNoneSent;
  };
  template <bool unlucky, bool shared>
  auto CentralTally();
  bool LawIsShared();
  template <bool unlucky>
  void UndoHeard();
  void RefereeOrKeep(unsigned long best);
  static constexpr unsigned long kNoneSent = ~0UL;

  bool BeginCycle();
  bool ContentionSlot();
  void ContendClear();
  void ArriveAll();
  void ArriveAllSaturated();
  template <bool empty_referees>
  void ArriveAllBernoulli();
  void SettleBulkArrivals();
  void RoomIgnored(VornNode&) {}
  void RoomToRefill(VornNode& node);
  void ClearRoundLists();
  void Conclude();

  // Variants chosen once by Initialize so that the cycle tests no option.
  void DrawNothing() {}
  void NewPowersEpoch() { powers.NewEpoch(); }
  void NewMasksEpoch() { masks.NewEpoch(); }
  void RandChannelsNever() {}
  void RandChannelsEveryRound();
  void RandChannelsFirstRound();
  bool SilentRoundIsVoid() { return false; }
  bool SilentRoundFails();
  bool RoundEndsNever() { return false; }
  bool RoundEndsOnLoneWinner();
  // Records only optional statistics read (mc_nodes, mc_packets,
  // pdf_winners, flow_stats): without them the cycle makes none.
  void RecordNever() {}
  void ClearPacketStates();
  template <bool nodes, bool packets>
  void RecordStates();
  void RecordAttemptNever(long) {}
  void RecordAttempt(long winners);

  void (VornNetwork::*arrive_all)() = &VornNetwork::ArriveAll;
  void (VornNetwork::*room_made)(VornNode&) = &VornNetwork::RoomIgnored;
  void (VornNetwork::*rand_channels)() = &VornNetwork::RandChannelsNever;
  void (VornNetwork::*draw_channels)() = &VornNetwork::DrawNothing;
  bool (VornNetwork::*silent_round)() = &VornNetwork::SilentRoundIsVoid;
  bool (VornNetwork::*round_ends)() = &VornNetwork::RoundEndsNever;
  void (VornNetwork::*clear_packets)() = &VornNetwork::RecordNever;
  void (VornNetwork::*record_states)() = &VornNetwork::RecordNever;
  void (VornNetwork::*record_attempt)(long) = &VornNetwork::RecordAttemptNever;
  void (VornNode::*second_chancer_centralized)() = &VornNode::StateContSecondChancerCentralized;

  std::vector<std::unique_ptr<VornNode>> nodes;
  // This round's word index of each contender, in the contenders' order.
  std::vector<long> word_slots;
  std::vector<ContentionDraw> shared_draws;
  std::vector<std::vector<VornNode*>> arrays;
  // Bulk arrivals: the stations whose queues have room, and the cycles whose
  // offers are not yet settled.
  VornNodelist refills;
  long bulk_arrivals = 0;
  long rounds = 0;
  long randsratio = 1;
  double t_coll = 0.0;
  bool channels_drawn = false;
};
