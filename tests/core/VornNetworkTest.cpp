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
