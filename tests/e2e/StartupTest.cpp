// End-to-end start-up of the binary: options and the options file, help,
// lastopts.lst, and every configuration error with its message and status.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/RunBinary.h"

namespace {

const char* kHelpHeader =
    "Generic Application v1.0.r0\n\n\n    Usage: " VORN_BINARY
    " OPTION=VALUE [OPTION=VALUE [...]]\n\n(?) denotes the option type:\n\n  (i) = integer,\n"
    "  (f) = float,\n  (b) = boolean (either 0 or 1),\n  (s) = string,\n"
    "  (c) = csv (comma separated values).\n\n[?] denotes the default option value if '-h' is "
    "the only argument or the\nparsed value if the option was specified (helps debugging).\n\n";

// Every option with its default, in registration order: the names, order and
// defaults that scripts and stored lastopts.lst files rely on.
const char* const kDefaults =
    "optfile=\nshow_hidden=0\nstats=\ncsv=1\ndebug=2\nheader=0\nout_dir=out\ntime=0\n"
    "frames=0\nattempts=0\nruns=10000\nadhoc=0\nath_real=0\nt_symbol=4e-06\n"
    "t_preamble=1.6e-05\nB_signal=6000000\nchan_bw=0\nB=6000000\nM=5\nDATA=8192\nAPP=0\n"
    "sifs=1.6e-05\ndelta=0\nno_ack=0\nfixed_ack_rate=0\nfsf_type=0\nfading=0\nfsf_fast=1\n"
    "fsf_prob_node=0.25\nfsf_eta=0.25\nfsf_prob_ap=0.25\nfsf_alpha=0.25\nqueue=31\n"
    "retry_limit=-2\nar_type=0\narrival=0\nar_rate=6e+06\ny=-79\nyAP=-79\ny0=-82\n"
    "ymin=-116.041\nynomin=0\nymax=-30\nK=2\nKAP=2\nKratio=0\nqos_levels=1\nnodes_file=\n"
    "nodes_def=\nshow_node=-1\nnodes_stats=0\nnodes_only=0\nflow_stats=0\nqueue_stats=0\n"
    "randsratio=1\ncoop=0\nR=3\nF=8\nL=1\nts=7e-06\nTs=7e-06\np=0.5,0.5,0.5\n"
    "tau=1.0,1.0,1.0\nunlucky=0\npeers=0\ngreedy=1\nindep=1\nqos_type=0\nqos_tau_file=\n"
    "qos_p_file=\npdf_winners=0\nmc_nodes=0\nmc_packets=0\nseed=7\n";

class Startup : public testing::Test {
 protected:
  // Value of option name in lastopts.lst ("<missing>" when absent).
  std::string Last(const std::string& name) const {
    for (const std::string& line : bin.ReadLines("lastopts.lst"))
      if (line.compare(0, name.size() + 1, name + "=") == 0) return line.substr(name.size() + 1);
    return "<missing>";
  }
  // Runs args and expects the given status and exact standard error.
  void ExpectRun(const std::vector<std::string>& args, int status, const std::string& err) {
    bin.Remove("lastopts.lst");
    const RunResult result = bin.Run(args);
    EXPECT_EQ(result.status, status) << testing::PrintToString(args);
    EXPECT_EQ(status == 0 ? result.Diagnostics() : result.err, err) << testing::PrintToString(args);
    if (status == 0) {
      EXPECT_TRUE(result.EndsWithTotal()) << result.err;
    }
    EXPECT_EQ(bin.Exists("lastopts.lst"), status == 0) << testing::PrintToString(args);
  }

  RunBinary bin;
};

}  // namespace

TEST_F(Startup, InitializeWritesItsValuesBack) {
  ASSERT_EQ(bin.Run({"F=8", "L=2", "chan_bw=10", "ts=1", "t_symbol=1", "fsf_prob_ap=-1",
                     "fsf_prob_node=0.3", "K=4", "Kratio=0.5", "qos_levels=9", "B_signal=7"})
                .status,
            0);
  EXPECT_EQ(Last("F"), "16");
  EXPECT_EQ(Last("L"), "2");
  EXPECT_EQ(Last("ts"), "1e-05");
  EXPECT_EQ(Last("Ts"), "1e-05");
  EXPECT_EQ(Last("t_symbol"), "8e-06");
  EXPECT_EQ(Last("t_preamble"), "3.2e-05");
  EXPECT_EQ(Last("B_signal"), "3000000");
  EXPECT_EQ(Last("sifs"), "3.2e-05");
  EXPECT_EQ(Last("ymin"), "-119.051");
  EXPECT_EQ(Last("fsf_prob_ap"), "0.3");
  EXPECT_EQ(Last("fsf_alpha"), "0.3");
  EXPECT_EQ(Last("KAP"), "2");
  EXPECT_EQ(Last("qos_levels"), "1");

  ASSERT_EQ(bin.Run({"ymin=-80", "fsf_type=4", "p=1, 2,,3,", "tau=1,1,1,1"}).status, 0);
  EXPECT_EQ(Last("fsf_type"), "0");
  EXPECT_EQ(Last("fading"), "0");
  EXPECT_EQ(Last("ymin"), "-80");
  EXPECT_EQ(Last("p"), "1, 2,,3,");
}

TEST_F(Startup, CommandLineBeatsOptionsFileAndFirstOccurrenceWins) {
  bin.WriteFile("opts.txt",
                "# run set-up\r\nR=2\r\n\r\nM=7\r\nM=8\r\noptfile=other\r\nout_dir=res\r\n");
  const RunResult result = bin.Run({"optfile=opts.txt", "R=1", "R=3"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.Diagnostics(), "# using options file \"opts.txt\" (5 lines)\n");
  EXPECT_EQ(Last("R"), "1");
  EXPECT_EQ(Last("M"), "7");
  EXPECT_EQ(Last("optfile"), "opts.txt");
  EXPECT_EQ(Last("out_dir"), "res");  // no carriage return kept

  bin.WriteFile("quiet.txt", "# nothing\n\n   \n");
  ExpectRun({"optfile=quiet.txt"}, 0, "");
}

TEST_F(Startup, RaggedOptionsFileIsIgnoredWithAWarning) {
  bin.WriteFile("opts.txt", "a=1\nb=2\nc=3=4\nM=9\n");
  ExpectRun({"optfile=opts.txt"}, 0,
            "CSVStream warning: different number of columns in line \"c=3=4\"\n");
  EXPECT_EQ(Last("M"), "5");
  ExpectRun({"optfile=missing.txt"}, 1, "CSVFile error: Cannot open/read file \"missing.txt\"\n");
}

TEST_F(Startup, UnwritableLastoptsIsReportedAndTheRunGoesOn) {
  bin.WriteFile("lastopts.lst/keep", "");
  const RunResult result = bin.Run({});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.Diagnostics(), "Could not open/write to options file \"lastopts.lst\".\n");
}

TEST_F(Startup, HelpListsTheOptionsAndExitsBeforeInitialization) {
  const RunResult result = bin.Run({"-h", "chan_bw=7", "R=5"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(bin.Exists("lastopts.lst"));
  ASSERT_EQ(result.out.compare(0, std::string(kHelpHeader).size(), kHelpHeader), 0);
  EXPECT_NE(result.out.find("\ndebug          (i) Debug level: 0=results only, 1=add header, "
                            "2=add\n                   stopwatches, etc... [2]\n"),
            std::string::npos);
  EXPECT_NE(result.out.find("\nchan_bw        (i) "), std::string::npos);
  EXPECT_NE(result.out.find("overwritten [7]\n"), std::string::npos);
  EXPECT_NE(result.out.find("\nR              (i) Number of contention rounds [5]\n"),
            std::string::npos);
  EXPECT_NE(result.out.find("\np              (C) Coin-flip probability or slot bursting "
                            "probability\n                   [0.5,0.5,0.5]\n"),
            std::string::npos);
  EXPECT_NE(result.out.find("\nout_dir        (s) Output directory for CSV files.\n"
                            "                   WARNING: Any existing .csv files will be erased! "
                            "[out]\n"),
            std::string::npos);
  EXPECT_EQ(result.out.find("show_hidden"), std::string::npos);
  // Every line stays below 80 columns unless one word alone is longer.
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) EXPECT_LT(line.size(), 80u) << line;
}

TEST_F(Startup, HelpVariants) {
  EXPECT_NE(bin.Run({"show_hidden=1", "--help"}).out.find("\nshow_hidden    (b) Show hidden/"),
            std::string::npos);
  EXPECT_EQ(bin.Run({"-hx"}).status, 0);
  EXPECT_FALSE(bin.Exists("lastopts.lst"));
  bin.WriteFile("opts.txt", "-h=1\n");
  const RunResult from_file = bin.Run({"optfile=opts.txt"});
  EXPECT_EQ(from_file.status, 0);
  EXPECT_EQ(from_file.out.compare(0, 27, "Generic Application v1.0.r0"), 0);
  EXPECT_FALSE(bin.Exists("lastopts.lst"));
}

// One case per message not already checked with hostile inputs; no failed
// run may write lastopts.lst.
TEST_F(Startup, ConfigurationErrors) {
  const std::vector<std::pair<std::vector<std::string>, std::pair<int, std::string>>> cases = {
      {{"R=4"}, {16, "Error: Number of columns must be >= R for 'pt' and 'tau'.\n"}},
      {{"p=0.5,0.5,0.5,0.5"},
       {16, "Error: Number of rows/columns must be the same for 'pt' and 'tau'.\n"}},
      {{"F=8", "L=4"}, {7, "Error: (F*L <= 31 && L >= 1) not met."}},
      // The tables are read before the node groups.
      {{"qos_tau_file=none.csv", "nodes_file=nothing.csv"},
       {1, "CSVFile error: Cannot open/read file \"none.csv\"\n"}},
      {{"M=-1"}, {1, "Error: M=-1 is out of range (accepted: 0 or more).\n"}},
      {{"queue=-2"},
       {1, "Error: queue=-2 is out of range (accepted: 0 for unbounded, or more).\n"}},
      {{"B=0"}, {1, "Error: B=0 is out of range (accepted: more than 0).\n"}},
      {{"ar_type=1", "ar_rate=-5"},
       {1, "Error: ar_rate=-5 is out of range with arrival type 1 (accepted: 0 or more).\n"}},
      {{"fading=4", "KAP=-2"},
       {1, "Error: KAP=-2 is out of range with fsf_type=4 (accepted: 0 or more).\n"}},
      {{"mc_packets=1", "queue=0"},
       {1,
        "Error: mc_packets=1 needs a bounded queue, but queue=0 (accepted: queue of 1 or "
        "more).\n"}},
  };
  for (const auto& [args, expected] : cases) ExpectRun(args, expected.first, expected.second);
  ExpectRun({"F=31", "L=1"}, 0, "");

  bin.WriteFile("nodes.csv", "# N,A,R\n1,0,0\n");
  ExpectRun({"nodes_file=nodes.csv"}, 1,
            "Error: nodes_file has lines of 3 fields (accepted: at least 5 fields N,A,R,Q,T per "
            "line).\n");
}

TEST_F(Startup, QosClassErrorCountsOnlyTheRemainingLines) {
  bin.WriteFile("p.csv", "0.5,0.5,0.5\n0.5,0.5,0.5\n");
  bin.WriteFile("nodes.csv", "# groups\r\n2,0,0,1,0\r\n3,0,0,2,0\r\n");
  ExpectRun({"qos_p_file=p.csv", "qos_tau_file=p.csv", "nodes_file=nodes.csv"}, 17,
            "Nodes definition error in line 2: Requested QoS priority 2 which is greater than F "
            "(8) or than the specified QoS levels (2).\n");
  // Classes are compared with the core F, before it is multiplied by L.
  ExpectRun({"qos_p_file=p.csv", "qos_tau_file=p.csv", "nodes_file=nodes.csv", "F=2", "L=2"}, 17,
            "Nodes definition error in line 2: Requested QoS priority 2 which is greater than F "
            "(2) or than the specified QoS levels (2).\n");
  bin.WriteFile("nodes.csv", "N,A,R,Q,T\n2,0,0,1,0\n");
  ExpectRun({"qos_p_file=p.csv", "qos_tau_file=p.csv", "nodes_file=nodes.csv"}, 0, "");
  EXPECT_EQ(Last("qos_levels"), "2");
}

TEST_F(Startup, RangeChecksComeAfterTheOriginalErrors) {
  ExpectRun({"F=0", "R=4"}, 16, "Error: Number of columns must be >= R for 'pt' and 'tau'.\n");
  ExpectRun({"chan_bw=7", "randsratio=0", "DATA=0"}, 1,
            "Error: Supported channel bandwidth values (MHz) are: 20, 10, 5\n");
  ExpectRun({"R=4", "nodes_def=1,0,0,0"}, 16,
            "Error: Number of columns must be >= R for 'pt' and 'tau'.\n");
  ExpectRun({"DATA=0", "L=0"}, 7, "Error: (F*L <= 31 && L >= 1) not met.");
  ExpectRun({"F=0", "nodes_def=1,0,0,0,0"}, 17,
            "Nodes definition error in line 1: Requested QoS priority 0 which is greater than F "
            "(0) or than the specified QoS levels (1).\n");
}

TEST_F(Startup, BoundaryValuesAreAccepted) {
  ExpectRun({"randsratio=1", "M=0", "queue=0", "DATA=1", "F=1"}, 0, "");
  ExpectRun({"ar_type=4", "ar_rate=-5"}, 0, "");
  ExpectRun({"ar_type=0", "ar_rate=-5"}, 0, "");
  ExpectRun({"fsf_type=2", "K=-0.5", "KAP=-3"}, 0, "");
  ExpectRun({"fsf_type=4", "ymin=-80", "K=-0.5"}, 0, "");  // fading switched off
  ExpectRun({"fsf_type=4", "K=0", "KAP=0"}, 0, "");
  ExpectRun({"nodes_def=2,1,1000,0,0,9", "mc_packets=1"}, 0, "");
}

TEST_F(Startup, DefaultRunListsEveryOptionInRegistrationOrder) {
  ASSERT_EQ(bin.Run({"seed=7"}).status, 0);
  EXPECT_EQ(bin.ReadFile("lastopts.lst"), kDefaults);
}
