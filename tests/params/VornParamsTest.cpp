// Protocol options: bandwidth adaptation of ts, the p and tau tables, node
// groups from text and files, their rates and the memory estimate.
#include "params/VornParams.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/Functions.h"
#include "tests/TestSupport.h"

namespace {

constexpr double kUs = 1e-6;

using Vorn = Configured<VornParams>;

}  // namespace

TEST(VornParams, BandwidthSetsTheSlotAndNoiseFloor) {
  EXPECT_EQ(Vorn({"chan_bw=5"}).params.ts, 1.7e-05);
  EXPECT_EQ(Vorn({"chan_bw=20", "ts=1", "delta=5e-07"}).params.ts, 8e-06);
  Vorn twenty{"chan_bw=20", "ymin=-50"};
  EXPECT_DOUBLE_EQ(twenty.params.ymin, -116.04119943634801);
  EXPECT_DOUBLE_EQ(twenty.params.ymin_pw, dbm2pw(-98.881166));  // not recomputed
  Vorn kept{"ts=9e-6", "ymin=-90"};
  EXPECT_EQ(kept.params.ymin, -90);
  EXPECT_NEAR(kept.params.t_cont / kUs, 54, 1e-9);
}

TEST(VornParams, TablesFromFilesListsAndText) {
  const TempFolder files;
  Vorn vorn{
      "qos_p_file=" +
          files.WriteFile("p.csv", "p0,p1,p2,p3\r\n# levels\r\n0.5,0.25,1,0\r\n.1,.2,.3,.4\r\n"),
      "qos_tau_file=" + files.WriteFile("tau.csv", "1,2,3,1e1\n0,0,0,0\n"),
      "nodes_def=N,A,R,Q,T;;2,0,0,1,0; 3 , 4 , 0.5 , 0 , 1 "};
  EXPECT_EQ(Rows(vorn.params.p_table),
            (std::vector<std::vector<double>>{{0.5, 0.25, 1, 0}, {0.1, 0.2, 0.3, 0.4}}));
  EXPECT_EQ(vorn.params.qos_levels, 2);
  // The lines of nodes_def are counted from 1.
  EXPECT_EQ(Rows(vorn.params.node_groups),
            (std::vector<std::vector<double>>{{2, 0, 0, 1, 0}, {3, 4, 0.5, 0, 1}}));
  EXPECT_EQ(vorn.params.node_group_lines, (std::vector<long>{3, 4}));
}

// Bernoulli rates are probabilities; clocked ones reach 1000 packets a cycle.
TEST(VornParams, NodeGroupRatesAreCheckedWithTheirLine) {
  VornParams params;
  params.nodes_file = "groups.csv";
  params.t_coll = 1e-3;  // 1000 packets of 8192 bits per ms: 8.192e9 bit/s
  params.node_groups.Resize(2, 5);
  params.node_group_lines = {2, 5};
  params.node_groups(0, 1) = 4, params.node_groups(0, 2) = 1;
  params.node_groups(1, 1) = 3, params.node_groups(1, 2) = 8.192e9;
  EXPECT_EQ(params.NodeGroupProblem(), "");
  params.node_groups(0, 2) = 1.5;
  EXPECT_EQ(params.NodeGroupProblem().rfind("groups.csv line 2: R=1.5 ", 0), 0u);
  params.node_groups(0, 2) = 0, params.node_groups(1, 2) = 8.2e9;
  EXPECT_EQ(params.NodeGroupProblem().rfind("groups.csv line 5: R=8.2e+09 ", 0), 0u);
}

TEST(VornParams, MemoryFollowsStationsSubcarriersAndTheChannelModel) {
  EXPECT_GT(VornParams::MemoryLimit(), 1e8);
  // Without fading, and in infrastructure mode without peers, no station
  // pair is stored; ad hoc Rayleigh holds a power per pair and subcarrier.
  const double plain = Vorn({"M=5000", "runs=1"}).params.MemoryNeeded();
  EXPECT_LT(plain, 3e7);
  const double infra = Vorn({"M=5000", "runs=1", "fsf_type=2", "F=16"}).params.MemoryNeeded();
  EXPECT_LT(infra, 1e8);
  const double adhoc =
      Vorn({"M=5000", "runs=1", "fsf_type=2", "F=16", "adhoc=1"}).params.MemoryNeeded();
  EXPECT_NEAR(adhoc, 8.0 * 17 * 5000 * 4999 / 2, 0.02 * adhoc);
  const double packets = Vorn({"M=10", "mc_packets=1", "queue=400"}).params.MemoryNeeded();
  EXPECT_GT(packets, 2 * 8.0 * 4001 * 4001);
  // 4096 packet states is the most the transition tables may hold.
  EXPECT_EQ(Vorn({"M=5", "mc_packets=1", "queue=819"}).params.queue, 819);
}
