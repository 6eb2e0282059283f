// The process-wide objects, constructed in this order before main, and the
// steps of one run.
#include "core/Vorn.h"

VornParams Params;
GenRand Rand;

double sim_time = 0.0;

int RunVorn(int argc, char** argv) {
  Params.GetArguments(argc, argv);
  Params.CatchHelp(80);
  Params.Initialize();
  Params.DumpFileOpts();
  return 0;
}
