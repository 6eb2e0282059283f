// Benchmark scenarios and the count of the random work of their cycles.
#include "bench/BenchScenarios.h"

#include <algorithm>
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

// Rounds the last cycle played: none when idle, else up to the round that
// ended it early, else all of them.
long RoundsPlayed(bool idle) {
  if (idle) return 0;
  return Net.round < Params.R ? Net.round + 1 : Params.R;
}

// Channel values one draw sets: every station pair, then each station's
// forward and (when independent) feedback links to the access point.
long ValuesPerDraw() {
  const long n = Net.all_nodes.count, S = Params.subcarriers;
  const long ap_links = Params.adhoc ? 0 : n * S * (Params.indep ? 2 : 1);
  return n * (n - 1) / 2 * S + ap_links;
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
  const bool fading = Params.channel != ChannelModel::kNone;
  const long values = fading ? ValuesPerDraw() : 0;
  const long cycles = std::clamp(20000000L / (1 + values * Params.R), 100L, 20000L);
  const long words_before = Rand.WordsDrawn();
  long draws = 0;
  for (long c = 0; c < cycles; ++c) {
    const long idle_before = Net.n_idle;
    harness::Cycle();
    const long rounds = RoundsPlayed(Net.n_idle != idle_before);
    if (fading) draws += Params.fsf_fast ? rounds : std::min(rounds, 1L);
  }
  RandomWork work;
  work.draws = static_cast<double>(draws) / cycles;
  if (Params.channel == ChannelModel::kRayleigh) work.logs_per_draw = values;
  if (Params.channel == ChannelModel::kRice) work.normals_per_draw = 2 * values;
  const double words = static_cast<double>(Rand.WordsDrawn() - words_before) / cycles;
  work.uniforms = words - work.draws * work.logs_per_draw;
  return work;
}

void SetCycleCounters(benchmark::State& state) {
  using benchmark::Counter;
  state.counters["time/cycle"] = Counter(1, Counter::kIsIterationInvariantRate | Counter::kInvert);
  state.counters["cycles/s"] = Counter(1, Counter::kIsIterationInvariantRate);
}

}  // namespace bench
