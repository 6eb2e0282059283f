// The simulator against the exact model: outcome frequencies of seeded runs
// within 4.5 binomial standard errors of the model's shares, over the
// variants it covers; and the model against answers worked by hand.
#include "core/ExactModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/ExactContention.h"
#include "core/ExactFadedStation.h"
#include "tests/core/EngineHarness.h"

namespace {

using harness::Configure;
using harness::Cycles;

double Z(long count, long n, double p) {
  if (p <= 0 || p >= 1) return count == static_cast<long>(std::lround(p * n)) ? 0 : HUGE_VAL;
  return (static_cast<double>(count) / n - p) / std::sqrt(p * (1 - p) / n);
}

struct Agreement {
  std::vector<std::string> args;
};

// Every mode and variant, p and tau rows with 0, 1, uniform and geometric
// laws, one station and many; one station under each fading model.
const Agreement kConfigurations[] = {
    {{"M=2", "R=1", "F=8", "p=1", "tau=1"}},
    {{"M=10"}},
    {{"M=10", "adhoc=1"}},
    {{"M=1"}},
    {{"M=1", "adhoc=1", "unlucky=1"}},
    {{"M=5", "unlucky=1", "p=0.3,0.3,0.3"}},
    {{"M=5", "peers=1", "p=0.3,0.6,0.9", "tau=0.5,0,2"}},
    {{"M=6", "greedy=0", "p=0.3,0.3,0.3", "tau=0.5,0.5,0.5", "adhoc=1"}},
    {{"M=8", "adhoc=1", "p=0.9,0.9,0.9", "tau=2,2,2", "F=4"}},
    {{"M=8", "adhoc=1", "coop=1", "unlucky=1", "p=0.2,0.5,0.8", "F=3", "L=2"}},
    {{"M=4", "greedy=0", "unlucky=1", "p=0.7,0.7,0.7", "F=2"}},
    {{"M=30", "R=2", "F=4", "p=1,0.5", "tau=0.3,1"}},
    {{"M=40", "adhoc=1", "R=4", "F=16", "p=0.5,0.5,0.5,0.5", "tau=1,1,1,1"}},
    {{"M=3", "R=0", "adhoc=1"}},
    {{"M=3", "p=0,1,0.5", "fsf_type=1", "fsf_prob_node=0", "fsf_prob_ap=0"}},
    {{"M=1", "fsf_type=2", "ynomin=1", "yAP=-80", "R=2", "p=1,1", "tau=1,1", "greedy=0"}},
    {{"M=1", "fsf_type=2", "indep=0", "y=-83", "ymin=-85", "L=2", "greedy=0", "unlucky=1",
      "p=0.9,0.8,1"}},
    {{"M=1", "fsf_type=4", "K=3", "KAP=0.5", "yAP=-81", "L=3", "F=2", "greedy=0", "p=0.5,1,0.7"}},
    {{"M=1", "fsf_type=4", "indep=0", "y=-84", "unlucky=1", "p=0.4,1,1"}},
    {{"M=1", "fsf_type=1", "fsf_prob_node=0.3", "fsf_prob_ap=0.2", "L=2", "greedy=0",
      "p=0.6,0.9,0.9"}},
};

TEST(ExactModelAgreement, SimulatorFrequenciesMatchTheModel) {
  const long cycles = 40000;
  unsigned long seed = 11;
  for (const Agreement& c : kConfigurations) {
    std::vector<std::string> args = c.args;
    args.push_back("exact=1");
    Configure(args, ++seed);
    ASSERT_EQ(ExactModel::OutOfReach(Params), "");
    const CycleShares exact = ExactModel::Shares(Params, Code.n_words);
    Cycles(cycles);
    std::string what;
    for (const std::string& a : c.args) what += a + " ";
    EXPECT_LT(std::fabs(Z(Net.n_succ, cycles, exact.success)), 4.5) << what;
    EXPECT_LT(std::fabs(Z(Net.n_coll, cycles, exact.collision)), 4.5) << what;
    EXPECT_LT(std::fabs(Z(Net.n_fail, cycles, exact.failure)), 4.5) << what;
    EXPECT_NEAR(exact.success + exact.collision + exact.failure, 1.0, 1e-12) << what;
  }
}

// Bernoulli arrivals into queues of one: cycles depend on each other, so
// the standard error comes from batch means after a warm-up.
const Agreement kQueueOfOne[] = {
    {{"M=5", "p=0.3,0.3,0.3", "ar_rate=0.1"}},
    {{"M=10", "adhoc=1", "ar_rate=0.1"}},
    {{"M=8", "adhoc=1", "coop=1", "p=0.2,0.5,0.8", "F=3", "L=2", "ar_rate=0.1"}},
    {{"M=20", "adhoc=1", "greedy=0", "unlucky=1", "ar_rate=0.5", "retry_limit=-1"}},
    {{"M=6", "ar_rate=0.9", "p=1", "F=2", "greedy=0", "R=1", "tau=1"}},
    {{"M=1", "fsf_type=2", "greedy=0", "ar_rate=0.3"}},
};

double BatchZ(const std::vector<double>& batches, double p) {
  double mean = 0, square = 0;
  for (double b : batches) mean += b / batches.size();
  for (double b : batches) square += (b - mean) * (b - mean);
  const double se = std::sqrt(square / (batches.size() - 1) / batches.size());
  return se > 0 ? (mean - p) / se : (std::fabs(mean - p) < 1e-12 ? 0 : HUGE_VAL);
}

TEST(ExactModelAgreement, QueueOfOneMatchesTheStationaryLaw) {
  const long batch = 1000, batches = 40;
  unsigned long seed = 41;
  for (const Agreement& c : kQueueOfOne) {
    std::vector<std::string> args = c.args;
    for (const char* a : {"exact=1", "ar_type=4", "queue=1"}) args.push_back(a);
    Configure(args, ++seed);
    ASSERT_EQ(ExactModel::OutOfReach(Params), "");
    const CycleShares exact = ExactModel::Shares(Params, Code.n_words);
    Cycles(2000);
    std::vector<double> idle, succ, coll;
    for (long b = 0; b < batches; ++b) {
      const long i0 = Net.n_idle, s0 = Net.n_succ, c0 = Net.n_coll;
      Cycles(batch);
      idle.push_back(static_cast<double>(Net.n_idle - i0) / batch);
      succ.push_back(static_cast<double>(Net.n_succ - s0) / batch);
      coll.push_back(static_cast<double>(Net.n_coll - c0) / batch);
    }
    std::string what;
    for (const std::string& a : c.args) what += a + " ";
    EXPECT_LT(std::fabs(BatchZ(idle, exact.idle)), 4.5) << what;
    EXPECT_LT(std::fabs(BatchZ(succ, exact.success)), 4.5) << what;
    EXPECT_LT(std::fabs(BatchZ(coll, exact.collision)), 4.5) << what;
    EXPECT_NEAR(exact.idle + exact.success + exact.collision + exact.failure, 1.0, 1e-12) << what;
  }
}

// Worked by hand: two stations, one round, p = 1: they collide when they
// pick one word, 1/F; ad hoc nobody listens, so the round is void and they
// collide; with p = 1/2 over one round, ad hoc succeeds only when one
// listens and one sends (1/2), infrastructure whenever at least one sends and
// the senders' words differ or only one sends.
TEST(ExactModelWorked, TwoStations) {
  Configure({"M=2", "R=1", "F=8", "p=1", "tau=1", "exact=1"});
  EXPECT_NEAR(ExactModel::Shares(Params, Code.n_words).success, 7.0 / 8, 1e-9);
  Configure({"M=2", "R=1", "F=8", "p=1", "tau=1", "adhoc=1", "exact=1"});
  EXPECT_EQ(ExactModel::Shares(Params, Code.n_words).collision, 1.0);
  Configure({"M=2", "R=1", "F=4", "p=0.5", "tau=1", "adhoc=1", "exact=1"});
  EXPECT_NEAR(ExactModel::Shares(Params, Code.n_words).success, 0.5, 1e-9);
  Configure({"M=2", "R=1", "F=4", "p=0.5", "tau=1", "exact=1"});
  // Both send (1/4) and differ (3/4), or one sends (1/2); neither: collide.
  EXPECT_NEAR(ExactModel::Shares(Params, Code.n_words).success, 0.25 * 0.75 + 0.5, 1e-9);
}

// The word law is the simulator's: a 32-bit draw over floor((2^32-1)/F),
// and the truncated geometric law tau^g (1-tau)/(1-tau^F) for g = F-1-index.
TEST(ExactModelWorked, WordLaws) {
  const std::vector<double> uniform = ExactContention::WordLaw(1.0, 3);
  EXPECT_EQ(uniform[1], 1431655765.0 / 4294967296.0);
  EXPECT_EQ(uniform[0], 1431655766.0 / 4294967296.0);
  const std::vector<double> geometric = ExactContention::WordLaw(0.5, 4);
  for (long g = 0; g < 4; ++g)
    EXPECT_NEAR(geometric[3 - g], std::pow(0.5, g) * 0.5 / (1 - 1.0 / 16), 1e-15);
  EXPECT_EQ(ExactContention::CoinLaw(0.25), 0.25);
  EXPECT_EQ(ExactContention::CoinLaw(1e-300), 1.0 / 4503599627370496.0);
}

// One station, fast fading, p = 1: each round is won when both links hear
// their subcarrier. Marcum's Q_1(a, a) = (1 + exp(-a^2) I_0(a^2)) / 2, here
// with a^2 = 2 mu, in the middle of the law and far in its tails.
TEST(ExactModelWorked, LoneStationUnderFading) {
  Configure({"M=1", "fsf_type=2", "ynomin=1", "yAP=-80", "R=2", "p=1,1", "tau=1,1", "greedy=0",
             "exact=1"});
  const double w = std::exp(-Params.y0_pw / Params.y_pw - Params.y0_pw / Params.yAP_pw);
  EXPECT_NEAR(ExactModel::Shares(Params, Code.n_words).success / (w * w), 1, 1e-14);
  for (double mu : {0.5, 2.0, 150.0}) {
    const ExactFadedStation::Hearing h = ExactFadedStation::Rice(mu, mu);
    EXPECT_NEAR(h.heard, (1 + std::exp(-2 * mu) * std::cyl_bessel_i(0.0, 2 * mu)) / 2, 1e-12);
    EXPECT_NEAR(h.heard + h.missed, 1, 1e-12);
  }
  EXPECT_NEAR(ExactFadedStation::Rice(0, 700).heard / std::exp(-700), 1, 1e-13);
  EXPECT_NEAR(ExactFadedStation::Rice(0, 1e-12).missed / 1e-12, 1, 1e-11);
}

// Large networks stay finite and sum to one.
TEST(ExactModelWorked, ThousandStations) {
  Configure({"M=1000", "R=4", "F=16", "p=0.5,0.5,0.5,0.5", "tau=1,1,1,1", "adhoc=1", "exact=1"});
  const CycleShares s = ExactModel::Shares(Params, Code.n_words);
  EXPECT_NEAR(s.success + s.collision + s.failure, 1.0, 1e-12);
  EXPECT_GT(s.success, 0.9);
}

}  // namespace
