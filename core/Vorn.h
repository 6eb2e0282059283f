// The process-wide objects of one simulation run and the run driver.
#pragma once

#include "core/VornCode.h"
#include "random/GenRand.h"

// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;

// The contention code words, built once the options are known.
extern VornCode Code;
// The single random stream, seeded from the time of day.
extern GenRand Rand;

// One whole run: options, initialisation, simulation, results. Returns the
// process exit status.
int RunVorn(int argc, char** argv);
