// The simulated clock shared by the engine and the records that sample it.
#pragma once

// Simulated time in seconds; advanced only by the contention outcomes.
extern double sim_time;
