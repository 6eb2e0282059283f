// Registration of the protocol options and the whole configuration step:
// bandwidth adaptation, QoS tables, node groups, cycle timing and checks.
#include "params/VornParams.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "support/CSVFile.h"

namespace {

// Truncation toward zero that stays defined for cells beyond the range of long.
long Truncate(double value) {
  const double limit = static_cast<double>(std::numeric_limits<long>::max());
  if (!(value > -limit)) return std::numeric_limits<long>::min();
  if (!(value < limit)) return std::numeric_limits<long>::max();
  return static_cast<long>(value);
}

void AssignConverted(const CSVStream& stream, ArrayDense<double, unsigned>& table) {
  std::unique_ptr<ArrayDense<double, unsigned>> converted(stream.convert<double>(true));
  table = *converted;
}

}  // namespace

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
}

void VornParams::Initialize() {
  SimParams::Initialize();
  AdaptToChannelBandwidth();
  ParseSlotQoSParam(qos_p_file, p, p_table);
  ParseSlotQoSParam(qos_tau_file, tau, tau_table);
  ReadNodeGroups();
  ExtractQoSLevels();
  SetProtocolTiming();
  ExpandSubcarriers();
  CheckRanges();
}

void VornParams::AdaptToChannelBandwidth() {
  if (chan_bw == 0) return;
  // 64/chan_bw us of slot, twice the propagation delay and 3.4 us, in whole microseconds.
  ts = std::ceil(64.0 / chan_bw + 2000000 * delta + 3.4) * 1e-06;
  ymin = ymin - 17.160033436348016;
}

void VornParams::ParseSlotQoSParam(const char* file, CSVString& values,
                                   ArrayDense<double, unsigned>& table) {
  if (file && file[0] != '\0') {
    AssignConverted(CSVFile(file, ","), table);
    return;
  }
  const std::vector<double> row = CSVString::cast<double>(values.elements, true);
  table.Resize(row.empty() ? 0 : 1, static_cast<unsigned>(row.size()));
  for (unsigned j = 0; j < row.size(); ++j) table(0, j) = row[j];
}

void VornParams::ReadNodeGroups() {
  if (nodes_def[0] != '\0') {
    std::istringstream text(nodes_def);
    CSVStream stream;
    stream.parse(text, ",", ';');
    AssignConverted(stream, node_groups);
  } else if (nodes_file[0] != '\0') {
    AssignConverted(CSVFile(nodes_file, ","), node_groups);
  } else {
    node_groups.Resize(0);
  }
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
  // Q and T are read from columns 3 and 4 of every group.
  if (node_groups.d1 > 0 && node_groups.d2 < 5)
    Reject(1, "%s has lines of %u fields (accepted: at least 5 fields N,A,R,Q,T per line)",
           NodeGroupSource(), node_groups.d2);
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
  if (F < 1) Reject(7, "F=%ld is out of range (accepted: 1 or more)", F);
  F = F * L;
}

void VornParams::CheckRanges() const {
  SimParams::CheckRanges();
  // The engine redraws the channels when its cycle counter is a multiple of randsratio.
  if (randsratio < 1) Reject(1, "randsratio=%ld is out of range (accepted: 1 or more)", randsratio);
  if (seed < 0 || seed > kMaxSeed)
    Reject(1, "seed=%ld is out of range (accepted: 0 for the time of day, or 1 to %ld)", seed,
           kMaxSeed);
  CheckNodeGroups();
  if (mc_packets && queue == 0)
    Reject(1, "mc_packets=1 needs a bounded queue, but queue=0 (accepted: queue of 1 or more)");
  CheckLimits();
}

void VornParams::CheckNodeGroups() const {
  const std::string problem = NodeGroupProblem();
  if (!problem.empty()) Reject(1, "%s", problem.c_str());
}

std::string VornParams::NodeGroupProblem() const {
  const char* source = NodeGroupSource();
  double stations = 0;
  for (unsigned i = 0; i < node_groups.d1; ++i) {
    const double n = node_groups(i, 0);
    if (n != std::floor(n))
      return Text("%s line %u has N=%g (accepted: whole numbers of stations)", source, i + 1, n);
    const std::string where = Text("%s line %u: R", source, i + 1);
    const long type = Truncate(node_groups(i, 1));
    std::string problem = ArrivalProblem(where.c_str(), type, node_groups(i, 2), HUGE_VAL);
    if (!problem.empty()) return problem;
    // The engine converts A and T to integers.
    for (unsigned column : {1u, 4u})
      if (node_groups(i, column) > static_cast<double>(kMaxBits))
        return Text("%s line %u has %c=%g (accepted: 0 to %ld)", source, i + 1,
                    column == 1 ? 'A' : 'T', node_groups(i, column), kMaxBits);
    problem = ArrivalProblem(where.c_str(), type, node_groups(i, 2), MaxArrivalRate());
    if (!problem.empty()) return problem;
    stations += n;
  }
  if (stations > kMaxStations)
    return Text("%s has %g stations in all (accepted: 0 to %ld)", source, stations, kMaxStations);
  return "";
}

void VornParams::CheckLimits() const {
  CheckFinite();
  if (DATA > kMaxBits) Reject(1, "DATA=%ld is out of range (accepted: 1 to %ld)", DATA, kMaxBits);
  if (APP < 0 || APP > kMaxBits)
    Reject(1, "APP=%ld is out of range (accepted: 0 to %ld)", APP, kMaxBits);
  // A cycle of no or negative duration leaves the clock still or running
  // back; the 'time' stop condition reports that case itself.
  if (!std::isfinite(t_coll) || (!(t_coll > 0) && !(time > 0)))
    Reject(1,
           "t_coll=%g, the duration of a contention cycle, is out of range (accepted: more than 0 "
           "and finite; it follows from R, ts, sifs, delta and the frame timing options)",
           t_coll);
  const std::string problem = ArrivalProblem("ar_rate", ar_type, ar_rate, MaxArrivalRate());
  if (!problem.empty()) Reject(1, "%s", problem.c_str());
  CheckMemory();
}

void VornParams::CheckMemory() const {
  if (node_groups.empty() && M > kMaxStations)
    Reject(1, "M=%ld is out of range (accepted: 0 to %ld)", M, kMaxStations);
  const long stations = StationCount();
  const long max_queue = kMaxQueueSlots / std::max(stations, 1L);
  if (queue > max_queue)
    Reject(1, "queue=%ld is out of range with %ld stations (accepted: 0 to %ld)", queue, stations,
           max_queue);
  const long states = queue * stations + 1;
  if (mc_packets && states > kMaxPacketStates)
    Reject(1,
           "mc_packets=1 with queue=%ld and %ld stations needs %ld packet states (accepted: "
           "queue*stations+1 of at most %ld)",
           queue, stations, states, kMaxPacketStates);
}

long VornParams::StationCount() const {
  if (node_groups.empty()) return M;
  // Whole counts of at most kMaxStations in all, once CheckNodeGroups has passed.
  long stations = 0;
  for (unsigned i = 0; i < node_groups.d1; ++i) stations += static_cast<long>(node_groups(i, 0));
  return stations;
}

double VornParams::MaxArrivalRate() const {
  if (!(t_coll > 0) || !std::isfinite(t_coll)) return HUGE_VAL;
  return kMaxArrivalsPerCycle * static_cast<double>(DATA) / t_coll;
}

const char* VornParams::NodeGroupSource() const {
  return nodes_def[0] != '\0' ? "nodes_def" : "nodes_file";
}
