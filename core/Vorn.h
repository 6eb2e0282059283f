// The process-wide objects of one simulation run and the run driver.
#pragma once

// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;

// One whole run: options, initialisation, simulation, results. Returns the
// process exit status.
int RunVorn(int argc, char** argv);
