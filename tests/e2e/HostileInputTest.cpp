// Hostile inputs through the binary: every case must end within its time
// limit, below exit status 128, without a sanitizer report, and with the
// expected message when the input is rejected.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/RunBinary.h"

namespace {

const std::string kColumns = "Error: Number of columns must be >= R for 'pt' and 'tau'.\n";
const std::string kShapes = "Error: Number of rows/columns must be the same for 'pt' and 'tau'.\n";
const std::string kStop =
    "You must specify a valid stop condition, either 'time', 'frames' or 'time' (in order of "
    "precedence).";
const std::string kSubcarriers = "Error: (F*L <= 31 && L >= 1) not met.";

std::string Finite(const std::string& option) {
  return "Error: " + option + " is out of range (accepted: finite numbers).\n";
}

std::string Cycle(const std::string& t_coll) {
  return "Error: t_coll=" + t_coll +
         ", the duration of a contention cycle, is out of range (accepted: more than 0 and "
         "finite; it follows from R, ts, sifs, delta and the frame timing options).\n";
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

// Deterministic bytes of every value, NUL and line feeds included.
std::string Binary(size_t size) {
  std::string bytes(size, '\0');
  unsigned long state = 12345;
  for (char& c : bytes) {
    state = state * 6364136223846793005UL + 1442695040888963407UL;
    c = static_cast<char>(state >> 56);
  }
  return bytes;
}

class Case {
 public:
  Case(std::vector<std::string> args_, int status_, std::string err_)
      : args(std::move(args_)), status(status_), err(std::move(err_)) {}
  virtual ~Case() = default;

  std::vector<std::string> args;
  int status;
  // Standard error without the timing lines.
  std::string err;
};

class HostileInput : public testing::Test {
 protected:
  HostileInput() { bin.time_limit = 20; }

  // Runs args and checks what every hostile input must satisfy.
  RunResult Run(const std::vector<std::string>& args) {
    const RunResult result = bin.Run(args);
    const std::string what = testing::PrintToString(args);
    EXPECT_FALSE(result.timed_out) << what;
    EXPECT_GE(result.status, 0) << what;
    EXPECT_LT(result.status, 128) << what << "\n" << result.err;
    EXPECT_EQ(result.err.find("runtime error"), std::string::npos) << what << result.err;
    EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << what << result.err;
    return result;
  }

  void Expect(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      const RunResult result = Run(c.args);
      EXPECT_EQ(result.status, c.status) << testing::PrintToString(c.args);
      EXPECT_EQ(result.Diagnostics(), c.err) << testing::PrintToString(c.args);
    }
  }

  // Value of option name in lastopts.lst.
  std::string Last(const std::string& name) const {
    for (const std::string& line : bin.ReadLines("lastopts.lst"))
      if (line.compare(0, name.size() + 1, name + "=") == 0) return line.substr(name.size() + 1);
    return "<missing>";
  }

  RunBinary bin;
};

}  // namespace

TEST_F(HostileInput, NonNumericAndEmptyValuesOfEveryType) {
  Expect({
      // i, f, b: the standard conversions give 0 (false), which these accept.
      {{"runs=20", "R=abc", "M=", "adhoc=x1"}, 0, ""},
      {{"runs=20", "ts=abc", "time=", "ar_rate=fast", "y=-"}, 0, ""},
      {{"runs=20", "coop=yes", "greedy=", "peers=true", "unlucky=0.9"}, 0, ""},
      // s and C: empty texts mean no file, no node groups, no selection.
      {{"runs=20", "nodes_def=", "nodes_file=", "qos_p_file=", "stats=", "optfile="}, 0, ""},
      // The same conversions where 0 is out of range.
      {{"runs=abc"}, 1, kStop},
      {{"runs=20", "F=x"}, 7, "Error: F=0 is out of range (accepted: 1 or more).\n"},
      {{"runs=20", "L="}, 7, kSubcarriers},
      {{"runs=20", "t_symbol=fast"},
       1,
       "Error: t_symbol=0 is out of range (accepted: more than 0).\n"},
      {{"runs=20", "DATA=big"}, 1, "Error: DATA=0 is out of range (accepted: 1 or more).\n"},
      {{"runs=20", "randsratio="},
       1,
       "Error: randsratio=0 is out of range (accepted: 1 or more).\n"},
      {{"runs=20", "chan_bw=wide"}, 0, ""},
      {{"runs=20", "p="}, 16, kShapes},
      {{"runs=20", "tau=abc"}, 16, kShapes},
  });
}

TEST_F(HostileInput, HugeAndNegativeNumbers) {
  Expect({
      {{"runs=20", "M=1e12"}, 0, ""},  // atol reads 1
      {{"runs=20", "M=1000000000000"},
       1,
       "Error: M=1000000000000 is out of range (accepted: 0 to 2000).\n"},
      {{"runs=20", "R=-5"}, 16, kColumns},
      {{"runs=20", "F=2147483648"}, 7, kSubcarriers},
      {{"runs=20", "L=99999999999999999999"}, 7, kSubcarriers},
      {{"runs=-1"}, 1, kStop},
      {{"runs=20", "frames=-1", "attempts=-7", "time=-2"}, 0, ""},
      {{"runs=20", "DATA=99999999999999999999"},
       1,
       "Error: DATA=9223372036854775807 is out of range (accepted: 1 to 2147483647).\n"},
      {{"runs=20", "APP=-1"}, 1, "Error: APP=-1 is out of range (accepted: 0 to 2147483647).\n"},
      {{"runs=20", "B_signal=-99999999999999999999"},
       1,
       "Error: B_signal=-9223372036854775808 is out of range (accepted: more than 0).\n"},
      {{"runs=20", "B=9223372036854775807", "B_signal=9223372036854775807"}, 0, ""},
      {{"runs=20", "randsratio=-1"},
       1,
       "Error: randsratio=-1 is out of range (accepted: 1 or more).\n"},
      {{"runs=20", "chan_bw=-20"},
       1,
       "Error: Supported channel bandwidth values (MHz) are: 20, 10, 5\n"},
      {{"runs=20", "adhoc=-1", "fsf_type=99", "retry_limit=-100", "show_node=-9", "debug=-3"},
       0,
       ""},
      {{"runs=20", "randsratio=99999999999999999999", "fsf_type=1"}, 0, ""},
      {{"runs=20", "ymin=1e300", "y0=-1e300", "K=1e300"}, 0, ""},
  });
}

TEST_F(HostileInput, NanAndInfinityInFloatOptions) {
  // One generic check covers every float option; these reach it by different paths.
  const std::vector<std::string> floats = {"time", "ts", "ar_rate", "ymin", "flow_stats"};
  for (const std::string& option : floats)
    Expect({{{"runs=20", option + "=nan"}, 1, Finite(option + "=nan")}});
  Expect({
      {{"runs=20", "time=inf"}, 1, Finite("time=inf")},
      {{"runs=20", "ts=-inf"}, 1, Finite("ts=-inf")},
      {{"runs=20", "Ts=INF"}, 1, Finite("ts=inf")},
      {{"runs=20", "fsf_eta=nan"}, 1, Finite("fsf_prob_node=nan")},
      {{"runs=20", "ar_type=1", "ar_rate=inf"}, 1, Finite("ar_rate=inf")},
      {{"runs=20", "ar_type=4", "ar_rate=infinity"}, 1, Finite("ar_rate=inf")},
      // Checks that already caught NaN keep their messages.
      {{"runs=20", "t_symbol=nan"},
       1,
       "Error: t_symbol=nan is out of range (accepted: more than 0).\n"},
      {{"runs=20", "fsf_type=4", "K=-inf"},
       1,
       "Error: K=-inf is out of range with fsf_type=4 (accepted: 0 or more).\n"},
  });
}

TEST_F(HostileInput, RatesAndDurationsThatWouldNeverEnd) {
  const std::string arrival = " is out of range with arrival type ";
  Expect({
      // 1000 packets of 8192 bits per cycle of 1546 us is the fastest clocked rate.
      {{"runs=20", "ar_type=1", "ar_rate=1e300"},
       1,
       "Error: ar_rate=1e+300" + arrival + "1 (accepted: 0 to 5.29884e+09).\n"},
      {{"runs=20", "ar_type=3", "ar_rate=5.3e9"},
       1,
       "Error: ar_rate=5.3e+09" + arrival + "3 (accepted: 0 to 5.29884e+09).\n"},
      {{"runs=20", "ar_type=2", "ar_rate=5.2e9", "queue=0"}, 0, ""},
      {{"runs=20", "ar_type=4", "ar_rate=1e300"}, 0, ""},  // a probability above 1
      {{"runs=20", "nodes_def=1,1,99999999999999999999999,0,0"},
       1,
       "Error: nodes_def line 1: R=1e+23" + arrival + "1 (accepted: 0 to 5.29884e+09).\n"},
      {{"runs=20", "ts=-1"}, 1, Cycle("-5.9985")},
      {{"runs=20", "delta=-1"}, 1, Cycle("-1.99845")},
      {{"runs=20", "ts=1e308"}, 1, Cycle("inf")},
      {{"runs=20", "sifs=1e308", "t_preamble=1e308"}, 1, Cycle("inf")},
      // The time stop condition keeps its own message for a cycle that never advances.
      {{"ts=-1", "time=1"},
       1,
       "Error: the contention cycle lasts -5.9985 s (t_coll), so the stop condition 'time' can "
       "never be met; it must be positive.\n"},
      {{"time=1e-9", "ts=0", "R=0"}, 0, ""},
  });
}

TEST_F(HostileInput, SizesThatWouldExhaustMemory) {
  Expect({
      {{"runs=2", "M=2000"}, 0, ""},
      {{"runs=2", "M=2001"}, 1, "Error: M=2001 is out of range (accepted: 0 to 2000).\n"},
      {{"runs=2", "nodes_def=1500,0,0,0,0;501,0,0,0,0"},
       1,
       "Error: nodes_def has 2001 stations in all (accepted: 0 to 2000).\n"},
      {{"runs=2", "nodes_def=1000000000000000000000,0,0,0,0"},
       1,
       "Error: nodes_def has 1e+21 stations in all (accepted: 0 to 2000).\n"},
      {{"runs=2", "queue=100000000000"},
       1,
       "Error: queue=100000000000 is out of range with 5 stations (accepted: 0 to 3355443).\n"},
      {{"runs=2", "queue=3355443"}, 0, ""},
      {{"runs=2", "mc_packets=1", "queue=4000"},
       1,
       "Error: mc_packets=1 with queue=4000 and 5 stations needs 20001 packet states (accepted: "
       "queue*stations+1 of at most 4096).\n"},
      {{"runs=2", "mc_packets=1", "queue=31", "M=20"}, 0, ""},
  });
}

TEST_F(HostileInput, ListsWithSignsExponentsAndStrayCharacters) {
  Expect({
      {{"runs=20", "p=0.5;0.5;0.5"}, 16, kShapes},
      {{"runs=20", "p=-0.5,-0.5,-0.5", "tau=-1,-1,-1"}, 16, kColumns},
      {{"runs=20", "p=0.5,0.5,0.5,"}, 16, kShapes},  // a trailing comma adds an empty cell
      {{"runs=20", "p= 0.5 ,\t0.5 ,,0.5 ", "tau=1.2.3,1,1"}, 0, ""},
      {{"runs=20", "p=" + std::string(400, '9') + ",0.5,0.5"}, 0, ""},
      {{"runs=20", "p=" + Repeat("0.5,", 30000) + "0.5", "tau=" + Repeat("1,", 30000) + "1"},
       0,
       ""},
  });
}

TEST_F(HostileInput, TableFilesMissingEmptyBinaryEnormousOrRagged) {
  bin.WriteFile("empty.csv", "");
  bin.WriteFile("binary.csv", Binary(1 << 16));
  bin.WriteFile("ragged.csv", "0.5,0.5,0.5\n0.5,0.5\n");
  bin.WriteFile("rows.csv", Repeat("0.5,0.5,0.5\n", 250000));
  bin.WriteFile("line.csv", Repeat("0.5,", 700000) + "0.5\n");
  bin.WriteFile("groups.csv", Repeat("1,0,0,0,0\n", 100000));
  Expect({
      {{"runs=20", "qos_p_file=none.csv"},
       1,
       "CSVFile error: Cannot open/read file \"none.csv\"\n"},
      {{"runs=20", "qos_p_file=empty.csv"}, 16, kShapes},
      {{"runs=20", "qos_p_file=empty.csv", "qos_tau_file=empty.csv"}, 16, kColumns},
      {{"runs=20", "qos_p_file=ragged.csv"},
       16,
       "CSVStream warning: different number of columns in line \"0.5,0.5\"\n" + kShapes},
      {{"runs=20", "qos_p_file=rows.csv", "qos_tau_file=rows.csv"}, 0, ""},
      {{"runs=20", "qos_p_file=line.csv", "qos_tau_file=line.csv"}, 0, ""},
      {{"runs=20", "nodes_file=none.csv"},
       1,
       "CSVFile error: Cannot open/read file \"none.csv\"\n"},
      {{"runs=20", "nodes_file=empty.csv"}, 0, ""},
      {{"runs=20", "nodes_file=ragged.csv"},
       0,
       "CSVStream warning: different number of columns in line \"0.5,0.5\"\n"},
      {{"runs=20", "nodes_file=groups.csv"},
       1,
       "Error: nodes_file has 100000 stations in all (accepted: 0 to 2000).\n"},
      {{"runs=20", "nodes_file=/"}, 1, "CSVFile error: Cannot open/read file \"/\"\n"},
  });
  // Binary input yields no numeric row: the tables end up empty.
  const RunResult p = Run({"runs=20", "qos_p_file=binary.csv"});
  EXPECT_EQ(p.status, 16);
  EXPECT_EQ(p.err.substr(p.err.size() - kShapes.size()), kShapes);
  EXPECT_EQ(Run({"runs=20", "nodes_file=binary.csv"}).status, 0);
}

TEST_F(HostileInput, NodeGroupsWithBadFields) {
  const std::string q_too_large =
      "Nodes definition error in line 1: Requested QoS priority 5 which is greater than F (8) or "
      "than the specified QoS levels (1).\n";
  Expect({
      {{"runs=20", "nodes_def=1,0,0,0"},
       1,
       "Error: nodes_def has lines of 4 fields (accepted: at least 5 fields N,A,R,Q,T per "
       "line).\n"},
      {{"runs=20", "nodes_def=2.5,0,0,0,0"},
       1,
       "Error: nodes_def line 1 has N=2.5 (accepted: whole numbers of stations).\n"},
      {{"runs=20", "nodes_def=1,0,0,5,0"}, 17, q_too_large},
      {{"runs=20", "nodes_def=1,99999999999999999999999,0,0,0"},
       1,
       "Error: nodes_def line 1 has A=1e+23 (accepted: 0 to 2147483647).\n"},
      {{"runs=20", "nodes_def=1,0,0,0,99999999999"},
       1,
       "Error: nodes_def line 1 has T=1e+11 (accepted: 0 to 2147483647).\n"},
      {{"runs=20", "nodes_def=2,1,0,0,0;1,0,0,0,0,7"},
       0,
       "CSVStream warning: different number of columns in line \"1,0,0,0,0,7\"\n"},
      // Signed, exponent and text cells drop their row; the network falls back to M.
      {{"runs=20", "nodes_def=-1,0,0,0,0;1,1,1e6,0,0;N,A,R,Q,T"}, 0, ""},
      {{"runs=20", "nodes_def=;;;"}, 0, ""},
      {{"runs=20", "nodes_def=0,0,0,0,0"}, 0, ""},
      {{"nodes_def=0,0,0,0,0", "frames=5"},
       1,
       "Error: no station can ever have a packet to send (no stations, or every arrival rate is "
       "0), so the stop condition 'frames' or 'attempts' can never be met; use 'time' or 'runs' "
       "instead.\n"},
      {{"runs=20", "nodes_def=3,4,0.5,0,1.9;2,2.9,1000000,0,0"}, 0, ""},
  });
}

TEST_F(HostileInput, OptionsFilesThatNameThemselvesOrHoldThousandsOfLines) {
  bin.WriteFile("self.txt", "optfile=self.txt\nM=3\n");
  ASSERT_EQ(Run({"runs=20", "optfile=self.txt"}).status, 0);
  EXPECT_EQ(Last("M"), "3");

  std::string big;
  for (int i = 0; i < 20000; ++i)
    big += "unknown" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  bin.WriteFile("big.txt", big + "R=2\nM=4\n");
  const RunResult result = Run({"runs=20", "optfile=big.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.Diagnostics(), "# using options file \"big.txt\" (20002 lines)\n");
  EXPECT_EQ(Last("R"), "2");
  EXPECT_EQ(Last("M"), "4");

  bin.WriteFile("empty.txt", "");
  bin.WriteFile("binary.txt", Binary(1 << 16));
  Expect({
      {{"runs=20", "optfile=empty.txt"}, 0, ""},
      {{"runs=20", "optfile=missing.txt"},
       1,
       "CSVFile error: Cannot open/read file \"missing.txt\"\n"},
      {{"runs=20", "optfile=."}, 1, "CSVFile error: Cannot open/read file \".\"\n"},
  });
  EXPECT_EQ(Run({"runs=20", "optfile=binary.txt"}).status, 0);
}

// A long run with every recorder and file switched on completes and writes
// every file, with the station rows adding up to the network's.
TEST_F(HostileInput, LongRunWithEveryStatisticsFileSwitchedOn) {
  const RunResult result =
      Run({"runs=200000", "M=12", "queue=4", "ar_type=4", "ar_rate=0.1", "retry_limit=1",
           "queue_stats=1", "flow_stats=0.01", "pdf_winners=1", "mc_nodes=1", "mc_packets=1",
           "nodes_stats=1", "fsf_type=1"});
  ASSERT_EQ(result.status, 0);
  for (const std::string name :
       {"network.csv", "nodes.csv", "flow_network.csv", "pdf_winners.csv", "pdf_nodes_active.csv",
        "pdf_packets.csv", "trans_packets.csv", "trans_packets_arrival.csv", "flow_node11.csv",
        "servicetime_node11.csv", "arrivaltime_node11.csv", "delay_node11.csv",
        "packets_node11.csv"})
    EXPECT_TRUE(bin.Exists("out/" + name)) << name;
  EXPECT_EQ(bin.ReadLines("out/nodes.csv").size(), 13u);
  EXPECT_EQ(bin.ReadLines("out/trans_packets.csv").size(), 49u * 50u + 1u);
}
