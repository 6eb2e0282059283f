// The contention engine: worked cycles, outcome rules, channel schedule,
// stop conditions and invariants over many seeded cycles.
#include "core/VornNetwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "tests/core/EngineHarness.h"

using harness::Configure;
using harness::Cycle;
using harness::Cycles;

namespace {

// Three QoS levels of p = 1 (and tau = 1) in every round, so that strict
// stations choose their words by QoS level and nothing else is random.
std::vector<std::string> ThreeLevelsOfCertainty() {
  static const std::string path = [] {
    std::string name = testing::TempDir() + "vorn_p_ones.csv";
    std::ofstream(name) << "1,1,1\n1,1,1\n1,1,1\n";
    return name;
  }();
  return {"qos_p_file=" + path, "qos_tau_file=" + path};
}

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

long CountOf(const ProbPDF& pdf) {
  long total = 0;
  for (long k = 0; k < pdf.size; ++k) total += pdf(k);
  return total;
}

}  // namespace

// X sends word 8, Y word 2; the access point replies 2, so Y alone wins.
TEST(VornNetworkWorkedCycle, Infrastructure) {
  Configure(With({"F=4", "greedy=1", "nodes_def=1,0,0,0,1;1,0,0,2,1"}, ThreeLevelsOfCertainty()));
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
  Configure(With(
      {"F=4", "R=1", "adhoc=1", "coop=1", "greedy=1", "nodes_def=1,0,0,0,1;1,0,0,1,1;1,4,0,0,0"},
      ThreeLevelsOfCertainty()));
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

TEST(VornNetworkOutcome, NoRoundsMeansLoneSuccessOrCollision) {
  Configure({"R=0", "M=1", "fsf_type=2"});
  Cycles(3);
  EXPECT_EQ(Net.n_succ, 3);
  EXPECT_EQ(Net.all_nodes[0]->rssi_link[Net.ap->id][0], 0.0);  // never drawn
  Configure({"R=0", "M=2"});
  Cycles(3);
  EXPECT_EQ(Net.n_coll, 3);
}

TEST(VornNetworkOutcome, IdleCyclesAdvanceTimeOnly) {
  Configure({"M=0"});
  Cycles(4);
  EXPECT_EQ(Net.n_idle, 4);
  EXPECT_EQ(Net.n_slots, 4);
  EXPECT_EQ(Net.n_att, 0);
  EXPECT_DOUBLE_EQ(sim_time, 4 * Params.t_coll);
}

TEST(VornNetworkOutcome, UnluckySilentRoundFailsEveryActiveStation) {
  Configure({"M=3", "p=0,0,0", "unlucky=1"});
  Cycles(2);
  EXPECT_EQ(Net.n_fail, 2);
  for (VornNode* node : Net.all_nodes) {
    EXPECT_EQ(node->n_fail, 2);
    EXPECT_EQ(node->retries, 0);
    EXPECT_EQ(node->queue.length, 2);
  }
  EXPECT_EQ(Net.n_packets, 6);
}

TEST(VornNetworkOutcome, AdhocWithoutRefereesCollidesAfterVoidRounds) {
  Configure({"M=3", "adhoc=1", "p=1,1,1"});
  Cycle();
  EXPECT_EQ(Net.n_coll, 1);
  EXPECT_EQ(Net.contenders.count, 3);
  for (VornNode* node : Net.all_nodes) EXPECT_EQ(node->n_tx, 3);
}

TEST(VornNetworkOutcome, GreedyLoneStationWinsFirstRoundWhateverTheFading) {
  Configure({"M=1", "greedy=1", "p=1,1,1", "fsf_type=1", "fsf_prob_node=1", "fsf_prob_ap=1"});
  Cycles(20);
  EXPECT_EQ(Net.n_succ, 20);
}

// Two saturated stations, one round, p = 1, uniform words over F subcarriers:
// they collide exactly when they pick the same word.
TEST(VornNetworkLaw, TwoStationsSucceedWithProbabilityOneMinusOneOverF) {
  const long cycles = 40000;
  Configure({"M=2", "R=1", "F=8", "p=1", "tau=1", "queue=0"}, 2024);
  Cycles(cycles);
  const double p = 1.0 - 1.0 / 8;
  const double se = std::sqrt(p * (1 - p) / cycles);
  EXPECT_NEAR(static_cast<double>(Net.n_succ) / cycles, p, 5 * se);
  EXPECT_EQ(Net.n_succ + Net.n_coll, cycles);
}

TEST(VornNetworkChannels, RedrawnOnlyEveryRandsratioCycles) {
  Configure({"M=2", "fsf_type=2", "fsf_fast=0", "randsratio=3"});
  const double* link = Net.all_nodes[0]->rssi_link[1];
  std::vector<bool> changed;
  double last = link[0];
  for (int c = 0; c < 9; ++c) {
    Cycle();
    changed.push_back(link[0] != last);
    last = link[0];
  }
  EXPECT_EQ(changed,
            (std::vector<bool>{true, false, false, true, false, false, true, false, false}));
}

TEST(VornNetworkChannels, FirstActiveRoundDrawsEvenOffSchedule) {
  // Constant arrivals leave cycle 0 idle; cycle 1 is not a multiple of 3.
  Configure({"M=2", "fsf_type=2", "randsratio=3", "ar_type=1", "ar_rate=8192000"});
  Cycle();
  EXPECT_EQ(Net.n_idle, 1);
  Cycle();
  EXPECT_EQ(Net.n_idle, 1);
  EXPECT_GT(Net.all_nodes[0]->rssi_link[1][0], 0.0);
  EXPECT_GT(Net.all_nodes[1]->rssi_link[Net.ap->id][0], 0.0);
}

TEST(VornNetworkChannels, ReciprocalBetweenStationsAndIndependentFeedback) {
  Configure({"M=3", "fsf_type=1", "fsf_prob_node=0.5", "indep=0"});
  Cycle();
  for (VornNode* x : Net.all_nodes) {
    EXPECT_EQ(x->link_mask[Net.ap->id], Net.ap->link_mask[x->id]);
    for (VornNode* y : Net.all_nodes) {
      if (x != y) {
        EXPECT_EQ(x->link_mask[y->id], y->link_mask[x->id]);
      }
    }
  }
  Configure({"M=3", "fsf_type=1", "fsf_prob_node=0.5", "fsf_prob_ap=0", "indep=1"});
  Cycle();
  for (VornNode* x : Net.all_nodes) EXPECT_EQ(x->link_mask[Net.ap->id], Code.full_mask);
}

// Every node's masks, the access point's last.
std::vector<long> AllMasks() {
  std::vector<long> masks;
  for (VornNode* x : Net.all_nodes)
    masks.insert(masks.end(), x->link_mask.begin(), x->link_mask.end());
  masks.insert(masks.end(), Net.ap->link_mask.begin(), Net.ap->link_mask.end());
  return masks;
}

// The batched binomial draw takes the same trials as the pair-by-pair one,
// whether the access-point links come in one batch or station by station.
TEST(VornNetworkChannels, BinomialBatchEqualsPairByPairDraws) {
  for (const char* ap : {"fsf_prob_ap=0.2", "fsf_prob_ap=0.4", "indep=0"}) {
    Configure({"M=9", "fsf_type=1", "F=7", "L=3", "fsf_prob_node=0.4", ap}, 5);
    const GenRand start = Rand;
    Net.RandChannels();
    const std::vector<long> batched = AllMasks();
    const long words = Rand.WordsDrawn();
    Rand = start;
    VornNodelist& all = Net.all_nodes;
    const double node = Params.fsf_prob_node;
    for (long i = 0; i < all.count; ++i)
      for (long j = i + 1; j < all.count; ++j)
        all[i]->link_mask[all[j]->id] = all[j]->link_mask[all[i]->id] =
            all[i]->RandMask(Rand, node);
    for (VornNode* x : all) {
      const long forward = Net.ap->link_mask[x->id] = x->RandMask(Rand, node);
      x->link_mask[Net.ap->id] = Params.indep ? x->RandMask(Rand, Params.fsf_prob_ap) : forward;
    }
    EXPECT_EQ(AllMasks(), batched) << ap;
    EXPECT_EQ(Rand.WordsDrawn(), words) << ap;
  }
}

TEST(VornNetworkStop, TimeTakesPrecedenceOverFrames) {
  Configure({"time=0.01", "frames=1000000"});
  Net.Simulation();
  EXPECT_GE(sim_time, 0.01);
  EXPECT_LT(sim_time, 0.01 + Params.t_coll);
}

TEST(VornNetworkStop, EachConditionStopsAtItsCount) {
  Configure({"runs=0", "attempts=37"});
  Net.Simulation();
  EXPECT_EQ(Net.n_att, 37);
  Configure({"frames=11"});
  Net.Simulation();
  EXPECT_EQ(Net.n_succ, 11);
}

TEST(VornNetworkStopDeathTest, NoStopConditionExitsWithOne) {
  EXPECT_EXIT(Configure({"runs=0"}), testing::ExitedWithCode(1),
              "You must specify a valid stop condition, either 'time', 'frames' or 'time' \\(in "
              "order of precedence\\).");
}

TEST(VornNetworkStopDeathTest, RunThatCanNeverEndIsRejected) {
  EXPECT_EXIT(Configure({"M=0", "frames=10"}), testing::ExitedWithCode(1), "can never be met");
  EXPECT_EXIT(Configure({"ar_type=4", "ar_rate=0", "attempts=10"}), testing::ExitedWithCode(1),
              "can never be met");
  EXPECT_EXIT(Configure({"delta=-1", "time=1"}), testing::ExitedWithCode(1),
              "cycle lasts -1.99845 s \\(t_coll\\), so the stop condition 'time' can never be met");
}

struct InvariantCase {
  const char* name;
  std::vector<std::string> args;
};

class VornNetworkInvariants : public testing::TestWithParam<InvariantCase> {};

// Every cycle has exactly one outcome, the winners histogram counts every
// attempt, and the packet count matches the queues.
TEST_P(VornNetworkInvariants, HoldOverManyCycles) {
  Configure(With(GetParam().args, {"pdf_winners=1", "mc_nodes=1"}), 99);
  for (int chunk = 0; chunk < 20; ++chunk) {
    Cycles(250);
    ASSERT_EQ(Net.n_slots, Net.n_att + Net.n_idle);
    ASSERT_EQ(Net.n_att, Net.n_succ + Net.n_coll + Net.n_fail);
    long queued = 0, successes = 0;
    for (VornNode* node : Net.all_nodes) {
      queued += node->queue.length;
      successes += node->n_succ;
    }
    ASSERT_EQ(Net.n_packets, queued);
    ASSERT_EQ(successes, Net.n_succ);
    ASSERT_EQ(CountOf(Net.winners_pdf), Net.n_att);
    ASSERT_EQ(CountOf(Net.nodes_pdf), Net.n_slots);
  }
  EXPECT_NEAR(sim_time, Net.n_slots * Params.t_coll, 1e-9 * sim_time);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, VornNetworkInvariants,
    testing::Values(
        InvariantCase{"defaults", {}},
        InvariantCase{"adhoc_coop_bernoulli", {"adhoc=1", "coop=1", "ar_type=4", "ar_rate=0.3"}},
        InvariantCase{"binomial_L2", {"M=20", "fsf_type=1", "L=2", "retry_limit=2"}},
        InvariantCase{"rayleigh_fast", {"M=8", "fsf_type=2", "F=16", "ar_type=3", "ar_rate=2e6"}},
        InvariantCase{"rice_static", {"M=8", "fsf_type=4", "fsf_fast=0", "randsratio=2"}},
        InvariantCase{"peers", {"peers=1", "ar_type=2", "ar_rate=3e6", "queue=0"}},
        InvariantCase{"unlucky_nongreedy", {"unlucky=1", "greedy=0", "retry_limit=0"}},
        InvariantCase{"adhoc_rayleigh", {"adhoc=1", "fsf_type=2", "ar_type=1", "ar_rate=4e6"}},
        InvariantCase{"markov",
                      {"mc_packets=1", "queue=4", "ar_type=4", "ar_rate=0.5", "queue_stats=1",
                       "flow_stats=0.01"}}),
    [](const testing::TestParamInfo<InvariantCase>& info) { return info.param.name; });
