// The floor of each scenario: the uniform draws, logarithms and normal draws
// of its average cycle and nothing else, so a cycle's cost can be read as a
// multiple of the random work it cannot avoid.
#include <vector>

#include "bench/BenchScenarios.h"
#include "tests/core/EngineHarness.h"

namespace bench {

namespace {

// Whole units due after adding rate to the fractional carry.
long Due(double& carry, double rate) {
  carry += rate;
  const long whole = static_cast<long>(carry);
  carry -= whole;
  return whole;
}

// Each kind of draw by GenRand's fastest way to make it: uniforms and
// logarithms in batches, normals one by one (the ziggurat is sequential).
void RunFloor(benchmark::State& state, const RandomWork& work) {
  std::vector<double> batch(static_cast<size_t>(work.uniforms + work.logs_per_draw) + 1);
  double uniforms_carry = 0, draws_carry = 0;
  for (auto _ : state) {
    Rand.Uniforms(batch.data(), Due(uniforms_carry, work.uniforms));
    for (long d = Due(draws_carry, work.draws); d > 0; --d) {
      Rand.LogComplements(batch.data(), work.logs_per_draw);
      for (long i = 0; i < work.normals_per_draw; ++i)
        benchmark::DoNotOptimize(Rand.normal.r4_nor());
    }
    benchmark::DoNotOptimize(batch.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

void RegisterFloor(const Scenario& scenario) {
  benchmark::RegisterBenchmark(("Floor/" + scenario.name).c_str(),
                               [&scenario](benchmark::State& state) {
                                 const RandomWork work = MeasureWork(scenario);
                                 RunFloor(state, work);
                                 SetCycleCounters(state);
                                 state.counters["uniforms"] = work.uniforms;
                                 state.counters["draws"] = work.draws;
                               });
}

}  // namespace bench
