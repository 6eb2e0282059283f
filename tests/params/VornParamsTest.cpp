// Protocol options: bandwidth adaptation of ts, the p and tau tables, node
// groups from text and files and the cycle timing.
#include "params/VornParams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/Functions.h"
#include "tests/params/TestSupport.h"

namespace {

constexpr double kUs = 1e-6;

// A VornParams initialised from the given arguments.
class Vorn {
 public:
  explicit Vorn(std::initializer_list<std::string> list) : args(list) {
    params.GetArguments(args.argc(), args.argv());
    params.Initialize();
  }
  virtual ~Vorn() = default;
  TestArgs args;
  VornParams params;
};

std::vector<std::vector<double>> Rows(const ArrayDense<double, unsigned>& table) {
  std::vector<std::vector<double>> rows(table.d1);
  for (unsigned i = 0; i < table.d1; ++i)
    for (unsigned j = 0; j < table.d2; ++j) rows[i].push_back(table(i, j));
  return rows;
}

}  // namespace

TEST(VornParams, DefaultCycleTimes) {
  Vorn vorn{};
  const VornParams& p = vorn.params;
  EXPECT_NEAR(p.t_cont / kUs, 42, 1e-9);
  EXPECT_NEAR(p.difs / kUs, 16, 1e-9);
  EXPECT_NEAR(p.t_succ / kUs, 1546, 1e-9);
  EXPECT_EQ(p.t_coll, p.t_succ);
}

TEST(VornParams, BandwidthSetsTheSlotAndNoiseFloor) {
  EXPECT_EQ(Vorn({"chan_bw=20", "ts=1"}).params.ts, 7e-06);
  EXPECT_EQ(Vorn({"chan_bw=5"}).params.ts, 1.7e-05);
  EXPECT_EQ(Vorn({"chan_bw=20", "delta=5e-07"}).params.ts, 8e-06);
  Vorn twenty{"chan_bw=20", "ymin=-50"};
  EXPECT_DOUBLE_EQ(twenty.params.ymin, -116.04119943634801);
  EXPECT_DOUBLE_EQ(twenty.params.ymin_pw, dbm2pw(-98.881166));  // not recomputed
  Vorn kept{"ts=9e-6", "ymin=-90"};
  EXPECT_EQ(kept.params.ts, 9e-6);
  EXPECT_EQ(kept.params.ymin, -90);
  EXPECT_NEAR(kept.params.t_cont / kUs, 54, 1e-9);
}

TEST(VornParams, QosTablesFromFilesWithHeadersCommentsAndCrLf) {
  const std::string p_file =
      WriteTempFile("p0,p1,p2,p3\r\n# levels\r\n\r\n0.5,0.25,1,0\r\n0.1,0.2,0.3,0.4\r\n");
  const std::string tau_file = WriteTempFile("1,2,3,4\n0,0,0,0\n");
  Vorn vorn{"qos_p_file=" + p_file, "qos_tau_file=" + tau_file, "p=9", "tau=-1"};
  EXPECT_EQ(Rows(vorn.params.p_table),
            (std::vector<std::vector<double>>{{0.5, 0.25, 1, 0}, {0.1, 0.2, 0.3, 0.4}}));
  EXPECT_EQ(vorn.params.tau_table.d2, 4u);  // a column beyond R is allowed
  EXPECT_EQ(vorn.params.qos_levels, 2);
  std::remove(p_file.c_str());
  std::remove(tau_file.c_str());
}

TEST(VornParams, TableFromListDropsTheRowOnAnyNonNumericCell) {
  TestArgs args{};
  VornParams params;
  params.GetArguments(args.argc(), args.argv());
  ArrayDense<double, unsigned> table;
  CSVString values(" 1.2.3 , 0.5,,");
  params.ParseSlotQoSParam("", values, table);
  EXPECT_EQ(Rows(table), (std::vector<std::vector<double>>{{1.2, 0.5, 0}}));
  for (const char* bad : {"0.5,-0.5,0.5", "0.5,1e-3,0.5", "0.5,+1,0.5", "# all"}) {
    CSVString list(bad);
    params.ParseSlotQoSParam(nullptr, list, table);
    EXPECT_TRUE(table.empty()) << bad;
  }
}

TEST(VornParams, NodeGroupsFromText) {
  Vorn vorn{"nodes_def=2,0,0,0,0;3,4,0.5,0,0"};
  EXPECT_EQ(Rows(vorn.params.node_groups),
            (std::vector<std::vector<double>>{{2, 0, 0, 0, 0}, {3, 4, 0.5, 0, 0}}));
  Vorn header{"nodes_def=N,A,R,Q,T;;# one group; 1 , 1 , 6000 , 0 , 1 ;"};
  EXPECT_EQ(Rows(header.params.node_groups),
            (std::vector<std::vector<double>>{{1, 1, 6000, 0, 1}}));
  // Only the text is read when both are given, so the missing file is never opened.
  Vorn both{"nodes_def=1,0,0,0,0", "nodes_file=/nonexistent/nodes.csv"};
  EXPECT_EQ(both.params.node_groups.d1, 1u);
}

TEST(VornParams, NodeGroupsFromFileWithCommentsBlankLinesAndCrLf) {
  const std::string file = WriteTempFile(
      "# groups\r\nN,A,R,Q,T\r\n\r\n  \r\n4,3,1000000,1,0\r\n1,-1,0,0,0\r\n2,0,0,0,1\r\n");
  const std::string p_file = WriteTempFile("0.5,0.5,0.5\n0.5,0.5,0.5\n");
  Vorn vorn{"nodes_file=" + file, "qos_p_file=" + p_file, "qos_tau_file=" + p_file};
  EXPECT_EQ(Rows(vorn.params.node_groups),
            (std::vector<std::vector<double>>{{4, 3, 1000000, 1, 0}, {2, 0, 0, 0, 1}}));
  std::remove(file.c_str());
  std::remove(p_file.c_str());
}

TEST(VornParamsDeathTest, NodeGroupWithNegativeClockedRateIsRejected) {
  // The CSV cell rule already drops signed cells, so the table is built by hand.
  VornParams params;
  params.node_groups.Resize(2, 5);
  params.node_groups(0, 0) = 1, params.node_groups(0, 1) = 4, params.node_groups(0, 2) = -1;
  params.node_groups(1, 0) = 1, params.node_groups(1, 1) = 2.7, params.node_groups(1, 2) = -1;
  EXPECT_EXIT(params.CheckNodeGroups(), testing::ExitedWithCode(1),
              "^Error: nodes_file line 2: R=-1 is out of range with arrival type 2 \\(accepted: 0 "
              "or more\\)\\.\n$");
}

TEST(VornParams, NodeGroupProblemReportsWithoutExiting) {
  VornParams params;
  params.t_coll = 1e-3;  // 1000 packets of 8192 bits per ms: 8.192e9 bit/s
  params.node_groups.Resize(2, 5);
  params.node_groups(0, 0) = 1500, params.node_groups(1, 0) = 500;
  EXPECT_EQ(params.NodeGroupProblem(), "");
  params.node_groups(1, 0) = 501;
  EXPECT_EQ(params.NodeGroupProblem(), "nodes_file has 2001 stations in all (accepted: 0 to 2000)");
  params.node_groups(1, 1) = 3, params.node_groups(1, 2) = 8.2e9;
  EXPECT_EQ(params.NodeGroupProblem(),
            "nodes_file line 2: R=8.2e+09 is out of range with arrival type 3 (accepted: 0 to "
            "8.192e+09)");
  params.node_groups(0, 4) = 3e9;
  EXPECT_EQ(params.NodeGroupProblem(), "nodes_file line 1 has T=3e+09 (accepted: 0 to 2147483647)");
}
