// The floor of each scenario: the uniform draws, logarithms and normal draws
// of its average cycle and nothing else, so a cycle's cost can be read as a
// multiple of the random work it cannot avoid.
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

void RunFloor(benchmark::State& state, const RandomWork& work) {
  double uniforms_carry = 0, draws_carry = 0, sum = 0;
  const double mean = Params.y_pw, floor = Params.ymin_pw;
  for (auto _ : state) {
    for (long i = Due(uniforms_carry, work.uniforms); i > 0; --i) sum += Rand.Uniform();
    for (long d = Due(draws_carry, work.draws); d > 0; --d) {
      for (long i = 0; i < work.logs_per_draw; ++i) sum += Rand.RayleighFading(mean, floor);
      for (long i = 0; i < work.normals_per_draw; ++i) sum += Rand.normal.r4_nor();
    }
    benchmark::DoNotOptimize(sum);
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
