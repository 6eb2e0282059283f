// RunReport: everything a run reports at its end, in order: the result rows
// on standard output, the simulation-loop time, then the output folder and
// every CSV file the options ask for.
#pragma once

#include <iosfwd>
#include <vector>

#include "params/VornParams.h"
#include "stats/NetworkReport.h"
#include "stats/OutputFolder.h"
#include "stats/PrecisionReport.h"
#include "stats/StationReport.h"
#include "stats/Stopwatch.h"

class RunReport {
 public:
  RunReport(const VornParams& params, NetworkReport network, std::vector<StationReport> stations,
            PrecisionReport precision);
  virtual ~RunReport() = default;

  // Rows, the "cont" line of loop (debug above 1), the folder and the files.
  void Write(const Stopwatch& loop);
  // One station's row (show_node), every station's (nodes_stats, nodes_only)
  // or the network's, with a header row unless debug is 0.
  void PrintRows(std::ostream& os);
  // Only the header row those rows have, whatever debug and csv say.
  void PrintHeader(std::ostream& os);

 private:
  bool StationRows() const;
  void WriteFiles(const OutputFolder& folder);
  // One file per station: prefix<id>.csv written by write(report, file).
  template <class Writer>
  void WriteStationFiles(const OutputFolder& folder, const char* prefix, Writer write) const;

  const VornParams& params;
  NetworkReport network;
  std::vector<StationReport> stations;
  PrecisionReport precision;
};
