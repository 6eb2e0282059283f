// StationReport: one station's result row (32 columns), its flow table and
// its four queue files, computed from the station's and its queue's counters.
#pragma once

#include <iosfwd>
#include <vector>

#include "params/VornParams.h"
#include "stats/QueueCounters.h"
#include "stats/SimpleStats.h"
#include "stats/StationCounters.h"

class StationReport {
 public:
  // flow is the station's record of successes among attempts; stations and
  // slots are the network's station count and cycle count, time the
  // simulated seconds.
  StationReport(const VornParams& params, const StationCounters& station,
                const FlowStats<long>& flow, const QueueCounters& queue, long stations, long slots,
                double time);
  virtual ~StationReport() = default;

  // The result row, restricted to the stats selection; a header row before
  // it only from station 0 and when asked. csv false prints name=value pairs.
  void PrintRow(std::ostream& os, bool header, bool csv) const;
  // Names of the row's columns, restricted to the stats selection.
  void PrintHeader(std::ostream& os) const;
  // time, throughput, Ps, pkt_ps, pktdrops_ps per flow window.
  void WriteFlow(std::ostream& os) const;
  // One value per line, six decimals.
  static void WriteSeries(std::ostream& os, const std::vector<double>& series);
  // "i, n, p_i": each queue length after the arrivals, its count and share.
  void WriteLengths(std::ostream& os) const;

  const StationCounters& station;
  const FlowStats<long>& flow;
  const QueueCounters& queue;

 private:
  SimpleStats Row() const;

  const VornParams& params;
  long stations;
  long slots;
  double time;
};
