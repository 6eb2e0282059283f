// The process-wide objects, constructed in this order before main, and the
// steps of one run.
#include "core/Vorn.h"

#include <cstdio>
#include <iostream>
#include <vector>

#include "stats/RunReport.h"

// First global, so the total covers the construction of all the others.
Stopwatch MainChrono(true);
VornParams Params;
VornNetwork Net;
VornCode Code;
GenRand Rand;
double sim_time = 0.0;

namespace {

// The results of the network and of every station as they stand now.
RunReport Report() {
  std::vector<StationReport> stations;
  for (VornNode* node : Net.all_nodes)
    stations.emplace_back(Params, *node, node->throughput_flow, node->queue, Net.all_nodes.count,
                          Net.n_slots, sim_time);
  return RunReport(Params, NetworkReport(Params, Net, Net.all_nodes.count, Net.ap, sim_time),
                   std::move(stations),
                   PrecisionReport(Params, Net.batches, Net.Totals(), Net.saturated));
}

}  // namespace

void SetUpRun(int argc, char** argv) {
  Params.GetArguments(argc, argv);
  Params.CatchHelp(80);
  Params.Initialize();
  if (Params.seed == 0) Params.seed = GenRand::TimeOfDaySeed();
  Rand.Seed(static_cast<unsigned long>(Params.seed));
  Code.Initialize(Params.F, Params.L);
  sim_time = 0.0;
  Net.Initialize();
}

int RunVorn(int argc, char** argv) {
  SetUpRun(argc, argv);
  if (Params.header) {
    Report().PrintHeader(std::cout);
    return 0;
  }
  Params.DumpFileOpts();
  Net.Simulation();
  // With a precision target, which of the limits ended the run.
  if (Params.precision > 0)
    std::fprintf(stderr, "# stopped by %s after %ld cycles\n", Net.ended_by, Net.n_slots);
  Report().Write(Net.chrono);
  MainChrono.stop();
  MainChrono.print("total", stderr);
  return 0;
}
