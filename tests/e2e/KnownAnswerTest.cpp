// Seeded known-answer runs through the binary: the result rows, every CSV file
// and the diagnostics of each run are pinned in tests/e2e/known_answers/, so a
// changed outcome rule, round schedule, counter or format shows at once.
//
// When the random stream or an output changes on purpose, regenerate with
//   VORN_REGENERATE=1 build/tests/KnownAnswerTest
// and review the difference (git diff tests/e2e/known_answers) before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/RunBinary.h"

namespace {

struct KnownRun {
  const char* name;
  std::vector<std::string> args;
  // Input files written beside the run first.
  std::map<std::string, std::string> files;
};

const std::vector<KnownRun> kRuns = {
    {"infrastructure", {"seed=11", "runs=3000", "M=10", "nodes_stats=1", "pdf_winners=1"}, {}},
    {"infrastructure_peers_unlucky",
     {"seed=12", "runs=3000", "M=6", "peers=1", "unlucky=1", "R=4", "p=0.3,0.5,0.7,0.9",
      "tau=0,0.5,1,2", "nodes_stats=1"},
     {}},
    {"infrastructure_peers_binomial",
     {"seed=21", "runs=3000", "M=6", "peers=1", "fsf_type=1", "fsf_prob_node=0.3",
      "fsf_prob_ap=0.6", "nodes_stats=1"},
     {}},
    {"infrastructure_not_greedy_idle_cycles",
     {"seed=22", "frames=800", "M=4", "greedy=0", "fsf_type=1", "randsratio=3", "ar_type=4",
      "ar_rate=0.1", "nodes_stats=1"},
     {}},
    {"first_frame_stops", {"seed=23", "frames=1", "M=2", "ar_type=4", "ar_rate=0.01"}, {}},
    {"adhoc_coop_not_greedy",
     {"seed=13", "runs=3000", "adhoc=1", "coop=1", "greedy=0", "M=8", "ar_type=4", "ar_rate=0.05",
      "nodes_stats=1", "mc_nodes=1"},
     {}},
    {"binomial",
     {"seed=14", "runs=3000", "M=7", "fsf_type=1", "fsf_prob_node=0.3", "fsf_prob_ap=0.1", "F=4",
      "L=2", "nodes_stats=1", "pdf_winners=1"},
     {}},
    {"binomial_adhoc_slow",
     {"seed=15", "runs=3000", "adhoc=1", "M=6", "fsf_type=1", "fsf_fast=0", "randsratio=4",
      "nodes_stats=1"},
     {}},
    {"rayleigh",
     {"seed=16", "runs=2000", "M=9", "fsf_type=2", "y=-80", "yAP=-78", "chan_bw=10", "delta=1e-06",
      "nodes_stats=1"},
     {}},
    {"rice_reciprocal",
     {"seed=17", "runs=2000", "M=5", "fsf_type=4", "K=3", "KAP=1", "indep=0", "y=-83", "adhoc=1",
      "nodes_stats=1"},
     {}},
    {"queues_retry_limit",
     {"seed=18", "time=1.5", "M=3", "ar_type=3", "ar_rate=1900000", "queue=3", "retry_limit=1",
      "nodes_stats=1", "mc_packets=1", "flow_stats=0.5"},
     {}},
    {"queue_times",
     {"seed=19", "runs=60", "M=3", "ar_type=1", "ar_rate=5000000", "queue=0", "queue_stats=1",
      "nodes_stats=1"},
     {}},
    {"qos_groups_strict",
     {"seed=20", "runs=3000", "nodes_file=groups.csv", "qos_p_file=p.csv", "qos_tau_file=tau.csv",
      "nodes_stats=1", "stats=id,M,Na,Nt,Ns,-,Ps_t,D_ms,ar_rate,Pdrop"},
     {{"groups.csv", "N,A,R,Q,T\n3,0,0,0,0\n2,2,1500000,1,0\n2,4,0.2,2,1\n"},
      {"p.csv", "0.5,0.5,0.5\n0.6,0.6,0.6\n0.8,0.7,0.6\n"},
      {"tau.csv", "1,1,1\n0.5,1,1\n0,2,2\n"}}},
    // Result rows by debug level, layout and selection; header=1 simulates nothing.
    {"quiet_selection", {"seed=24", "runs=50", "debug=0", "stats=attempts,-,runs,Pref_idle"}, {}},
    {"station_rows_debug1", {"seed=25", "runs=50", "M=3", "debug=1", "nodes_only=1"}, {}},
    {"station_selection_no_network_column", {"seed=26", "runs=20", "stats=Na"}, {}},
    {"one_station_without_header",
     {"seed=27", "runs=50", "M=3", "show_node=2", "nodes_stats=1", "stats=id,Na,Ns"},
     {}},
    {"key_value_rows", {"seed=28", "runs=50", "M=2", "csv=0", "stats=runs,-,idles,attempts"}, {}},
    {"key_value_station_rows", {"seed=29", "runs=50", "M=2", "csv=0", "nodes_stats=1"}, {}},
    {"header_only", {"header=1", "debug=0", "csv=0", "runs=1000000000"}, {}},
    {"header_only_stations", {"header=1", "M=0", "nodes_only=1"}, {}},
    {"header_only_selection", {"header=1", "show_node=2", "stats=Ns,-,id"}, {}},
};

std::string SourcePath(const KnownRun& run) {
  return std::string(VORN_SOURCE_DIR) + "/tests/e2e/known_answers/" + run.name + ".txt";
}

// Standard error with the times of the timing lines masked, which change from
// run to run; which timing lines appear, and where, is pinned.
std::string MaskTimes(const std::string& err) {
  std::istringstream lines(err);
  std::string masked;
  for (std::string line; std::getline(lines, line);) {
    const bool timing = line.rfind("# cont ", 0) == 0 || line.rfind("# total ", 0) == 0;
    masked += (timing ? line.substr(0, line.find(' ', 2)) + " <s> sec" : line) + '\n';
  }
  return masked;
}

// The run's whole observable result: arguments, standard output, standard
// error, and every file of the output folder.
std::string Observe(const KnownRun& run, const RunBinary& bin = RunBinary()) {
  for (const auto& [name, content] : run.files) bin.WriteFile(name, content);
  const RunResult result = bin.Run(run.args);
  std::ostringstream text;
  text << "== args\n";
  for (const std::string& arg : run.args) text << arg << '\n';
  text << "== status " << result.status << "\n== stdout\n"
       << result.out << "== stderr\n"
       << MaskTimes(result.err);
  std::set<std::string> names;
  if (bin.Exists("out"))
    for (const auto& entry : std::filesystem::directory_iterator(bin.dir / "out"))
      names.insert(entry.path().filename().string());
  for (const std::string& name : names)
    text << "== out/" << name << '\n' << bin.ReadFile("out/" + name);
  return text.str();
}

std::string ReadSource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

class KnownAnswer : public testing::TestWithParam<KnownRun> {};

}  // namespace

TEST_P(KnownAnswer, RunMatchesPinnedOutput) {
  const KnownRun& run = GetParam();
  const std::string observed = Observe(run);
  if (std::getenv("VORN_REGENERATE")) {
    std::ofstream(SourcePath(run), std::ios::binary) << observed;
    GTEST_SKIP() << "regenerated " << SourcePath(run);
  }
  EXPECT_EQ(observed, ReadSource(SourcePath(run)));
}

INSTANTIATE_TEST_SUITE_P(Runs, KnownAnswer, testing::ValuesIn(kRuns),
                         [](const testing::TestParamInfo<KnownRun>& info) {
                           return std::string(info.param.name);
                         });

// A run without a seed records the one it used, and its record repeats it:
// F as given (not F*L) and every digit of a float the run used.
TEST(KnownAnswer, RunRepeatsFromItsRecordedOptions) {
  const KnownRun first{"",
                       {"runs=2000", "M=6", "fsf_type=4", "nodes_stats=1", "pdf_winners=1", "L=2",
                        "F=4", "ar_type=3", "ar_rate=1234567", "y=-79.1234567"},
                       {}};
  RunBinary bin;
  const std::string observed = Observe(first, bin);
  const std::string record = bin.ReadFile("lastopts.lst");
  EXPECT_EQ(record.find("\nseed=0\n"), std::string::npos);
  const KnownRun repeat{"", {"optfile=lastopts.lst"}, {{"lastopts.lst", record}}};
  const std::string repeated = Observe(repeat);
  // The repeat says on standard error that it read the options file.
  const auto results = [](const std::string& text) {
    const size_t stdout_at = text.find("== stdout"), stderr_at = text.find("== stderr");
    return text.substr(stdout_at, stderr_at - stdout_at) + text.substr(text.find("== out/"));
  };
  EXPECT_EQ(results(repeated), results(observed));
}
