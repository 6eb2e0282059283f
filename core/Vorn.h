// The process-wide objects of one simulation run and the run driver.
#pragma once

#include "core/SimTime.h"
#include "core/VornCode.h"
#include "core/VornNetwork.h"
#include "params/VornParams.h"
#include "random/GenRand.h"
#include "stats/Stopwatch.h"

// Processor time of the whole process, running from before main.
extern Stopwatch MainChrono;
// Every option and derived constant of the run.
extern VornParams Params;
// The stations, the access point and the contention engine.
extern VornNetwork Net;
// The contention code words, built once the options are known.
extern VornCode Code;
// The single random stream, seeded from the seed option or the time of day.
extern GenRand Rand;

// One whole run: options, initialisation, simulation, results. Returns the
// process exit status.
int RunVorn(int argc, char** argv);
