// The process-wide objects of one simulation run and the run driver.
#pragma once

#include "core/VornCode.h"
#include "random/GenRand.h"
#include "stats/Stopwatch.h"

// Processor time of the whole process, running from before main.
extern Stopwatch MainChrono;
// The contention code words, built once the options are known.
extern VornCode Code;
// The single random stream, seeded from the time of day.
extern GenRand Rand;
// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;

// One whole run: options, initialisation, simulation, results. Returns the
// process exit status.
int RunVorn(int argc, char** argv);
