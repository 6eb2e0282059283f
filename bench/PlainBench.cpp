// The plain loops of the scenarios that have one, timed as their cycles are.
#include "bench/BenchScenarios.h"
#include "bench/PlainLoop.h"

namespace bench {

void RegisterPlain(const Scenario& scenario) {
  benchmark::RegisterBenchmark(("Plain/" + scenario.name).c_str(),
                               [&scenario](benchmark::State& state) {
                                 Configure(scenario);
                                 bool fits = false;
                                 PlainLoop plain = PlainLoop::FromParams(20240917, fits);
                                 if (!fits) state.SkipWithError("no plain loop for this law");
                                 for (auto _ : state) plain.Cycle();
                                 benchmark::DoNotOptimize(plain.outcomes);
                                 SetCycleCounters(state);
                               });
}

}  // namespace bench
