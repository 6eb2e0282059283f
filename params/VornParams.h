// VornParams: the protocol options of subcarrier contention, the per-level
// per-round p and tau tables, the node groups and the cycle timing.
#pragma once

#include <string>

#include "params/SimParams.h"
#include "support/ArrayDense.h"
#include "support/CSVString.h"

class VornParams : public SimParams {
 public:
  VornParams();
  ~VornParams() override = default;

  // Registers the own options after those of SimParams.
  void GetArguments(int argc, char** argv);
  // The whole configuration step; ends the process on invalid combinations.
  void Initialize();
  // One per-level per-round table: from the CSV file when one is named,
  // otherwise from values as a single row (empty when a value is not numeric).
  void ParseSlotQoSParam(const char* file, CSVString& values, ArrayDense<double, unsigned>& table);
  // node_groups from nodes_def (lines separated by ';'), else from nodes_file.
  void ReadNodeGroups();
  // Checks the tables against each other, R and F, sets qos_levels.
  void ExtractQoSLevels();
  // Largest network, in stations: the channel state grows with its square.
  static constexpr long kMaxStations = 2000;
  // Queue slots over all stations, each held twice (ring and histogram).
  static constexpr long kMaxQueueSlots = 1L << 24;
  // Packet-count states of mc_packets; the transition matrices hold their square.
  static constexpr long kMaxPacketStates = 4096;
  // Arrivals per contention cycle of one station's clocked arrival process.
  static constexpr double kMaxArrivalsPerCycle = 1000;
  // Frame and header sizes in bits, the signed 32-bit range.
  static constexpr long kMaxBits = 2147483647;
  // Seeds are 32-bit, and 0 asks for one from the time of day.
  static constexpr long kMaxSeed = 4294967295;

  // Range checks of every layer; run last so that the other errors keep precedence.
  void CheckRanges() const;
  // Whole station counts and usable arrival rates in every node group.
  void CheckNodeGroups() const;
  // The message of the first unusable node group value ("" when none), so that
  // it can be checked without ending the process.
  std::string NodeGroupProblem() const;
  // Values that would make the run hang, overflow or exhaust memory.
  void CheckLimits() const;
  // Station count, queue and mc_packets sizes that would exhaust memory.
  void CheckMemory() const;
  // Stations the network will build: M, or the sum of the node groups' N.
  long StationCount() const;
  // Fastest clocked arrival rate in bit/s (infinite while t_coll is unusable).
  double MaxArrivalRate() const;

  // Options, in registration order.
  long randsratio = 1;
  bool coop = false;
  long R = 3;
  long F = 8;
  long L = 1;
  double ts = 7e-06;
  CSVString p{"0.5,0.5,0.5"};
  CSVString tau{"1.0,1.0,1.0"};
  bool unlucky = false;
  bool peers = false;
  bool greedy = true;
  bool indep = true;
  long qos_type = 0;
  const char* qos_tau_file = "";
  const char* qos_p_file = "";
  bool pdf_winners = false;
  bool mc_nodes = false;
  bool mc_packets = false;
  // 0 until the run driver replaces it by the seed it used.
  long seed = 0;

  double t_coll = 0;
  double t_cont = 0;
  double t_succ = 0;
  ArrayDense<double, unsigned> tau_table;
  ArrayDense<double, unsigned> p_table;
  // One row per group: N, A, R, Q, T.
  ArrayDense<double, unsigned> node_groups;

 private:
  void AdaptToChannelBandwidth();
  void SetProtocolTiming();
  void ExpandSubcarriers();
  const char* NodeGroupSource() const;
};
