// The process-wide objects of one simulation run and the run driver.
#pragma once

#include "stats/Stopwatch.h"

// Processor time of the whole process, running from before main.
extern Stopwatch MainChrono;

// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;

// One whole run: options, initialisation, simulation, results. Returns the
// process exit status.
int RunVorn(int argc, char** argv);
