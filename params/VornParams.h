// VornParams: the protocol options of subcarrier contention, the per-level
// per-round p and tau tables, the node groups and the cycle timing.
#pragma once

#include <string>

#include "params/SimParams.h"
#include "params/TableReader.h"
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
  // p_table, tau_table and node_groups, in this order; returns why the first
  // refused input is refused, or "".
  std::string ReadTables();
  // One per-level per-round table: from the CSV file when one is named,
  // otherwise from values as a single row, each cell as cells accepts.
  // Returns why the input is refused, or "".
  std::string ParseSlotQoSParam(const char* file, const CSVString& values, const TableReader& cells,
                                ArrayDense<double, unsigned>& table);
  // node_groups from nodes_def (lines separated by ';'), else from nodes_file;
  // returns why the input is refused, or "".
  std::string ReadNodeGroups();
  // Checks the tables against each other, R and F, sets qos_levels.
  void ExtractQoSLevels();
  // Packet-count states of mc_packets; trans_packets.csv lists their square.
  static constexpr long kMaxPacketStates = 4096;
  // Arrivals per contention cycle of one station's clocked arrival process.
  static constexpr double kMaxArrivalsPerCycle = 1000;
  // Frame and header sizes in bits, the signed 32-bit range.
  static constexpr long kMaxBits = 2147483647;
  // Seeds are 32-bit, and 0 asks for one from the time of day.
  static constexpr long kMaxSeed = 4294967295;

  // The values given to every layer's options, checked before anything is
  // derived from them, so that they come before the other errors.
  void CheckRanges() const;
  // Options given beside the one that overrides them (M, ar_type and ar_rate
  // beside node groups, nodes_file beside nodes_def, p and tau beside their
  // table files), unless they hold the value in force.
  void CheckOverrides() const;
  // Usable arrival rates in every node group.
  void CheckNodeGroups() const;
  // The message of the first unusable node group rate ("" when none), so that
  // it can be checked without ending the process.
  std::string NodeGroupProblem() const;
  // Derived values that would make the run hang, overflow or exhaust memory.
  void CheckLimits() const;
  // Tables that would not fit into memory, and mc_packets state counts.
  void CheckMemory() const;
  // Bytes the network's tables will take, estimated from the stations, the
  // subcarriers, the channel model, the queues and the recorders.
  double MemoryNeeded() const;
  // Half of the machine's physical memory (unlimited when it is unknown).
  static double MemoryLimit();
  // Stations the network will build: M, or the sum of the node groups' N.
  double StationCount() const;
  // Fastest clocked arrival rate in bit/s (infinite while t_coll is unusable).
  double MaxArrivalRate() const;

  // Defaults of the lists that QoS table files override, which a run beside
  // them keeps.
  static constexpr const char* kDefaultP = "0.5,0.5,0.5";
  static constexpr const char* kDefaultTau = "1.0,1.0,1.0";

  // Options, in registration order.
  long randsratio = 1;
  bool coop = false;
  long R = 3;
  long F = 8;
  long L = 1;
  double ts = 7e-06;
  CSVString p{kDefaultP};
  CSVString tau{kDefaultTau};
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
  // Stop at this relative 95 % half-width of precision_metric; 0 for none.
  double precision = 0;
  const char* precision_metric = "S";
  // 1 computes the exact model of the outcome shares instead of a run.
  bool exact = false;

  // Contention subcarriers, F·L: F core subcarriers, each repeated L times.
  long subcarriers = 0;
  double t_coll = 0;
  double t_cont = 0;
  double t_succ = 0;
  ArrayDense<double, unsigned> tau_table;
  ArrayDense<double, unsigned> p_table;
  // One row per group: N, A, R, Q, T.
  ArrayDense<double, unsigned> node_groups;
  // The line of every node group in its file or text.
  std::vector<long> node_group_lines;

 private:
  void AdaptToChannelBandwidth();
  void SetProtocolTiming();
  void ExpandSubcarriers();
  const char* NodeGroupSource() const;
  // The option the node groups come from.
  const char* NodeGroupOption() const;
  // Warns of values given that run otherwise than their option suggests.
  void WarnIneffective(long levels) const;
};
