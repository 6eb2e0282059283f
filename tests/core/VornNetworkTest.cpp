// The contention engine: worked cycles, outcomes no seeded run reaches, a
// law, the batched binomial draw, and the stop conditions.
#include "core/VornNetwork.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/TestSupport.h"
#include "tests/core/EngineHarness.h"

using harness::Configure;
using harness::Cycle;
using harness::Cycles;

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
