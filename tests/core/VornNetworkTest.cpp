// The contention engine: worked cycles, outcomes no seeded run reaches, one
// station's exact law under quasi-static fading, the stop conditions, and how
// often a run's 95 % intervals hold the truth.
#include "core/VornNetwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stats/PrecisionReport.h"
#include "support/Functions.h"
#include "tests/TestSupport.h"
#include "tests/core/EngineHarness.h"

using harness::Configure;
using harness::Cycle;

namespace {

// Three QoS levels of p = 1 (and tau = 1) in every round, so that strict
// stations choose their words by QoS level and nothing else is random.
std::vector<std::string> WithCertainty(std::vector<std::string> args) {
  static const TempFolder files;
  static const std::string path = files.WriteFile("p.csv", "1,1,1\n1,1,1\n1,1,1\n");
  args.insert(args.end(), {"qos_p_file=" + path, "qos_tau_file=" + path});
  return args;
}

}  // namespace

// X sends word 8 (index 3), Y word 2 (index 1); the access point hears both
// and replies with Y's, so Y alone wins. Slots: a word or a reply is one sent,
// a round heard is one listened to, and the reply counts twice.
TEST(VornNetworkWorkedCycle, Infrastructure) {
  Configure(WithCertainty({"F=4", "greedy=1", "nodes_def=1,0,0,0,1;1,0,0,2,1"}));
  Cycle();
  VornNode& x = *Net.all_nodes[0];
  VornNode& y = *Net.all_nodes[1];
  EXPECT_EQ(Net.round, 0);  // greedy: the lone winner ends the cycle at once
  EXPECT_EQ(Net.n_succ, 1);
  EXPECT_EQ(y.n_succ, 1);
  EXPECT_EQ(x.n_succ + x.n_coll + x.n_fail, 0);
  EXPECT_EQ(x.n_tx + x.n_rx + y.n_tx + y.n_rx, 4);
  EXPECT_EQ(Net.ap->n_rx, 1);
  EXPECT_EQ(Net.ap->n_tx, 2);
}

// Z has no packet and referees; X loses and becomes a referee; Y's word wins.
TEST(VornNetworkWorkedCycle, AdhocCooperative) {
  Configure(WithCertainty(
      {"F=4", "R=1", "adhoc=1", "coop=1", "greedy=1", "nodes_def=1,0,0,0,1;1,0,0,1,1;1,4,0,0,0"}));
  Cycle();
  VornNode& x = *Net.all_nodes[0];
  VornNode& y = *Net.all_nodes[1];
  VornNode& z = *Net.all_nodes[2];
  ASSERT_EQ(Net.referees.count, 2);
  EXPECT_EQ(Net.referees[0], &z);
  EXPECT_EQ(Net.referees[1], &x);
  EXPECT_EQ(z.n_rx, 1);
  EXPECT_EQ(z.n_tx, 2);
  EXPECT_EQ(x.n_rx + x.n_tx, 2);
  EXPECT_EQ(y.n_succ, 1);
  EXPECT_EQ(Net.n_succ, 1);
}

// One station, p = 1 in two rounds, L = 1, greedy=0, quasi-static fading
// (the exact model has it redrawn every round): a round succeeds when the
// access point hears the station's subcarrier and the station the reply,
// with probability q (the reply is heard for sure when feedback shares the
// forward value); the second word is on the first one's subcarrier with
// probability 1/F, and then succeeds for sure.
TEST(VornNetworkLaw, OneStationUnderQuasiStaticFading) {
  const auto heard = [](double y) { return std::exp(-dbm2pw(-82) / dbm2pw(y)); };
  const std::pair<std::vector<std::string>, double> cases[] = {
      {{"fsf_type=1", "fsf_prob_node=0.3", "fsf_prob_ap=0.2"}, 0.7 * 0.8},
      {{"fsf_type=2", "ynomin=1", "indep=0"}, heard(-79)},
      {{"fsf_type=4", "K=0", "KAP=0", "yAP=-80"}, heard(-79) * heard(-80)},
  };
  const long cycles = 20000;
  for (const auto& [args, q] : cases) {
    std::vector<std::string> run = args;
    run.insert(run.end(), {"M=1", "R=2", "p=1,1", "tau=1,1", "F=2", "greedy=0", "fsf_fast=0"});
    Configure(run, 3);
    harness::Cycles(cycles);
    const double p = q * (0.5 + 0.5 * q);
    EXPECT_NEAR(double(Net.n_succ) / cycles, p, 4.5 * std::sqrt(p * (1 - p) / cycles)) << args[0];
  }
}

TEST(VornNetworkStopDeathTest, RunThatCanNeverEndIsRejected) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"runs=0"}, "You must specify a valid stop condition, either 'time', 'frames' or 'time'"},
      {{"M=0", "frames=10"}, "no station can ever have a packet.*'frames' or 'attempts'"},
      {{"ar_type=4", "ar_rate=0", "attempts=10"}, "every arrival rate is 0"},
      {{"delta=-1", "time=1"}, "cycle lasts -1.99845 s \\(t_coll\\), so the stop condition 'time'"},
  };
  for (const auto& [args, message] : cases)
    EXPECT_EXIT(Configure(args), testing::ExitedWithCode(1), message);
}

namespace {

// A metric of the run just simulated, with its interval.
double Measured(const char* name, BatchMeans::Estimate& estimate) {
  const PrecisionReport report(Params, Net.batches, Net.Totals(), Net.saturated);
  return report.Value(*PrecisionReport::Find(name), estimate);
}

// The share of 200 seeded runs whose interval of each metric holds its truth.
std::vector<double> Coverage(const std::vector<std::string>& args,
                             const std::vector<std::pair<const char*, double>>& truths) {
  constexpr long kRuns = 200;
  std::vector<double> covered(truths.size());
  for (long r = 1; r <= kRuns; ++r) {
    Configure(args, 7000 + r);
    Net.Simulation();
    for (size_t m = 0; m < truths.size(); ++m) {
      BatchMeans::Estimate e;
      const double value = Measured(truths[m].first, e);
      covered[m] += e.has_ci && std::fabs(value - truths[m].second) <= e.ci95 ? 1.0 / kRuns : 0;
    }
  }
  return covered;
}

// 200 runs take some seconds in a Release build, too long under the sanitizers.
void SkipUnderSanitizers() {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "coverage runs in the build without sanitizers";
#endif
}

}  // namespace

// Independent cycles: two saturated stations, one round, F = 4, p = 1/2
// succeed when one sends (1/2) or both send different words (1/4 · 3/4).
TEST(VornNetworkCoverage, SaturatedStationsAgainstTheWorkedShare) {
  SkipUnderSanitizers();
  const std::vector<double> c =
      Coverage({"M=2", "R=1", "F=4", "p=0.5", "tau=1", "runs=2000"}, {{"Ps", 0.6875}});
  EXPECT_GE(c[0], 0.90);
  EXPECT_LE(c[0], 0.98);
}

// Correlated cycles: Bernoulli arrivals into queues of 5 that start empty,
// against one run 500 times as long. (Runs of 4000 cycles, batches of
// 32, undercover the delay: its correlation outlasts such a batch.)
TEST(VornNetworkCoverage, FiniteQueuesAgainstOneLongRun) {
  SkipUnderSanitizers();
  const std::vector<std::string> queues = {"M=4", "ar_type=4", "ar_rate=0.2", "queue=5"};
  std::vector<std::string> reference = queues;
  reference.push_back("runs=20000000");
  Configure(reference, 1);
  Net.Simulation();
  BatchMeans::Estimate e;
  const double ps = Measured("Ps", e), delay = Measured("D", e);
  std::vector<std::string> short_runs = queues;
  short_runs.push_back("runs=40000");
  const std::vector<double> c = Coverage(short_runs, {{"Ps", ps}, {"D", delay}});
  for (double share : c) {
    EXPECT_GE(share, 0.90);
    EXPECT_LE(share, 0.98);
  }
}
