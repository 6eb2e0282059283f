// Test harness: configures the process-wide objects from OPTION=VALUE
// arguments as a run would, so engine tests start from a known state.
#pragma once

#include <deque>
#include <new>
#include <string>
#include <vector>

#include "core/Vorn.h"
#include "tests/TestSupport.h"

namespace harness {

// Sets up a run of the arguments as the binary would, from a fresh Params and
// the given seed.
inline void Configure(std::vector<std::string> args, unsigned long seed = 1) {
  Params.~VornParams();
  new (&Params) VornParams();
  args.push_back("seed=" + std::to_string(seed));
  // String options point into the argument vector, so every one is kept.
  static std::deque<TestArgs> kept;
  kept.emplace_back(args);
  SetUpRun(kept.back().argc(), kept.back().argv());
}

inline void Cycle() {
  (Net.*Net.contend)();
}

inline void Cycles(long n) {
  for (long i = 0; i < n; ++i) Cycle();
}

}  // namespace harness
