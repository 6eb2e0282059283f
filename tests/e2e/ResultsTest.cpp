// End-to-end result rows: header and value rows by debug level, network or
// station rows and the stats selection, name=value rows, and header only.
#include <gtest/gtest.h>

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

TEST_F(Results, NetworkOrStationRowsAndTheSelection) {
  std::vector<std::string> rows = Rows({"runs=20", "stats=attempts,-,runs"});
  EXPECT_EQ(rows, (std::vector<std::string>{"attempts | runs", "20 | 20"}));
  EXPECT_EQ(bin.ReadLines("out/network.csv"), rows);
  // A station statistic is no network column: the network rows are empty.
  EXPECT_EQ(Rows({"runs=20", "stats=Na"}), (std::vector<std::string>{"", ""}));
  rows = Rows({"runs=30", "M=3", "nodes_only=1"});
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(CsvTable(rows).names, kNodeNames);
  // A station other than 0 writes no header row.
  rows = Rows({"runs=30", "M=3", "show_node=2", "nodes_stats=1", "stats=id"});
  EXPECT_EQ(rows, (std::vector<std::string>{"2"}));
}

// csv=0: each row one line of name=value pairs on standard output; the files
// stay CSV.
TEST_F(Results, KeyValueRows) {
  std::vector<std::string> rows = Rows({"runs=20", "csv=0"});
  ASSERT_EQ(rows.size(), 1u);
  const std::vector<std::string> pairs = CsvTable::Fields(rows[0]);
  ASSERT_EQ(pairs.size(), kNetworkNames.size());
  for (size_t i = 0; i < pairs.size(); ++i) EXPECT_EQ(pairs[i].find(kNetworkNames[i] + "="), 0u);
  EXPECT_EQ(CsvTable::Fields(bin.ReadLines("out/network.csv")[0]), kNetworkNames);
  EXPECT_EQ(Rows({"runs=20", "csv=0", "stats=runs,-,idles,attempts"}),
            (std::vector<std::string>{"runs=20 | idles=0, attempts=20"}));
  EXPECT_EQ(Rows({"runs=20", "M=2", "csv=0", "nodes_stats=1", "stats=id,Na"}),
            (std::vector<std::string>{"id=0, Na=20", "id=1, Na=20"}));
}

// header=1: the header row a run of these options would print, whatever
// debug and csv say, once the options are checked, and nothing else.
TEST_F(Results, HeaderOnlyNamesTheColumnsWithoutSimulating) {
  const auto names = [this](const std::vector<std::string>& args) {
    const RunResult result = bin.Run(args);
    EXPECT_EQ(result.status, 0) << testing::PrintToString(args);
    EXPECT_EQ(result.err, "") << testing::PrintToString(args);
    const std::vector<std::string> lines = CsvTable::Lines(result.out);
    EXPECT_EQ(lines.size(), 1u) << testing::PrintToString(args);
    return lines.empty() ? std::vector<std::string>{} : CsvTable::Fields(lines[0]);
  };
  EXPECT_EQ(names({"header=1", "debug=0", "csv=0", "runs=1000000000"}), kNetworkNames);
  EXPECT_EQ(names({"header=1", "M=0", "nodes_only=1"}), kNodeNames);
  EXPECT_EQ(names({"header=1", "show_node=2", "stats=Ns,-,id"}),
            (std::vector<std::string>{"Ns | id"}));
  EXPECT_FALSE(bin.Exists("out"));
  EXPECT_FALSE(bin.Exists("lastopts.lst"));
  const RunResult refused = bin.Run({"header=1", "runs=0"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
}
