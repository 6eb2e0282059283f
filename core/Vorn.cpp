// The process-wide objects, constructed in this order before main, and the
// steps of one run.
#include "core/Vorn.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "core/ExactModel.h"
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

// The model's row instead of a run: refused out of its reach, and no file.
int RunExactModel() {
  const std::string problem = ExactModel::OutOfReach(Params);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  NetworkReport row(Params, ExactModel::Shares(Params, Code.n_words), Params.M);
  if (Params.header)
    row.PrintHeader(std::cout);
  else
    row.PrintRow(std::cout, Params.debug != 0, Params.csv);
  return 0;
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
  if (Params.exact) return RunExactModel();
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
