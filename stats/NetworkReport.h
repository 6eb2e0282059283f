// NetworkReport: the network result row (52 columns), the network flow table
// and the distribution and transition files, computed from the engine's
// counters.
#pragma once

#include <iosfwd>

#include "params/VornParams.h"
#include "stats/NetworkCounters.h"
#include "stats/SimpleStats.h"
#include "stats/StationCounters.h"

// Long-run share of cycles by outcome, and the access point's idle
// listenings per cycle: what a model gives where a run has counters.
struct CycleShares {
  double idle = 0;
  double success = 0;
  double collision = 0;
  double failure = 0;
  double ref_idle = 0;
};

class NetworkReport {
 public:
  // The row is filled here from the counters as they are now: stations is the
  // station count, ap the access point (null in ad hoc mode), time the
  // simulated seconds.
  NetworkReport(const VornParams& params, const NetworkCounters& counters, long stations,
                const StationCounters* ap, double time);
  // The row of a model: the same columns from shares of cycles, without the
  // counts and the simulated time, which only a run has.
  NetworkReport(const VornParams& params, const CycleShares& shares, long stations);
  virtual ~NetworkReport() = default;

  // The result row, restricted to the stats selection, after its header row
  // when asked. csv false prints name=value pairs and no header.
  void PrintRow(std::ostream& os, bool header, bool csv);
  // Names of the row's columns, restricted to the stats selection.
  void PrintHeader(std::ostream& os);
  // time, pktps, Throughput, Ps_t per flow window.
  void WriteFlow(std::ostream& os) const;
  // "<label>, occurences, probability": each value, its count and share.
  static void WriteDistribution(std::ostream& os, const ProbPDF& pdf, const char* label);
  // Each previous state's row of counts and conditional shares, each row
  // followed by an empty line.
  static void WriteTransitions(std::ostream& os, const TransProb& tp, const char* label);

  const NetworkCounters& counters;

 private:
  // What the model's row refers to, as it has no counters.
  static const NetworkCounters& NoCounters();
  // The columns from outcome counts or shares over cycles; the counts and the
  // time of a run are pushed when it has them.
  void FillRow(long stations, const CycleShares& cycles, double slots, double time, bool run);

  const VornParams& params;
  SimpleStats row;
};
