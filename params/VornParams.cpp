// Registration of the protocol options and the whole configuration step:
// bandwidth adaptation, QoS tables, node groups, cycle timing and checks.
#include "params/VornParams.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>

#include "params/OptionValue.h"
#include "support/CSVFile.h"

namespace {

// Truncation toward zero that stays defined for cells beyond the range of long.
long Truncate(double value) {
  const double limit = static_cast<double>(std::numeric_limits<long>::max());
  if (!(value > -limit)) return std::numeric_limits<long>::min();
  if (!(value < limit)) return std::numeric_limits<long>::max();
  return static_cast<long>(value);
}

// The cells of the p table, of the tau table and of the node groups.
const TableReader kProbabilities({"", false, 0, 1, "numbers from 0 to 1"});
const TableReader kTaus({"", false, 0, HUGE_VAL, "0 for uniform, or more"});
const TableReader kNodeGroups({{"N", true, 0, HUGE_VAL, "whole numbers of stations, 0 or more"},
                               {"A", true, 0, 4, "0 to 4, as ar_type"},
                               {"R", false, 0, HUGE_VAL, "0 or more, as ar_rate"},
                               {"Q", true, 0, HUGE_VAL, "whole numbers, 0 or more"},
                               {"T", true, 0, 1, "0 for statistical or 1 for strict"}});

// Bytes of one station or access point besides its tables, and of one
// contention round's draw; somewhat above their sizes, for the heap blocks.
constexpr double kNodeBytes = 2048;
constexpr double kDrawBytes = 96;

// Lists of the same numbers, however written.
bool SameNumbers(const CSVString& a, const CSVString& b) {
  if (a.elements.size() != b.elements.size()) return false;
  for (size_t i = 0; i < a.elements.size(); ++i) {
    double x = 0, y = 0;
    if (!OptionValue::ToReal(a.elements[i], x) || !OptionValue::ToReal(b.elements[i], y) || x != y)
      return false;
  }
  return true;
}

std::string Bytes(double bytes) {
  const char* units[] = {"bytes", "kB", "MB", "GB", "TB"};
  int unit = 0;
  for (; unit < 4 && bytes >= 1000; ++unit) bytes /= 1000;
  char text[64];
  std::snprintf(text, sizeof text, "%.3g %s", bytes, units[unit]);
  return text;
}

}  // namespace

// The noise floor of one contention subcarrier of a 20 MHz channel:
// -174 dBm/Hz over twice its 312.5 kHz spacing.
VornParams::VornParams() {
  ymin = -116.0411998;
}

void VornParams::GetArguments(int argc, char** argv) {
  SimParams::GetArguments(argc, argv);
  Push("randsratio", randsratio,
       "Perform a channel randomization after this many runs (overrides 'rands'); 1=every attempt, "
       "which can be time consuming, 2 or more can be used for large number of runs but be warned "
       "that this effectively means a slow quasi-static channel");
  Push("coop", coop,
       "Nodes who do not have packet to send start contention as referees (only applies when "
       "adhoc=1)");
  Push("R", R, "Number of contention rounds");
  Push("F", F, "Number of core contention subcarriers");
  Push("L", L, "Number of repetitions of the core contention subcariers scheme");
  Push("ts", ts, "Duration of the contention slot in seconds (7-10 us typical value)");
  Push("Ts", ts, "--");
  Push("p", p, "Coin-flip probability or slot bursting probability");
  Push("tau", tau, "Geometric parameter for subcarrier selection, 0 for uniform");
  Push("unlucky", unlucky,
       "Whether to immediately lose the round if coin-flipping is unsuccesful, i.e. no 2nd chance. "
       "This breaks protocol correctness.");
  Push("peers", peers,
       "Whether to listen to peer nodes during the contention slot (applies only when adhoc=0)");
  Push("greedy", greedy,
       "Whether to self-select as winner if no reply is heard from referee(s). Note that setting "
       "this to 0 breaks protocolc orrectness.");
  Push("indep", indep,
       "Whether the AP feedback channels are faded independently of the forward channels "
       "(non-reciprocal channels)");
  Push("qos_type", qos_type,
       "QoS implementation type (bitwise OR combinations possible): 0=statistical, 1=strict");
  Push("qos_tau_file", qos_tau_file,
       "Matrix definition of tau values in CSV format (rows = QoS level, columns = tau value per "
       "round)");
  Push("qos_p_file", qos_p_file,
       "Matrix definition of p values in CVS format (rows = QoS level, columns = p value per "
       "round)");
  Push("pdf_winners", pdf_winners, "Whether to display a pdf of winners");
  Push("mc_nodes", mc_nodes,
       "Record and output markov chain transition and steady state probabilities for number of "
       "nodes");
  Push("mc_packets", mc_packets,
       "Record and output markov chain transition and steady state probabilities for number of "
       "packets in system (node queues)");
  Push("seed", seed, "Seed of the random stream, 1 to 4294967295; 0 seeds it from the time of day");
  Push("precision", precision,
       "Stop once the 95% confidence interval of precision_metric, relative to its value, is at "
       "most this wide (checked at batch boundaries, from 30 batches on); 0 to disable");
  Push("precision_metric", precision_metric,
       "Metric of precision.csv the precision target applies to: S, S_app, T, Ps, Pc, Pf, Pi, "
       "Ps_a, Pc_a or D");
  Push("exact", exact,
       "1 prints the outcome probabilities of the exact model (saturated identical stations, no "
       "fading) instead of simulating");
}

void VornParams::Initialize() {
  CheckArguments();
  CheckRanges();
  const long levels = qos_levels;
  RejectIf(ReadTables());
  CheckOverrides();
  SimParams::Initialize();
  AdaptToChannelBandwidth();
  ExtractQoSLevels();
  SetProtocolTiming();
  ExpandSubcarriers();
  CheckLimits();
  // lastopts.lst records the stations built, so that a repeat holds M in force.
  if (!node_groups.empty()) M = Truncate(StationCount());
  WarnIneffective(levels);
}

void VornParams::AdaptToChannelBandwidth() {
  if (chan_bw == 0) return;
  // 64/chan_bw us of slot, twice the propagation delay and 3.4 us, in whole microseconds.
  ts = std::ceil(64.0 / chan_bw + 2000000 * delta + 3.4) * 1e-06;
  // A contention subcarrier gets 1/52 of the channel's noise: 10 log10 52 dB.
  ymin = ymin - 17.160033436348016;
}

std::string VornParams::ReadTables() {
  std::string problem = ParseSlotQoSParam(qos_p_file, p, kProbabilities, p_table);
  if (problem.empty()) problem = ParseSlotQoSParam(qos_tau_file, tau, kTaus, tau_table);
  return problem.empty() ? ReadNodeGroups() : problem;
}

std::string VornParams::ParseSlotQoSParam(const char* file, const CSVString& values,
                                          const TableReader& cells,
                                          ArrayDense<double, unsigned>& table) {
  if (file && file[0] != '\0') return cells.ReadLines(file, CSVFile(file, ","), table);
  return cells.ReadList(Setting(&values), values.elements, table);
}

std::string VornParams::ReadNodeGroups() {
  node_group_lines.clear();
  if (nodes_def[0] != '\0') {
    std::istringstream text(nodes_def);
    CSVStream stream;
    stream.parse(text, ",", ';');
    return kNodeGroups.ReadLines("nodes_def", stream, node_groups, &node_group_lines);
  }
  if (nodes_file[0] != '\0')
    return kNodeGroups.ReadLines(nodes_file, CSVFile(nodes_file, ","), node_groups,
                                 &node_group_lines);
  node_groups.Resize(0);
  return "";
}

void VornParams::ExtractQoSLevels() {
  if (p_table.d1 != tau_table.d1 || p_table.d2 != tau_table.d2) {
    std::fprintf(stderr, "Error: Number of rows/columns must be the same for 'pt' and 'tau'.\n");
    std::exit(16);
  }
  if (static_cast<unsigned long>(p_table.d2) < static_cast<unsigned long>(R) || p_table.d1 == 0) {
    std::fprintf(stderr, "Error: Number of columns must be >= R for 'pt' and 'tau'.\n");
    std::exit(16);
  }
  qos_levels = p_table.d1;
  for (unsigned i = 0; i < node_groups.d1; ++i) {
    const double q = node_groups(i, 3);
    if (q >= F || q >= qos_levels) {
      std::fprintf(stderr,
                   "Nodes definition error in line %d: Requested QoS priority %ld which is greater "
                   "than F (%ld) or than the specified QoS levels (%ld).\n",
                   static_cast<int>(i + 1), Truncate(q), F, qos_levels);
      std::exit(17);
    }
  }
}

void VornParams::SetProtocolTiming() {
  t_cont = 2 * R * ts;
  difs = sifs;
  t_succ = t_cont + t_data + sifs + t_ack + sifs;
  t_coll = t_succ;
}

void VornParams::ExpandSubcarriers() {
  // Written as F > 31 / L so that no product of large values can overflow.
  if (L < 1 || F > 31 / L) {
    std::fprintf(stderr, "Error: (F*L <= %ld && L >= 1) not met.", 31L);
    std::exit(7);
  }
  subcarriers = F * L;
}

void VornParams::CheckRanges() const {
  SimParams::CheckRanges();
  Accept(&DATA, DATA >= 1 && DATA <= kMaxBits, "1 to 2147483647");
  Accept(&APP, APP >= 0 && APP <= kMaxBits, "0 to 2147483647");
  // The engine redraws the channels when its cycle counter is a multiple of randsratio.
  Accept(&randsratio, randsratio >= 1, "1 or more");
  Accept(&R, R >= 0, "0 or more");
  Accept(&F, F >= 1, "1 or more", 7);
  Accept(&ts, ts >= 0, "0 or more");
  Accept(&qos_type, qos_type == 0 || qos_type == 1, "0 for statistical or 1 for strict");
  Accept(&seed, seed >= 0 && seed <= kMaxSeed, "0 for the time of day, or 1 to 4294967295");
  Accept(&precision, precision >= 0 && precision < 1, "0 for none, or more than 0 and below 1");
  if (mc_packets && queue == 0)
    Reject(1, "mc_packets=1 needs a bounded queue, but queue=0 (accepted: queue of 1 or more)");
}

void VornParams::CheckOverrides() const {
  if (!node_groups.empty()) {
    const double stations = StationCount();
    RejectOverridden(&M, M != stations, NodeGroupOption(), Text("%.0f", stations));
    RejectOverridden(&ar_type, ar_type != kDefaultArType, NodeGroupOption(),
                     Text("%ld", kDefaultArType));
    RejectOverridden(&ar_rate, ar_rate != kDefaultArRate, NodeGroupOption(),
                     Text("%g", kDefaultArRate));
  }
  // A string option is bound to its text, not to the variable.
  if (nodes_def[0] != '\0' && nodes_file[0] != '\0')
    RejectOverridden(nodes_file, true, "nodes_def", "");
  if (qos_p_file[0] != '\0')
    RejectOverridden(&p, !SameNumbers(p, CSVString(kDefaultP)), "qos_p_file", kDefaultP);
  if (qos_tau_file[0] != '\0')
    RejectOverridden(&tau, !SameNumbers(tau, CSVString(kDefaultTau)), "qos_tau_file", kDefaultTau);
}

void VornParams::CheckNodeGroups() const {
  RejectIf(NodeGroupProblem());
}

std::string VornParams::NodeGroupProblem() const {
  for (unsigned i = 0; i < node_groups.d1; ++i) {
    const long line = i < node_group_lines.size() ? node_group_lines[i] : i + 1;
    const std::string where = Text("%s line %ld: R", NodeGroupSource(), line);
    const std::string problem = ArrivalProblem(where.c_str(), Truncate(node_groups(i, 1)),
                                               node_groups(i, 2), MaxArrivalRate());
    if (!problem.empty()) return problem;
  }
  return "";
}

void VornParams::CheckLimits() const {
  CheckFinite();
  // A cycle of no or negative duration leaves the clock still or running
  // back; the 'time' stop condition reports that case itself.
  if (!std::isfinite(t_coll) || (!(t_coll > 0) && !(time > 0)))
    Reject(1,
           "t_coll=%g, the duration of a contention cycle, is out of range (accepted: more than 0 "
           "and finite; it follows from R, ts, sifs, delta and the frame timing options)",
           t_coll);
  RejectIf(ArrivalProblem("ar_rate", ar_type, ar_rate, MaxArrivalRate()));
  CheckNodeGroups();
  const double stations = StationCount();
  if (show_node >= stations) {
    const std::string accepted = stations > 0
                                     ? Text("-1 for all stations, or 0 to %.0f", stations - 1)
                                     : "-1, as there is no station";
    Reject(1, "%s is out of range with %.0f stations (accepted: %s)", Setting(&show_node).c_str(),
           stations, accepted.c_str());
  }
  CheckMemory();
}

void VornParams::CheckMemory() const {
  const double needed = MemoryNeeded(), limit = MemoryLimit();
  const double stations = StationCount();
  if (needed > limit) {
    const std::string network = node_groups.empty()
                                    ? Setting(&M)
                                    : Text("%s with %.0f stations", NodeGroupSource(), stations);
    Reject(1,
           "%s needs about %s of memory with fsf_type=%ld, S=%ld subcarriers%s queue=%ld%s "
           "(accepted: at most %s, half of this machine's memory)",
           network.c_str(), Bytes(needed).c_str(), fsf_type, subcarriers, mc_packets ? "," : " and",
           queue, mc_packets ? " and mc_packets=1" : "", Bytes(limit).c_str());
  }
  const double states = static_cast<double>(queue) * stations + 1;
  if (mc_packets && states > kMaxPacketStates)
    Reject(1,
           "mc_packets=1 with queue=%ld and %.0f stations needs %.0f packet states (accepted: "
           "queue*stations+1 of at most %ld)",
           queue, stations, states, kMaxPacketStates);
}

double VornParams::MemoryNeeded() const {
  const double stations = StationCount();
  const double nodes = adhoc ? stations : stations + 1;
  const double S = static_cast<double>(subcarriers);
  const bool rssi = channel == ChannelModel::kRayleigh || channel == ChannelModel::kRice;
  // Every node holds its queue's ring and length histogram (an unbounded ring
  // starts at 16) and its round draws.
  const double slots = queue > 0 ? static_cast<double>(queue) : 16;
  const double per_node =
      kNodeBytes + 16 * slots + kDrawBytes * static_cast<double>(R) + (rssi ? 8 * S : 0);
  // The node lists and histograms of the network, then the rows of the links
  // a fading model can read: station pairs only when stations hear each
  // other, and the access point's links; a power per subcarrier and a stamp
  // and bit mask per row, or a mask and a stamp. Without fading, none.
  double bytes = nodes * per_node + 80 * nodes;
  const bool pairs = adhoc || (peers && !unlucky);
  const double rows =
      (pairs ? stations * (stations - 1) / 2 : 0) + (adhoc ? 0 : stations * (indep ? 2 : 1));
  if (rssi) bytes += rows * (8 * S + 8);
  if (channel == ChannelModel::kBinomial) bytes += rows * 16;
  if (mc_packets) {
    const double states = static_cast<double>(queue) * stations + 1;
    bytes += 8 * states * (2 * states + 1);
  }
  return bytes;
}

double VornParams::MemoryLimit() {
  const double pages = static_cast<double>(sysconf(_SC_PHYS_PAGES));
  const double page = static_cast<double>(sysconf(_SC_PAGE_SIZE));
  return pages > 0 && page > 0 ? 0.5 * pages * page : HUGE_VAL;
}

double VornParams::StationCount() const {
  if (node_groups.empty()) return static_cast<double>(M);
  double stations = 0;
  for (unsigned i = 0; i < node_groups.d1; ++i) stations += node_groups(i, 0);
  return stations;
}

double VornParams::MaxArrivalRate() const {
  if (!(t_coll > 0) || !std::isfinite(t_coll)) return HUGE_VAL;
  return kMaxArrivalsPerCycle * static_cast<double>(DATA) / t_coll;
}

const char* VornParams::NodeGroupSource() const {
  return nodes_def[0] != '\0' ? "nodes_def" : nodes_file;
}

const char* VornParams::NodeGroupOption() const {
  return nodes_def[0] != '\0' ? "nodes_def" : "nodes_file";
}

void VornParams::WarnIneffective(long levels) const {
  if (fsf_type == 3)
    std::fprintf(stderr,
                 "Warning: %s runs without fading, as it always has; Rayleigh fading is "
                 "fsf_type=2.\n",
                 Setting(&fsf_type).c_str());
  if (fsf_type == 5)
    std::fprintf(stderr,
                 "Warning: %s runs without fading; the fading models are 1 (binomial), "
                 "2 (Rayleigh) and 4 (Rice).\n",
                 Setting(&fsf_type).c_str());
  if (no_ack)
    std::fputs("Warning: no_ack=1 has no effect: every successful exchange ends with its ACK.\n",
               stderr);
  if (qos_type != 0)
    std::fprintf(stderr,
                 "Warning: %s has no effect: the QoS type of a station is the T field "
                 "of its node group (nodes_def, nodes_file).\n",
                 Setting(&qos_type).c_str());
  if (Given(&qos_levels) && levels != qos_levels)
    std::fprintf(stderr,
                 "Warning: %s has no effect: the QoS levels are the %ld rows of the p "
                 "and tau tables.\n",
                 Setting(&qos_levels).c_str(), qos_levels);
}
