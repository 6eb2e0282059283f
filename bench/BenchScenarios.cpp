// Benchmark scenarios and the count of the random work of their cycles.
#include "bench/BenchScenarios.h"

#include <utility>

#include "tests/core/EngineHarness.h"

namespace bench {

namespace {

constexpr unsigned long kSeed = 20240917;

void AddGrowth(std::vector<Scenario>& list, const char* model, std::vector<std::string> args, int m,
               bool plain = false) {
  args.push_back("M=" + std::to_string(m));
  list.push_back({std::string("growth_") + model + "_M" + std::to_string(m), args, plain});
}

std::vector<Scenario> BuildScenarios() {
  std::vector<Scenario> list = {
      {"defaults", {}, true},
      {"adhoc_coop_bernoulli", {"adhoc=1", "coop=1", "ar_type=4", "ar_rate=0.1"}},
      {"binomial_M20_F8_L2", {"M=20", "fsf_type=1", "F=8", "L=2"}},
      {"rayleigh_M20_F16_fast", {"M=20", "fsf_type=2", "F=16", "fsf_fast=1"}},
      {"rice_M20_F16_infra", {"M=20", "fsf_type=4", "F=16"}},
  };
  for (int m : {5, 20, 50, 100, 200}) AddGrowth(list, "none", {}, m, m == 200);
  // Fading growth: what a cycle costs as the network grows, per model and mode.
  const std::pair<const char*, std::vector<std::string>> fading[] = {
      {"rayleigh", {"fsf_type=2"}}, {"rayleigh_adhoc", {"fsf_type=2", "adhoc=1"}},
      {"binomial", {"fsf_type=1"}}, {"binomial_adhoc", {"fsf_type=1", "adhoc=1"}},
      {"rice", {"fsf_type=4"}},
  };
  for (const auto& [model, args] : fading)
    for (int m : {20, 50, 100, 200, 400, 1000}) AddGrowth(list, model, args, m);
  return list;
}

// Channel values drawn so far: each is drawn when a listener first reads it.
long ValuesDrawn() {
  return Net.powers.values_drawn + Net.masks.values_drawn;
}

}  // namespace

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> list = BuildScenarios();
  return list;
}

void Configure(const Scenario& scenario) {
  harness::Configure(scenario.args, kSeed);
}

RandomWork MeasureWork(const Scenario& scenario) {
  Configure(scenario);
  constexpr long kCycles = 20000;
  const long words_before = Rand.WordsDrawn(), values_before = ValuesDrawn();
  for (long c = 0; c < kCycles; ++c) harness::Cycle();
  RandomWork work;
  work.draws = static_cast<double>(ValuesDrawn() - values_before) / kCycles;
  if (Params.channel == ChannelModel::kRayleigh) work.logs_per_draw = 1;
  if (Params.channel == ChannelModel::kRice) work.normals_per_draw = 2;
  const double words = static_cast<double>(Rand.WordsDrawn() - words_before) / kCycles;
  work.uniforms = words - work.draws * work.logs_per_draw;
  return work;
}

void SetCycleCounters(benchmark::State& state) {
  using benchmark::Counter;
  state.counters["time/cycle"] = Counter(1, Counter::kIsIterationInvariantRate | Counter::kInvert);
  state.counters["cycles/s"] = Counter(1, Counter::kIsIterationInvariantRate);
}

}  // namespace bench
