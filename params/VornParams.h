// VornParams: the protocol options of subcarrier contention, the per-level
// per-round p and tau tables, the node groups and the cycle timing.
#pragma once

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
  // Range checks of every layer; run last so that the other errors keep precedence.
  void CheckRanges() const;
  // Whole station counts and usable arrival rates in every node group.
  void CheckNodeGroups() const;

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
