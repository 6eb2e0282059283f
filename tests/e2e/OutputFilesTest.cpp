// End-to-end output folder: clearing only the files vorn writes, folders that
// cannot be listed, and files that cannot be opened. The files' contents are
// pinned by the known-answer runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/RunBinary.h"

namespace {

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
  Names Files(const std::string& dir) const {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(bin.dir / dir))
      names.insert(entry.path().filename().string());
    return names;
  }

  RunBinary bin;
};

}  // namespace

// An earlier run's files go, whatever its options were; every other file stays.
TEST_F(OutputFiles, ClearingErasesOnlyTheFilesVornWrites) {
  for (const char* name : {"my_analysis.csv", "old.csv", "pdf_mine.csv", "flow_node03.csv",
                           "notes.txt", "flow_node3.csv", "delay_node0.csv", "pdf_winners.csv"})
    bin.WriteFile(name, "keep?\n");
  bin.WriteFile("nodes.csv", "stale\n");
  bin.WriteFile("precision.csv", "stale\n");
  Run({"runs=10", "M=1", "out_dir=."});
  const Names kept = {"my_analysis.csv", "old.csv",      "pdf_mine.csv",
                      "flow_node03.csv", "notes.txt",    "network.csv",
                      "nodes.csv",       "lastopts.lst", "precision.csv"};
  EXPECT_EQ(Files("."), kept);
  EXPECT_EQ(bin.ReadFile("my_analysis.csv"), "keep?\n");
  EXPECT_EQ(bin.ReadLines("nodes.csv").size(), 2u);
  EXPECT_EQ(bin.ReadLines("precision.csv").size(), 11u);
}

TEST_F(OutputFiles, DirectoryThatCannotBeListedWritesNothing) {
  bin.WriteFile("plain", "a file\n");
  bin.WriteFile("network.csv", "old\n");
  for (const std::string& dir : {std::string("plain"), std::string(""), std::string("missing/sub"),
                                 std::string(5000, 'd'), std::string("/proc/vorn-out")}) {
    const RunResult result = Run({"runs=10", "out_dir=" + dir});
    EXPECT_EQ(result.Diagnostics(), "Error: Could not create or open directory \"" + dir + "\".\n");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 2);
  }
  EXPECT_EQ(bin.ReadFile("plain"), "a file\n");
  EXPECT_EQ(bin.ReadFile("network.csv"), "old\n");
  EXPECT_FALSE(bin.Exists("missing"));
  Run({"runs=10", "out_dir=fresh"});
  EXPECT_EQ(Files("fresh"), (Names{"network.csv", "nodes.csv", "precision.csv"}));
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
  EXPECT_EQ(bin.ReadLines("out/nodes.csv").size(), 3u);
  EXPECT_TRUE(bin.Exists("out/packets_node1.csv"));
  EXPECT_TRUE(bin.Exists("out/flow_network.csv"));
}
