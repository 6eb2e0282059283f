// The process-wide objects of one simulation run and the run driver.
#pragma once

#include "core/VornCode.h"
#include "core/VornNetwork.h"
#include "params/VornParams.h"
#include "random/GenRand.h"
#include "stats/Stopwatch.h"
#include "support/RunGlobals.h"

// Processor time of the whole process, running from before main.
extern Stopwatch MainChrono;
// Every option and derived constant of the run.
extern VornParams Params;
// The stations, the access point and the contention engine.
extern VornNetwork Net;
// The contention code words, built once the options are known.
extern VornCode Code;

// Everything before the first cycle, the same for a run, a test and a
// benchmark: the options of argv (ending the process on help or a refused
// value), the derived constants, the seed (the time of day's when none is
// given), the code words and the network. Params must be freshly constructed.
void SetUpRun(int argc, char** argv);
// One whole run: set-up, simulation, results. Returns the process exit status.
int RunVorn(int argc, char** argv);
