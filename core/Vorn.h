// The process-wide objects of one simulation run and the run driver.
#pragma once

#include "params/VornParams.h"
#include "random/GenRand.h"

// Every option and derived constant of the run.
extern VornParams Params;
// The single random stream used by every draw.
extern GenRand Rand;

// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;

// One whole run: options, initialisation, simulation, results. Returns the
// process exit status.
int RunVorn(int argc, char** argv);
