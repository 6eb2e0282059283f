// The contention engine: worked cycles, outcomes no seeded run reaches,
// and the stop conditions.
#include "core/VornNetwork.h"

#include <gtest/gtest.h>

#include <vector>

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
