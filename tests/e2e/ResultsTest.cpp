// End-to-end result rows: header and value rows by debug level, the stats
// selection, per-station rows, undefined ratios, and the counters' identities.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/e2e/CsvTable.h"
#include "tests/e2e/RunBinary.h"

namespace {

const std::vector<std::string> kNetworkNames = {
    "M",      "B",     "DATA",  "APP",    "difs",     "sifs",      "ts",         "R",
    "F",      "L",     "adhoc", "ymin",   "ymax",     "y",         "yAP",        "y0",
    "K",      "KAP",   "time",  "runs",   "attempts", "successes", "collisions", "failures",
    "idles",  "Pt_a",  "Ps_a",  "Pc_a",   "Ps_t",     "Pc_t",      "Pa",         "Pi",
    "Pt",     "Ps",    "Pc",    "Pf",     "Pb",       "Pref_idle", "T",          "T_app",
    "S",      "S_app", "C",     "C_cont", "pktps",    "tTx",       "t_succ",     "t_coll",
    "t_data", "t_ack", "t_rts", "t_cts"};

const std::vector<std::string> kNodeNames = {
    "id",     "M",    "Na",    "Nt",     "Ns",      "Ps_a",    "Pc_a",    "Ps_t",
    "Pc_t",   "Pt_a", "Pt",    "Pa",     "Ps",      "T",       "T_app",   "S",
    "S_app",  "pps",  "D_ms",  "D",      "tTx",     "tRx",     "tSense",  "tBurst",
    "tRadio", "eff",  "Pque0", "ar_pps", "ar_load", "ar_rate", "dropsps", "Pdrop"};

class Results : public testing::Test {
 protected:
  // Runs args, which must succeed and end with the "total" line; returns the
  // lines of standard output.
  std::vector<std::string> Rows(const std::vector<std::string>& args) {
    last = bin.Run(args);
    EXPECT_EQ(last.status, 0) << testing::PrintToString(args);
    EXPECT_TRUE(last.EndsWithTotal()) << last.err;
    return CsvTable::Lines(last.out);
  }

  RunBinary bin;
  RunResult last;
};

}  // namespace

TEST_F(Results, DebugDecidesHeaderRowAndLoopTime) {
  std::vector<std::string> rows = Rows({"runs=20", "debug=0"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(CsvTable::Fields(rows[0]).size(), 52u);
  EXPECT_EQ(last.err.find("# cont "), std::string::npos);
  EXPECT_EQ(last.Diagnostics(), "");
  EXPECT_EQ(CsvTable::Fields(bin.ReadLines("out/network.csv")[0]), kNetworkNames);

  rows = Rows({"runs=20", "debug=1"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(last.err.find("# cont "), std::string::npos);

  rows = Rows({"runs=20"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(CsvTable::Fields(rows[0]), kNetworkNames);
  EXPECT_EQ(CsvTable(rows).Int(0, "runs"), 20);
  const size_t cont = last.err.find("# cont ");
  ASSERT_NE(cont, std::string::npos);
  EXPECT_LT(cont, last.err.find("# total "));
  EXPECT_EQ(last.Diagnostics(), "");
}

TEST_F(Results, StatsSelectionAppliesToRowsAndFiles) {
  std::vector<std::string> rows = Rows({"runs=20", "stats=successes,-,runs"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], "successes | runs");
  EXPECT_EQ(rows[1].substr(rows[1].find(" | ")), " | 20");
  EXPECT_EQ(bin.ReadLines("out/network.csv"), rows);

  // A station statistic is no network column: the network rows are empty.
  EXPECT_EQ(Rows({"runs=20", "stats=Na"}), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(bin.ReadFile("out/network.csv"), "\n\n");
  rows = Rows({"runs=20", "stats=Na,id", "nodes_stats=1", "M=2"});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "Na, id");
  EXPECT_EQ(rows[2].substr(rows[2].size() - 3), ", 1");
}

TEST_F(Results, StationRows) {
  for (const char* option : {"nodes_stats=1", "nodes_only=1"}) {
    const std::vector<std::string> rows = Rows({"runs=30", "M=3", option});
    ASSERT_EQ(rows.size(), 4u) << option;
    const CsvTable table(rows);
    EXPECT_EQ(table.names, kNodeNames);
    for (long i = 0; i < 3; ++i) EXPECT_EQ(table.Int(i, "id"), i);
  }
  // A station other than 0 writes no header row, whatever debug is.
  std::vector<std::string> rows = Rows({"runs=30", "M=3", "show_node=2", "nodes_stats=1"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(CsvTable::Fields(rows[0]).size(), 32u);
  EXPECT_EQ(CsvTable::Fields(rows[0])[0], "2");
  rows = Rows({"runs=30", "M=3", "show_node=0"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(CsvTable(rows).Int(0, "id"), 0);
}

TEST_F(Results, UndefinedRatiosPrintAsMinus999_9) {
  CsvTable network(Rows({"runs=5", "M=0"}));
  for (const char* name : {"Pt_a", "Ps_a", "Pc_a", "Ps_t", "Pc_t"})
    EXPECT_EQ(network.Text(0, name), "-999.9") << name;
  EXPECT_EQ(network.Int(0, "idles"), 5);
  EXPECT_EQ(network.Text(0, "Pi"), "1");

  // Stations that never had a packet: no contention, no service, no offer.
  CsvTable stations(Rows({"runs=5", "M=2", "ar_type=1", "ar_rate=0", "nodes_stats=1"}));
  for (const char* name : {"Ps_a", "Pc_a", "Ps_t", "Pc_t", "Pt_a", "Pdrop"})
    EXPECT_EQ(stations.Text(1, name), "-999.9000") << name;
  EXPECT_EQ(stations.Text(1, "D_ms"), "0.000");
  EXPECT_EQ(stations.Text(1, "D"), "0");
  EXPECT_EQ(stations.Text(1, "T"), "      0");
  EXPECT_EQ(stations.Text(1, "ar_pps"), "  0.00");
  EXPECT_EQ(stations.Text(1, "Pque0"), "1.0000");
}

// Whatever the mode, channel or traffic, the counters add up, the clock is
// runs cycles long, the stations' successes are the network's, and the
// network row printed twice carries the same values.
TEST_F(Results, IdentitiesHoldInEveryRun) {
  const std::vector<std::vector<std::string>> runs = {
      {"runs=300"},
      {"attempts=150", "unlucky=1", "greedy=0", "fsf_type=1", "L=2"},
      {"time=0.05", "ar_type=3", "ar_rate=2e6", "queue=0", "peers=1"},
      {"frames=40", "adhoc=1", "fsf_type=4", "M=6"},
      {"runs=50", "M=0"}};
  for (const std::vector<std::string>& args : runs) {
    SCOPED_TRACE(testing::PrintToString(args));
    const std::vector<std::string> rows = Rows(args);
    EXPECT_EQ(bin.ReadLines("out/network.csv"), rows);
    const CsvTable net(rows), nodes(bin.ReadLines("out/nodes.csv"));
    EXPECT_EQ(net.Int(0, "runs"), net.Int(0, "attempts") + net.Int(0, "idles"));
    EXPECT_EQ(net.Int(0, "attempts"),
              net.Int(0, "successes") + net.Int(0, "collisions") + net.Int(0, "failures"));
    const double expected = net.Int(0, "runs") * net.Num(0, "t_coll");
    EXPECT_NEAR(net.Num(0, "time"), expected, 1e-5 * expected);
    ASSERT_EQ(static_cast<long>(nodes.rows.size()), net.Int(0, "M"));
    long successes = 0;
    for (size_t i = 0; i < nodes.rows.size(); ++i) successes += nodes.Int(i, "Ns");
    EXPECT_EQ(successes, net.Int(0, "successes"));
  }
}
