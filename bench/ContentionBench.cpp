// Contention cycles of each scenario, timed one cycle per iteration.
#include "bench/BenchScenarios.h"
#include "tests/core/EngineHarness.h"

namespace bench {

void RegisterCycle(const Scenario& scenario) {
  benchmark::RegisterBenchmark(
      ("Cycle/" + scenario.name).c_str(), [&scenario](benchmark::State& state) {
        Configure(scenario);
        const long before = AllocationCount();
        for (auto _ : state) harness::Cycle();
        state.counters["allocs"] = static_cast<double>(AllocationCount() - before);
        SetCycleCounters(state);
      });
}

}  // namespace bench
