// NetworkReport: the network result row (52 columns), the network flow table
// and the distribution and transition files, computed from the engine's
// counters.
#pragma once

#include <iosfwd>

#include "params/VornParams.h"
#include "stats/NetworkCounters.h"
#include "stats/SimpleStats.h"
#include "stats/StationCounters.h"

class NetworkReport {
 public:
  // The row is filled here from the counters as they are now: stations is the
  // station count, ap the access point (null in ad hoc mode), time the
  // simulated seconds.
  NetworkReport(const VornParams& params, const NetworkCounters& counters, long stations,
                const StationCounters* ap, double time);
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
  void FillRow(long stations, const StationCounters* ap, double time);

  const VornParams& params;
  SimpleStats row;
};
