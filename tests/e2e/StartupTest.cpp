// End-to-end start-up of the binary: options and the options file, help,
// lastopts.lst, and one table of every refusal and warning with its message
// and status, hostile inputs that once hung or crashed a run among them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/RunBinary.h"

namespace {

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

// One run: its arguments, exit status and standard error without the timing
// lines; an expected text ending in '*' is compared up to the '*' only.
struct Case {
  std::vector<std::string> args;
  int status;
  std::string err;
};

const std::string kMemory = " (accepted: at most *";
const std::string kExact = "Error: exact=1 cannot model ";
const std::string kCovers =
    " (the model covers identical stations, saturated (ar_type=0) or with Bernoulli arrivals "
    "into a queue of one without retry limit (ar_type=4 queue=1 retry_limit=-1 or -2), no node "
    "groups, on a channel without fading, or one station in access-point mode on a channel faded "
    "afresh every round (M=1 adhoc=0 fsf_fast=1 randsratio=1), the network row only).\n";

const std::vector<Case> kCases = {
    // Names and values.
    {{"adoc=1"}, 1, "Error: unknown option \"adoc\" (did you mean \"adhoc\"?)\n"},
    {{"optfile=bad.txt"},
     1,
     "# using options file \"bad.txt\" (2 lines)\nError: bad.txt line 4: unknown option "
     "\"fsf_typ\" (did you mean \"fsf_type\"?)\n"},
    {{"M=ten"},
     1,
     "Error: M=ten is not an integer (accepted: a whole number such as 10, 1e5 or 2.0).\n"},
    // Meanings, named as given, before the errors below.
    {{"fsf_eta=2", "chan_bw=7"}, 1, "Error: fsf_eta=2 is out of range (accepted: 0 to 1).\n"},
    {{"time=-1"},
     1,
     "Error: time=-1 is out of range (accepted: 0 for no limit, or more seconds).\n"},
    {{"randsratio=0", "fsf_type=1"},
     1,
     "Error: randsratio=0 is out of range (accepted: 1 or more).\n"},
    {{"F=0"}, 7, "Error: F=0 is out of range (accepted: 1 or more).\n"},
    {{"ar_type=4"},
     1,
     "Error: ar_rate=6e+06 is out of range with arrival type 4 (accepted: 0 to 1, the probability "
     "of an arrival in a cycle).\n"},
    {{"mc_packets=1", "queue=0"},
     1,
     "Error: mc_packets=1 needs a bounded queue, but queue=0 (accepted: queue of 1 or more).\n"},
    {{"show_node=5"},
     1,
     "Error: show_node=5 is out of range with 5 stations (accepted: -1 for all stations, or 0 to "
     "4).\n"},
    {{"p=-0.2,0.5,0.5"},
     1,
     "Error: p=-0.2,0.5,0.5: item 1 \"-0.2\" is out of range (accepted: numbers from 0 to 1).\n"},
    // Tables and node groups.
    {{"qos_p_file=ragged.csv"},
     1,
     "Error: ragged.csv line 3 has 2 fields where line 1 has 3 (accepted: the same number of "
     "fields on every line).\n"},
    {{"nodes_file=short.csv"},
     1,
     "Error: short.csv line 2 has 3 fields (accepted: 5 fields N,A,R,Q,T).\n"},
    {{"nodes_def=-5,0,0,1,0"},
     1,
     "Error: nodes_def line 1: N \"-5\" is not a whole number in digits (accepted: whole numbers "
     "of stations, 0 or more).\n"},
    {{"nodes_def=1,1,99999999999999999999999,0,0"},
     1,
     "Error: nodes_def line 1: R=1e+23 is out of range with arrival type 1 (accepted: 0 to "
     "5.29884e+09).\n"},
    {{"qos_p_file=binary.csv"}, 1, "Error: binary.csv line *"},
    // Options that another overrides, unless they hold the value in force.
    {{"M=50", "nodes_def=2,0,0,0,0;3,0,0,0,0"},
     1,
     "Error: M=50 is overridden by nodes_def (accepted: M=5, the value in force, or no M).\n"},
    {{"nodes_def=1,0,0,0,0", "nodes_file=short.csv"},
     1,
     "Error: nodes_file=short.csv is overridden by nodes_def (accepted: nodes_file=, the value in "
     "force, or no nodes_file).\n"},
    {{"arrival=3", "nodes_def=1,0,0,0,0"},
     1,
     "Error: arrival=3 is overridden by nodes_def (accepted: arrival=0, the value in force, or no "
     "arrival).\n"},
    {{"ar_rate=1e6", "nodes_file=classes0.csv"},
     1,
     "Error: ar_rate=1e6 is overridden by nodes_file (accepted: ar_rate=6e+06, the value in force, "
     "or no ar_rate).\n"},
    {{"p=0.9,0.9,0.9", "qos_p_file=p2.csv", "qos_tau_file=p2.csv"},
     1,
     "Error: p=0.9,0.9,0.9 is overridden by qos_p_file (accepted: p=0.5,0.5,0.5, the value in "
     "force, or no p).\n"},
    {{"tau=1,2,1", "qos_tau_file=p2.csv", "qos_p_file=p2.csv"},
     1,
     "Error: tau=1,2,1 is overridden by qos_tau_file (accepted: tau=1.0,1.0,1.0, the value in "
     "force, or no tau).\n"},
    {{"M=5", "ar_rate=6e6", "p=0.50,.5,0.5", "nodes_def=5,0,0,0,0", "qos_p_file=p2.csv",
      "qos_tau_file=p2.csv", "runs=10"},
     0,
     ""},
    // The errors that keep their messages and statuses.
    {{"optfile=."}, 1, "CSVFile error: Cannot open/read file \".\"\n"},
    {{"chan_bw=7"}, 1, "Error: Supported channel bandwidth values (MHz) are: 20, 10, 5\n"},
    {{"F=2147483648"}, 7, "Error: (F*L <= 31 && L >= 1) not met."},
    {{"qos_p_file=empty.csv"},
     16,
     "Error: Number of rows/columns must be the same for 'pt' and 'tau'.\n"},
    {{"R=4"}, 16, "Error: Number of columns must be >= R for 'pt' and 'tau'.\n"},
    // Classes count the table rows only, and are compared with F before F*L.
    {{"qos_p_file=p2.csv", "qos_tau_file=p2.csv", "nodes_file=classes.csv", "F=2", "L=2"},
     17,
     "Nodes definition error in line 2: Requested QoS priority 2 which is greater than F (2) or "
     "than the specified QoS levels (2).\n"},
    // Derived values that would hang a run or exhaust memory.
    {{"delta=-1"},
     1,
     "Error: t_coll=-1.99845, the duration of a contention cycle, is out of range (accepted: more "
     "than 0 and finite; it follows from R, ts, sifs, delta and the frame timing options).\n"},
    // Derived from before the check, without overflow (the sanitizer build checks).
    {{"DATA=9223372036854775807", "APP=9223372036854775807"},
     1,
     "Error: DATA=9223372036854775807 is out of range (accepted: 1 to 2147483647).\n"},
    {{"ar_type=3", "ar_rate=5.3e9"},
     1,
     "Error: ar_rate=5.3e+09 is out of range with arrival type 3 (accepted: 0 to 5.29884e+09).\n"},
    {{"queue=100000000000"},
     1,
     "Error: M=5 needs about 9.6 TB of memory with fsf_type=0, S=8 subcarriers and "
     "queue=100000000000" +
         kMemory},
    {{"nodes_file=groups.csv", "adhoc=1", "fsf_type=1"},
     1,
     "Error: groups.csv with 1000000 stations needs about 8 TB of memory with fsf_type=1, S=8 "
     "subcarriers and queue=31" +
         kMemory},
    {{"mc_packets=1", "queue=1", "M=4000", "R=700000", "qos_p_file=line.csv",
      "qos_tau_file=line.csv"},
     1,
     "Error: M=4000 needs about 269 GB of memory with fsf_type=0, S=8 subcarriers, queue=1 and "
     "mc_packets=1" +
         kMemory},
    {{"mc_packets=1", "queue=4000"},
     1,
     "Error: mc_packets=1 with queue=4000 and 5 stations needs 20001 packet states (accepted: "
     "queue*stations+1 of at most 4096).\n"},
    // Precision targets: the edges of precision, the metric names, targets never met.
    {{"precision=0", "runs=10"}, 0, ""},
    {{"precision=1"},
     1,
     "Error: precision=1 is out of range (accepted: 0 for none, or more than 0 and below 1).\n"},
    {{"precision=-0.01"},
     1,
     "Error: precision=-0.01 is out of range (accepted: 0 for none, or more than 0 and below "
     "1).\n"},
    {{"precision_metric=Ps_t"},
     1,
     "Error: precision_metric=Ps_t is out of range (accepted: S, S_app, T, Ps, Pc, Pf, Pi, Ps_a, "
     "Pc_a or D).\n"},
    {{"precision=0.01", "precision_metric=Pi"},
     1,
     "Error: precision=0.01 with precision_metric=Pi can never be met: every station is "
     "saturated, so no cycle is idle, and Pi is 0 in every cycle.\n"},
    {{"precision=0.01", "runs=0", "precision_metric=Pc", "M=1"},
     1,
     "Error: precision=0.01 with precision_metric=Pc can never be met: a collision needs two "
     "stations, and Pc is 0 in every cycle.\n"},
    {{"precision=0.01", "precision_metric=Pf"},
     1,
     "Error: precision=0.01 with precision_metric=Pf can never be met: without fading every "
     "station hears the best word, so its sender always survives, and Pf is 0 in every cycle.\n"},
    {{"precision=0.01", "runs=0", "M=1", "precision_metric=Pc_a"},
     1,
     "Error: precision=0.01 with precision_metric=Pc_a can never be met: a station alone and "
     "without fading succeeds in every attempt, and Pc_a is 0 in every cycle.\n"},
    {{"precision=0.01", "runs=0", "M=0", "precision_metric=D"},
     1,
     "Error: precision=0.01 with precision_metric=D can never be met: no station can ever have a "
     "packet to send, and D is 0 in every cycle.\n"},
    {{"precision=0.05", "runs=0", "seed=2"}, 0, "# stopped by precision after 60 cycles\n"},
    {{"precision=0.5", "runs=0", "seed=2"}, 0, "# stopped by precision after 30 cycles\n"},
    {{"precision=0.05", "runs=50", "seed=2"}, 0, "# stopped by runs after 50 cycles\n"},
    // The exact model's reach: one row per reason, and the edge of fading.
    {{"exact=1", "nodes_def=2,0,0,0,0"}, 1, kExact + std::string("nodes_def=2,0,0,0,0") + kCovers},
    {{"exact=1", "fsf_type=2"}, 1, kExact + std::string("fsf_type=2 with M=5") + kCovers},
    {{"exact=1", "fsf_type=2", "M=1", "fsf_fast=0"},
     1,
     kExact + std::string("fsf_type=2 with fsf_fast=0") + kCovers},
    {{"exact=1", "fsf_type=4", "M=1", "KAP=2e4"},
     1,
     kExact +
         std::string("fsf_type=4 with K=2, KAP=2e4, y=-79, yAP=-79 and y0=-82, whose Rice sums "
                     "need over 1e4 terms") +
         kCovers},
    {{"exact=1", "fsf_type=1", "fsf_prob_node=0", "fsf_prob_ap=0.1"},
     1,
     kExact + std::string("fsf_type=1 with M=5") + kCovers},
    {{"exact=1", "ar_type=3"}, 1, kExact + std::string("ar_type=3") + kCovers},
    {{"exact=1", "ar_type=4", "ar_rate=0.1", "queue=2"},
     1,
     kExact + std::string("queue=2") + kCovers},
    {{"exact=1", "ar_type=4", "ar_rate=0.1", "queue=1", "retry_limit=3"},
     1,
     kExact + std::string("retry_limit=3") + kCovers},
    {{"exact=1", "pdf_winners=1"}, 1, kExact + std::string("pdf_winners=1") + kCovers},
    {{"exact=1", "show_node=0"}, 1, kExact + std::string("show_node=0") + kCovers},
    // Warnings.
    {{"fsf_type=3"},
     0,
     "Warning: fsf_type=3 runs without fading, as it always has; Rayleigh fading is "
     "fsf_type=2.\n"},
    {{"fading=5", "no_ack=1", "qos_type=1", "qos_levels=4"},
     0,
     "Warning: fading=5 runs without fading; the fading models are 1 (binomial), 2 (Rayleigh) and "
     "4 (Rice).\nWarning: no_ack=1 has no effect: every successful exchange ends with its ACK.\n"
     "Warning: qos_type=1 has no effect: the QoS type of a station is the T field of its node "
     "group (nodes_def, nodes_file).\nWarning: qos_levels=4 has no effect: the QoS levels are the "
     "1 rows of the p and tau tables.\n"},
    {{"optfile=self.txt"},
     0,
     "Warning: self.txt line 1: optfile has no effect inside an options file.\n# using options "
     "file \"self.txt\" (2 lines)\n"},
    // Runs that must end, within the time limit and without a crash.
    {{"M=5000", "runs=20", "seed=4294967295"}, 0, ""},
    {{"time=1e-9", "ts=0", "R=0"}, 0, ""},
    {{"B=9223372036854775807", "B_signal=9223372036854775807", "ymin=1e300", "y0=-1e300",
      "K=1e300"},
     0,
     ""},
    {{"p=" + Repeat("0.5,", 30000) + "0.5", "tau=" + Repeat("1,", 30000) + "1"}, 0, ""},
    {{"qos_p_file=rows.csv", "qos_tau_file=rows.csv"}, 0, ""},
    {{"qos_p_file=line.csv", "qos_tau_file=line.csv"}, 0, ""},
    {{"optfile=big.txt"}, 0, "# using options file \"big.txt\" (20000 lines)\n"},
    {{"optfile=binary.txt"}, 1, "# using options file \"binary.txt\" (*"},
};

class Startup : public testing::Test {
 protected:
  RunBinary bin;
};

}  // namespace

// Every refusal names what it refuses, ends the run before it writes
// lastopts.lst and exits with its status; a warning changes nothing else.
TEST_F(Startup, RefusalsAndWarnings) {
  bin.time_limit = 60;
  bin.WriteFile("bad.txt", "# set-up\n\nR=2\nfsf_typ=2\n");
  bin.WriteFile("self.txt", "optfile=self.txt\n M = 3 \n");
  bin.WriteFile("big.txt", Repeat("R=2\n", 20000));
  bin.WriteFile("binary.txt", Binary(1 << 16));
  bin.WriteFile("binary.csv", Binary(1 << 16));
  bin.WriteFile("ragged.csv", "0.5,0.5,0.5\n\n0.5,0.5\n");
  bin.WriteFile("short.csv", "N,A,R\n1,0,0\n");
  bin.WriteFile("p2.csv", "0.5,0.5,0.5\n0.5,0.5,0.5\n");
  bin.WriteFile("classes.csv", "# groups\r\n2,0,0,1,0\r\n3,0,0,2,0\r\n");
  bin.WriteFile("empty.csv", "");
  bin.WriteFile("classes0.csv", "2,0,0,0,0\n");
  bin.WriteFile("rows.csv", Repeat("0.5,0.5,0.5\n", 250000));
  bin.WriteFile("line.csv", Repeat("0.5,", 700000) + "0.5\n");
  bin.WriteFile("groups.csv", Repeat("10,0,0,0,0\n", 100000));
  for (const Case& c : kCases) {
    bin.Remove("lastopts.lst");
    const RunResult result = bin.Run(c.args);
    const std::string what = testing::PrintToString(c.args).substr(0, 200);
    EXPECT_FALSE(result.timed_out) << what;
    EXPECT_EQ(result.status, c.status) << what << "\n" << result.err;
    const std::string err = result.Diagnostics();
    const bool prefix = !c.err.empty() && c.err.back() == '*';
    EXPECT_EQ(prefix ? err.substr(0, c.err.size() - 1) + "*" : err, c.err) << what;
    EXPECT_EQ(bin.Exists("lastopts.lst"), c.status == 0) << what;
    if (c.status == 0) {
      EXPECT_TRUE(result.EndsWithTotal()) << what << result.err;
    }
  }
}

// The help screen is pinned by known answers; its option lines stay below 80
// columns (the usage line names the binary, wherever it was built), and "-h"
// in an options file asks for it too.
TEST_F(Startup, HelpLinesFitAndTheOptionsFileCanAskForIt) {
  std::istringstream lines(bin.Run({"show_hidden=1", "-h"}).out);
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(line.size() < 80 || line.find("Usage: ") != std::string::npos) << line;
  bin.WriteFile("opts.txt", "-h=1\n");
  EXPECT_EQ(bin.Run({"optfile=opts.txt"}).out.compare(0, 27, "Generic Application v1.0.r0"), 0);
  EXPECT_FALSE(bin.Exists("lastopts.lst"));
}
