// Benchmark scenarios: the option sets the suite times, and the random work
// one of their cycles does on average, counted over seeded cycles.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace bench {

struct Scenario {
  std::string name;
  std::vector<std::string> args;
  bool plain = false;  // timed against its PlainLoop too
};

// Every scenario of the suite, in report order.
const std::vector<Scenario>& Scenarios();

// Builds the network of the scenario from a fixed seed, as a run would.
void Configure(const Scenario& scenario);

// The random work of one average cycle of a scenario.
struct RandomWork {
  double uniforms = 0;        // plain uniform draws: coin flips, words, masks, arrivals
  double draws = 0;           // channel values drawn (each on its first read)
  long logs_per_draw = 0;     // one per Rayleigh value (with its uniform draw)
  long normals_per_draw = 0;  // two per Rice value
};

// Counts the work of the scenario's cycles after Configure, over enough
// cycles for a stable average.
RandomWork MeasureWork(const Scenario& scenario);

// time/cycle (seconds, shown in ns) and cycles/s counters for a benchmark whose iteration is one
// cycle.
void SetCycleCounters(benchmark::State& state);

// Heap allocations made by the process so far.
long AllocationCount();

// "Cycle/<name>": contention cycles of the scenario, statistics off, with the
// heap allocations made while they ran ("allocs", expected 0).
void RegisterCycle(const Scenario& scenario);
// "Floor/<name>": only the random work of the scenario's average cycle.
void RegisterFloor(const Scenario& scenario);
// "Plain/<name>": the scenario's law as a PlainLoop.
void RegisterPlain(const Scenario& scenario);

}  // namespace bench
