// The contention engine: worked cycles, outcomes no seeded run reaches,
// the stop conditions, and how often a run's 95 % intervals hold the truth.
#include "core/VornNetwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stats/PrecisionReport.h"
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

// X sends word 8, Y word 2; the access point replies 2, so Y alone wins.
TEST(VornNetworkWorkedCycle, Infrastructure) {
  Configure(WithCertainty({"F=4", "greedy=1", "nodes_def=1,0,0,0,1;1,0,0,2,1"}));
  Cycle();
  VornNode& x = *Net.all_nodes[0];
  VornNode& y = *Net.all_nodes[1];
  EXPECT_EQ(x.tx_word, 8);
  EXPECT_EQ(Net.ap->rx_word, 10);
  EXPECT_EQ(Net.ap->tx_word, 2);
  EXPECT_EQ(Net.round, 0);  // greedy: the lone winner ends the cycle at once
  EXPECT_EQ(Net.n_succ, 1);
  EXPECT_EQ(y.n_succ, 1);
  EXPECT_EQ(x.n_succ + x.n_coll + x.n_fail, 0);
}

// Z has no packet and referees; X loses and becomes a referee that Y hears.
TEST(VornNetworkWorkedCycle, AdhocCooperative) {
  Configure(WithCertainty(
      {"F=4", "R=1", "adhoc=1", "coop=1", "greedy=1", "nodes_def=1,0,0,0,1;1,0,0,1,1;1,4,0,0,0"}));
  Cycle();
  VornNode& x = *Net.all_nodes[0];
  VornNode& y = *Net.all_nodes[1];
  VornNode& z = *Net.all_nodes[2];
  EXPECT_EQ(z.rx_word, 12);
  EXPECT_EQ(z.tx_word, 4);
  ASSERT_EQ(Net.referees.count, 2);
  EXPECT_EQ(Net.referees[1], &x);
  EXPECT_EQ(y.rx_word, 12);
  EXPECT_EQ(y.n_succ, 1);
  EXPECT_EQ(Net.n_succ, 1);
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
