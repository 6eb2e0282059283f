// The process-wide objects, constructed in this order before main, and the
// steps of one run.
#include "core/Vorn.h"

#include <cstdio>

// First global, so the total covers the construction of all the others.
Stopwatch MainChrono(true);
VornParams Params;
VornNetwork Net;
VornCode Code;
GenRand Rand;
double sim_time = 0.0;

int RunVorn(int argc, char** argv) {
  Params.GetArguments(argc, argv);
  Params.CatchHelp(80);
  Params.Initialize();
  if (Params.seed == 0) Params.seed = GenRand::TimeOfDaySeed();
  Rand.Seed(static_cast<unsigned long>(Params.seed));
  Params.DumpFileOpts();
  Code.Initialize(Params.F / Params.L, Params.L);
  Net.Initialize();
  Net.Simulation();
  Net.DumpStats();
  MainChrono.stop(false, "", stderr);
  MainChrono.print("total", stderr);
  return 0;
}
