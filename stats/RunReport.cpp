// RunReport: the order of the end-of-run output and the choice of rows.
#include "stats/RunReport.h"

#include <cstdio>
#include <iostream>
#include <string>

RunReport::RunReport(const VornParams& params_, NetworkReport network_,
                     std::vector<StationReport> stations_, PrecisionReport precision_)
    : params(params_),
      network(std::move(network_)),
      stations(std::move(stations_)),
      precision(std::move(precision_)) {}

void RunReport::Write(const Stopwatch& loop) {
  PrintRows(std::cout);
  // Rows first even when both streams go to one file.
  std::cout.flush();
  if (params.debug > 1) loop.print("cont", stderr);
  const OutputFolder folder(params.out_dir);
  if (!folder.Prepare()) {
    std::fprintf(stderr, "Error: Could not create or open directory \"%s\".\n", params.out_dir);
    return;
  }
  WriteFiles(folder);
}

bool RunReport::StationRows() const {
  const long shown = params.show_node;
  return (shown >= 0 && shown < static_cast<long>(stations.size())) || params.nodes_stats ||
         params.nodes_only;
}

void RunReport::PrintRows(std::ostream& os) {
  const bool header = params.debug != 0;
  const long shown = params.show_node;
  if (shown >= 0 && shown < static_cast<long>(stations.size()))
    stations[shown].PrintRow(os, header, params.csv);
  else if (StationRows())
    for (const StationReport& station : stations) station.PrintRow(os, header, params.csv);
  else
    network.PrintRow(os, header, params.csv);
}

void RunReport::PrintHeader(std::ostream& os) {
  if (!StationRows()) return network.PrintHeader(os);
  // The names are those of any station, even when there is none.
  const StationCounters station;
  const FlowStats<long> flow;
  const QueueCounters queue;
  StationReport(params, station, flow, queue, 0, 0, 0.0).PrintHeader(os);
}

void RunReport::WriteFiles(const OutputFolder& folder) {
  if (params.flow_stats_on) {
    folder.Write("flow_network.csv", "Could not open/create flow_network output file.\n",
                 [this](std::ostream& os) { network.WriteFlow(os); });
    WriteStationFiles(folder, "flow_node",
                      [](const StationReport& s, std::ostream& os) { s.WriteFlow(os); });
  }
  if (params.queue_stats) {
    WriteStationFiles(folder, "servicetime_node", [](const StationReport& s, std::ostream& os) {
      StationReport::WriteSeries(os, s.queue.service_times);
    });
    WriteStationFiles(folder, "arrivaltime_node", [](const StationReport& s, std::ostream& os) {
      StationReport::WriteSeries(os, s.queue.arrival_times);
    });
    WriteStationFiles(folder, "delay_node", [](const StationReport& s, std::ostream& os) {
      StationReport::WriteSeries(os, s.queue.delays);
    });
    WriteStationFiles(folder, "packets_node",
                      [](const StationReport& s, std::ostream& os) { s.WriteLengths(os); });
  }
  folder.Write("nodes.csv", "Could not open/create nodes output file.\n", [this](std::ostream& os) {
    for (const StationReport& station : stations) station.PrintRow(os, true, true);
  });
  folder.Write("network.csv", "Could not open/create network output file.\n",
               [this](std::ostream& os) { network.PrintRow(os, true, true); });
  folder.Write("precision.csv", "Could not open/create precision output file.\n",
               [this](std::ostream& os) { precision.Write(os); });
  const NetworkCounters& counts = network.counters;
  if (params.pdf_winners)
    folder.Write("pdf_winners.csv", "Could not open/create winners output file.\n",
                 [&](std::ostream& os) {
                   NetworkReport::WriteDistribution(os, counts.winners_pdf, "winners");
                 });
  if (params.mc_nodes)
    folder.Write("pdf_nodes_active.csv", "Could not open/create active nodes file.\n",
                 [&](std::ostream& os) {
                   NetworkReport::WriteDistribution(os, counts.nodes_pdf, "busy_nodes");
                 });
  if (params.mc_packets) {
    const char* failure = "Could not open/create packets file.\n";
    folder.Write("pdf_packets.csv", failure, [&](std::ostream& os) {
      NetworkReport::WriteDistribution(os, counts.packets_pdf, "packets");
    });
    folder.Write("trans_packets.csv", failure, [&](std::ostream& os) {
      NetworkReport::WriteTransitions(os, counts.packets_tp, "pktslot");
    });
    folder.Write("trans_packets_arrival.csv", failure, [&](std::ostream& os) {
      NetworkReport::WriteTransitions(os, counts.arrivals_tp, "ques");
    });
  }
}

template <class Writer>
void RunReport::WriteStationFiles(const OutputFolder& folder, const char* prefix,
                                  Writer write) const {
  for (const StationReport& station : stations) {
    const std::string name = prefix + std::to_string(station.station.id);
    const std::string failure = "Could not open/create " + name + " output file .\n";
    folder.Write(name + ".csv", failure.c_str(), [&](std::ostream& os) { write(station, os); });
  }
}
