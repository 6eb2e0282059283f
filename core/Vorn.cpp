// The process-wide objects, constructed in this order before main, and the
// steps of one run.
#include "core/Vorn.h"

VornCode Code;
GenRand Rand;

double sim_time = 0.0;

int RunVorn(int, char**) {
  return 0;
}
