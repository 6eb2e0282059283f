// The process-wide objects, constructed in this order before main, and the
// steps of one run.
#include "core/Vorn.h"

// First global, so the total covers the construction of all the others.
Stopwatch MainChrono(true);
VornCode Code;
GenRand Rand;
double sim_time = 0.0;

int RunVorn(int, char**) { return 0; }
