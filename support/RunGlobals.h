// The two process-wide values the lower layers read: the simulated clock and
// the random stream. The run driver (core/Vorn.cpp) defines them.
#pragma once

class GenRand;

// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;
// The single random stream of the run, seeded once at start-up.
extern GenRand Rand;
