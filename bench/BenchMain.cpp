// vorn_bench: each scenario's contention cycle next to its random-work floor.
#include "bench/BenchScenarios.h"

int main(int argc, char** argv) {
  for (const bench::Scenario& scenario : bench::Scenarios()) {
    bench::RegisterCycle(scenario);
    bench::RegisterFloor(scenario);
    if (scenario.plain) bench::RegisterPlain(scenario);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
