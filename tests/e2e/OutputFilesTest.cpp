// End-to-end output directory and CSV files: which files each option writes,
// their layouts, erasing old results (never the run's inputs), directory and
// open failures, flow and queue files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/CsvTable.h"
#include "tests/e2e/RunBinary.h"

namespace {

using Lines = std::vector<std::string>;
using Names = std::set<std::string>;

class OutputFiles : public testing::Test {
 protected:
  // Runs args, which must succeed and end with the "total" line.
  RunResult Run(const std::vector<std::string>& args) {
    const RunResult result = bin.Run(args);
    EXPECT_EQ(result.status, 0) << testing::PrintToString(args);
    EXPECT_TRUE(result.EndsWithTotal()) << result.err;
    return result;
  }
  Names Files(const std::string& dir = "out") const {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(bin.dir / dir))
      names.insert(entry.path().filename().string());
    return names;
  }
  CsvTable Table(const std::string& name) const { return CsvTable(bin.ReadLines(name)); }

  RunBinary bin;
};

Names With(Names names, const Names& more) {
  names.insert(more.begin(), more.end());
  return names;
}

// Sum of the count column of a distribution or transition file.
long CountColumn(const Lines& lines, size_t column) {
  long total = 0;
  for (size_t i = 1; i < lines.size(); ++i)
    if (!lines[i].empty()) total += std::stol(CsvTable::Fields(lines[i])[column]);
  return total;
}

// Fixed-point text with exactly six decimals.
bool IsFixed6(const std::string& text) {
  const size_t dot = text.find('.');
  return dot != std::string::npos && dot > 0 && text.size() == dot + 7 &&
         text.find_first_not_of("0123456789.") == std::string::npos;
}

}  // namespace

TEST_F(OutputFiles, EachOptionWritesItsFiles) {
  const Names base = {"network.csv", "nodes.csv"};
  Run({"runs=20", "M=2"});
  EXPECT_EQ(Files(), base);
  Run({"runs=20", "M=2", "flow_stats=0.01"});
  EXPECT_EQ(Files(), With(base, {"flow_network.csv", "flow_node0.csv", "flow_node1.csv"}));
  Run({"runs=20", "M=2", "queue_stats=1"});
  EXPECT_EQ(Files(),
            With(base, {"servicetime_node0.csv", "servicetime_node1.csv", "arrivaltime_node0.csv",
                        "arrivaltime_node1.csv", "delay_node0.csv", "delay_node1.csv",
                        "packets_node0.csv", "packets_node1.csv"}));
  Run({"runs=20", "M=2", "pdf_winners=1", "mc_nodes=1"});
  EXPECT_EQ(Files(), With(base, {"pdf_winners.csv", "pdf_nodes_active.csv"}));
  Run({"runs=20", "M=2", "mc_packets=1", "adhoc=1"});
  EXPECT_EQ(Files(),
            With(base, {"pdf_packets.csv", "trans_packets.csv", "trans_packets_arrival.csv"}));
}

TEST_F(OutputFiles, DistributionAndTransitionLayouts) {
  Run({"runs=4", "M=1", "queue=1", "ar_type=1", "ar_rate=0", "pdf_winners=1", "mc_packets=1"});
  EXPECT_EQ(bin.ReadFile("out/pdf_winners.csv"),
            "winners, occurences, probability\n  0,          0, 0\n  1,          0, 0\n");
  EXPECT_EQ(bin.ReadFile("out/pdf_packets.csv"),
            "packets, occurences, probability\n  0,          4, 1\n  1,          0, 0\n");
  EXPECT_EQ(bin.ReadFile("out/trans_packets.csv"),
            "pktslot_curr, pktslot_next, occurences, trans_probability\n"
            "  0,   0,          4, 1\n  0,   1,          0, 0\n\n"
            "  1,   0,          0, 0\n  1,   1,          0, 0\n\n");
  EXPECT_EQ(bin.ReadLines("out/trans_packets_arrival.csv")[0],
            "ques_curr, ques_next, occurences, trans_probability");

  Run({"runs=300", "M=3", "queue=2", "ar_type=4", "ar_rate=0.4", "pdf_winners=1", "mc_nodes=1",
       "mc_packets=1"});
  const CsvTable net = Table("out/network.csv");
  const Lines winners = bin.ReadLines("out/pdf_winners.csv");
  const Lines busy = bin.ReadLines("out/pdf_nodes_active.csv");
  const Lines packets = bin.ReadLines("out/pdf_packets.csv");
  EXPECT_EQ(busy[0], "busy_nodes, occurences, probability");
  EXPECT_EQ(winners.size(), 1u + 4);
  EXPECT_EQ(packets.size(), 1u + 7);
  EXPECT_EQ(CountColumn(winners, 1), net.Int(0, "attempts"));
  EXPECT_EQ(CountColumn(busy, 1), net.Int(0, "runs"));
  for (const Lines& lines : {winners, busy, packets}) {
    const long total = CountColumn(lines, 1);
    for (size_t k = 1; k < lines.size(); ++k) {
      const Lines fields = CsvTable::Fields(lines[k]);
      EXPECT_EQ(std::stol(fields[0]), static_cast<long>(k - 1));
      EXPECT_NEAR(std::stod(fields[2]), std::stod(fields[1]) / total, 1e-5);
    }
  }
  // Seven rows of seven transitions, each row closed by an empty line; a
  // row's probabilities add up to 1 unless it has no count.
  const Lines trans = bin.ReadLines("out/trans_packets.csv");
  ASSERT_EQ(trans.size(), 1u + 7 * 8);
  EXPECT_EQ(CountColumn(trans, 2), net.Int(0, "runs"));
  for (size_t row = 0; row < 7; ++row) {
    double sum = 0;
    for (size_t col = 0; col < 7; ++col)
      sum += std::stod(CsvTable::Fields(trans[1 + row * 8 + col])[3]);
    EXPECT_TRUE(sum == 0 || std::fabs(sum - 1) < 1e-4) << sum;
    EXPECT_EQ(trans[8 + row * 8], "");
  }
}

TEST_F(OutputFiles, OldResultsAreErasedOtherFilesKept) {
  for (const char* name : {"out/old.csv", "out/old.CSV", "out/.csv", "out/notes.txt"})
    bin.WriteFile(name, "keep?\n");
  bin.WriteFile("out/nodes.csv", "stale\n");
  Run({"runs=10", "M=1"});
  EXPECT_EQ(Files(), (Names{".csv", "old.CSV", "notes.txt", "network.csv", "nodes.csv"}));
  EXPECT_EQ(bin.ReadLines("out/nodes.csv").size(), 2u);
}

// Inputs are recognised by identity, whatever name reaches them.
TEST_F(OutputFiles, InputFilesAreNeverErasedAsOldResults) {
  const std::string p = "0.5,0.5,0.5\n", tau = "1,1,1\n", groups = "2,0,0,0,0\n";
  bin.WriteFile("p.csv", p);
  bin.WriteFile("tau.csv", tau);
  bin.WriteFile("groups.csv", groups);
  bin.WriteFile("opts.csv", "R=3\n");
  bin.WriteFile("old.csv", "old\n");
  Run({"runs=10", "out_dir=.", "optfile=opts.csv", "qos_p_file=p.csv", "qos_tau_file=./tau.csv",
       "nodes_file=groups.csv"});
  EXPECT_EQ(bin.ReadFile("p.csv"), p);
  EXPECT_EQ(bin.ReadFile("tau.csv"), tau);
  EXPECT_EQ(bin.ReadFile("groups.csv"), groups);
  EXPECT_EQ(bin.ReadFile("opts.csv"), "R=3\n");
  EXPECT_FALSE(bin.Exists("old.csv"));
  EXPECT_EQ(Table("nodes.csv").rows.size(), 2u);

  bin.WriteFile("tables/p.csv", p);
  std::filesystem::create_hard_link(bin.dir / "tables/p.csv", bin.dir / "tables/link.csv");
  bin.WriteFile("tables/old.csv", "old\n");
  Run({"runs=10", "out_dir=tables", "qos_p_file=tables//p.csv"});
  EXPECT_EQ(Files("tables"), (Names{"p.csv", "link.csv", "network.csv", "nodes.csv"}));
}

TEST_F(OutputFiles, DirectoryThatCannotBeListedWritesNothing) {
  bin.WriteFile("plain", "a file\n");
  bin.WriteFile("old.csv", "old\n");
  for (const std::string& dir : {std::string("plain"), std::string(""), std::string("missing/sub"),
                                 std::string(5000, 'd'), std::string("/proc/vorn-out")}) {
    const RunResult result = Run({"runs=10", "out_dir=" + dir});
    EXPECT_EQ(result.Diagnostics(), "Error: Could not create or open directory \"" + dir + "\".\n");
    EXPECT_EQ(CsvTable::Lines(result.out).size(), 2u);
  }
  EXPECT_EQ(bin.ReadFile("plain"), "a file\n");
  EXPECT_TRUE(bin.Exists("old.csv"));
  EXPECT_FALSE(bin.Exists("missing"));
  Run({"runs=10", "out_dir=fresh"});
  EXPECT_EQ(Files("fresh"), (Names{"network.csv", "nodes.csv"}));
}

TEST_F(OutputFiles, OpenFailuresAreReportedAndTheRunGoesOn) {
  for (const char* blocker : {"out/network.csv/x", "out/flow_node1.csv/x",
                              "out/packets_node0.csv/x", "out/pdf_winners.csv/x"})
    bin.WriteFile(blocker, "");
  const RunResult result =
      Run({"runs=20", "M=2", "flow_stats=0.01", "queue_stats=1", "pdf_winners=1"});
  EXPECT_EQ(result.Diagnostics(),
            "Could not open/create flow_node1 output file .\n"
            "Could not open/create packets_node0 output file .\n"
            "Could not open/create network output file.\n"
            "Could not open/create winners output file.\n");
  EXPECT_EQ(Table("out/nodes.csv").rows.size(), 2u);
  EXPECT_TRUE(bin.Exists("out/packets_node1.csv"));
  EXPECT_TRUE(bin.Exists("out/flow_network.csv"));
}

TEST_F(OutputFiles, FlowFilesStartAtTimeZeroWithZeroRates) {
  Run({"runs=2", "M=2", "flow_stats=1"});
  EXPECT_EQ(bin.ReadLines("out/flow_network.csv"),
            (Lines{"time, pktps, Throughput, Ps_t", "0, 0, 0, 0"}));
  EXPECT_EQ(bin.ReadLines("out/flow_node1.csv"),
            (Lines{"time, throughput, Ps, pkt_ps, pktdrops_ps", "0, 0, 0, 0, 0"}));

  Run({"runs=300", "M=2", "flow_stats=0.01"});
  const CsvTable flow = Table("out/flow_network.csv");
  ASSERT_GT(flow.rows.size(), 10u);
  for (size_t i = 1; i < flow.rows.size(); ++i) {
    EXPECT_GT(flow.Num(i, "time"), flow.Num(i - 1, "time") + 0.01 - 2e-6);
    EXPECT_NEAR(flow.Num(i, "Throughput"), 8192 * flow.Num(i, "pktps"),
                1e-5 * flow.Num(i, "Throughput"));
  }
}

// The drop record samples once a second: with 10 ms flow windows most flow
// rows have no drop sample, and report no drops rather than garbage.
TEST_F(OutputFiles, FlowRowsBeyondTheDropRecordReportNoDrops) {
  Run({"time=2.5", "M=2", "queue=1", "ar_type=3", "ar_rate=6e6", "flow_stats=0.01"});
  const CsvTable flow = Table("out/flow_node0.csv");
  ASSERT_GT(flow.rows.size(), 100u);
  EXPECT_GT(flow.Num(1, "pktdrops_ps") + flow.Num(2, "pktdrops_ps"), 0);
  for (size_t i = 3; i < flow.rows.size(); ++i) EXPECT_EQ(flow.Text(i, "pktdrops_ps"), "0") << i;
}

TEST_F(OutputFiles, QueueFiles) {
  // An unbounded queue's single length entry is never counted.
  Run({"runs=20", "M=1", "queue=0", "queue_stats=1"});
  EXPECT_EQ(bin.ReadFile("out/packets_node0.csv"), "i, n, p_i\n0, 0, 0.000000\n");

  Run({"runs=200", "M=2", "queue=3", "queue_stats=1", "nodes_stats=1"});
  const CsvTable nodes = Table("out/nodes.csv");
  const Lines lengths = bin.ReadLines("out/packets_node1.csv");
  ASSERT_EQ(lengths.size(), 1u + 4);
  EXPECT_EQ(lengths[0], "i, n, p_i");
  EXPECT_EQ(CountColumn(lengths, 1), 200);
  EXPECT_EQ(lengths[1].substr(0, 3), "0, ");
  EXPECT_TRUE(IsFixed6(CsvTable::Fields(lengths[1])[2])) << lengths[1];
  // Saturated stations: no arrival times, one service time per success.
  EXPECT_EQ(bin.ReadFile("out/arrivaltime_node1.csv"), "");
  const Lines services = bin.ReadLines("out/servicetime_node1.csv");
  EXPECT_EQ(static_cast<long>(services.size()), nodes.Int(1, "Ns"));
  for (const std::string& line : services) EXPECT_TRUE(IsFixed6(line)) << line;
}

// Unbounded queues keep arrival times, so D is the mean of the real delays.
TEST_F(OutputFiles, MeanDelayOfUnboundedQueuesIsTheMeanOfTheDelays) {
  Run({"time=0.2", "M=3", "queue=0", "ar_type=3", "ar_rate=3e6", "queue_stats=1"});
  const CsvTable nodes = Table("out/nodes.csv");
  for (size_t i = 0; i < 3; ++i) {
    const Lines delays = bin.ReadLines("out/delay_node" + std::to_string(i) + ".csv");
    ASSERT_FALSE(delays.empty());
    double sum = 0;
    for (const std::string& d : delays) sum += std::stod(d);
    const double D = nodes.Num(i, "D");
    EXPECT_GT(D, 0);
    EXPECT_NEAR(D, sum / delays.size(), 1e-6 + 1e-5 * D) << i;
  }
}
