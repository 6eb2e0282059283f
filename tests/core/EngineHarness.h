// Test harness: configures the process-wide objects from OPTION=VALUE
// arguments as a run would, so engine tests start from a known state.
#pragma once

#include <deque>
#include <new>
#include <string>
#include <vector>

#include "core/Vorn.h"

namespace harness {

// String options point into the argument vector, so every one is kept.
inline char** KeepArgv(std::vector<std::string> args) {
  static std::deque<std::vector<std::string>> texts;
  static std::deque<std::vector<char*>> vectors;
  args.insert(args.begin(), "vorn");
  texts.push_back(std::move(args));
  vectors.emplace_back();
  for (std::string& text : texts.back()) vectors.back().push_back(&text[0]);
  vectors.back().push_back(nullptr);
  return vectors.back().data();
}

// Sets up a run of the arguments as the binary would, from a fresh Params and
// the given seed.
inline void Configure(std::vector<std::string> args, unsigned long seed = 1) {
  Params.~VornParams();
  new (&Params) VornParams();
  args.push_back("seed=" + std::to_string(seed));
  SetUpRun(static_cast<int>(args.size() + 1), KeepArgv(args));
}

inline void Cycle() {
  (Net.*Net.contend)();
}

inline void Cycles(long n) {
  for (long i = 0; i < n; ++i) Cycle();
}

}  // namespace harness
