// Registration of the PHY, MAC, channel, traffic, stop and output options and
// the derivation of frame times, linear powers and Rice amplitudes.
#include "params/SimParams.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "support/Functions.h"

namespace {

// a + b, held at the limits of long instead of overflowing: sizes beyond any
// sensible value are rejected once the derived values are known.
long ClampedSum(long a, long b) {
  long sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<long>::max() : std::numeric_limits<long>::min();
}

}  // namespace

void SimParams::GetArguments(int argc, char** argv) {
  AppParams::GetArguments(argc, argv);
  Push("out_dir", out_dir,
       "Output directory for CSV files.\nWARNING: the result files of an earlier run in it are "
       "erased!");
  Push("time", time,
       "Run simulation for this many virtual seconds (priority 1); set to 0 to disable");
  Push("frames", frames,
       "Run simulation for this many successful attempts at the network level (priority 2); set to "
       "0 to disable");
  Push("attempts", attempts,
       "Stop after this many attempts at the network level (Priority 3); set to 0 to disable.");
  Push("runs", runs, "Run simulation for this many iterations (lowest priority)");
  Push("adhoc", adhoc, "Network architecture: 0=infrastructure, 1=adhoc");
  Push("ath_real", ath_real,
       "Whether to use real-world measurements of Atheros AR5002X parameters (different DIFS, "
       "cw_min and frames duration than the 802.11 standard)");
  Push("t_symbol", t_symbol, "OFDM symbol duration in seconds");
  Push("t_preamble", t_preamble, "OFDM preamble duration in seconds");
  Push("B_signal", B_signal,
       "PHY bit rate of the signal bits in bits/s. This is the lowest bit-rate of the PHY.");
  Push("chan_bw", chan_bw,
       "Channel bandwidth in MHz. If this is set then the OFDM parameters affected by the channel "
       "bandwidth will be overwritten");
  Push("B", B, "PHY bit rate of the data packets in bits/s");
  Push("M", M, "Number of active nodes");
  Push("DATA", DATA, "Data frame size (payload) in bits");
  Push("APP", APP, "Application header in bits");
  Push("sifs", sifs, "Duration of SIFS interval in seconds");
  Push("delta", delta,
       "Additional propagation delay. By default, 0.5us one-way (or 1us round-trip) delay is "
       "assumed and included in SIFS, DIFS, slot/ts etc.");
  Push("no_ack", no_ack, "Whether to turn off ACKs");
  Push("fixed_ack_rate", fixed_ack_rate,
       "Whether to transmit ACK and CTS at a fixed 6 Mbps rate instead of 6/12/24 Mbps");
  Push("fsf_type", fsf_type, "Fading Type: 0=none, 1=binomial, 2=Rayleigh, 3=Rayleigh, 4=Rice");
  Push("fading", fsf_type, "--");
  Push("fsf_fast", fsf_fast,
       "Whether fading is fast or quasi-static (constant for the entire contention window)");
  Push(
      "fsf_prob_node", fsf_prob_node,
      "Binomial fading probability for the inter-node channels and nodes to AP (forward) channels");
  Push("fsf_eta", fsf_prob_node, "--");
  Push("fsf_prob_ap", fsf_prob_ap,
       "Binomial fading probability for the AP to nodes (feedback) channels (normally lower than "
       "fsf_prob due to higher AP tx power or higher node sensitivity due to correlation); if this "
       "is < 0 then it becomes equal to fsf_prob");
  Push("fsf_alpha", fsf_prob_ap, "--");
  Push("queue", queue, "Packet queue size, 0 for infinite queue");
  Push("retry_limit", retry_limit,
       "Maximum retry limit for unsuccessful transmissions. -1 for unlimited, -2 for auto. It "
       "exludes the attempts where the node did not transmit, e.g. because of contention rules");
  Push("ar_type", ar_type,
       "Packet arrival distribution: 0=saturation, 1=constant, 2=uniform, 3=exponential, "
       "4=Bernoulli");
  Push("arrival", ar_type, "--");
  Push("ar_rate", ar_rate,
       "Data arrival rate in bits/sec or the flipping probability (a value k, 0<k<=1) in case of "
       "Bernoulli arrival type");
  Push("y", y, "Average RSSI in dBm for the Rayleigh and Ricean fading type");
  Push("yAP", yAP, "Average RSSI from the AP in dBm for the Rayleigh and Ricean fading type");
  Push("y0", y0, "RSSI threshold in dBm");
  Push("ymin", ymin,
       "Minimum RSSI in dBm. Use an appropriate value for receiver noise (noise power density * 2 "
       "* subcarrier spacing).");
  Push("ynomin", ynomin, "Whether minimum RSSi is 0 W (ymin is ignored if this is set)");
  Push("ymax", ymax, "Maximum RSSI in dBm. This is also used for the uniform fading type.");
  Push("K", K, "Ricean fading factor on forward links");
  Push("KAP", KAP, "Ricean fading factor on feedback links");
  Push("Kratio", Kratio,
       "K to KAP ratio. If this is >=0 then KAP is computed as K*Kratio and the KAP option is "
       "ignored");
  Push("qos_levels", qos_levels, "Number of QoS classes/priorities)");
  Push("nodes_file", nodes_file,
       "Nodes specification file. Each line is a CSV string: N,A,R,Q,T where:\nN = number of nodes "
       "in the group\nA = packet arrival distribution (type), see ar_type above\nR = arrival rate "
       "in bits/s (see ar_rate above)\nQ = QoS class/priority (0 means none or best effort)\nT = "
       "QoS implementation type (see qos_type).");
  Push("nodes_def", nodes_def,
       "Nodes specification. Syntax is: N,A,R,Q,T[;N,A,R,Q,T[;...]] where the field codes are the "
       "same as in the file definition sntax above.");
  Push("show_node", show_node, "Show node statistics only for the specified node (-1 means all)");
  Push("nodes_stats", nodes_stats, "Show per-node node statistics.");
  Push("nodes_only", nodes_only, "Show only per-node nodes statistics.");
  Push("flow_stats", flow_stats,
       "Record time flowing stats using this time windwow in seconds; 0 to disable. E.g. a value "
       "of 1.0 means accumulate values and sample every 1.0 seconds.");
  Push("queue_stats", queue_stats, "Record and dump arrival and service time statistics.");
}

void SimParams::Initialize() {
  ApplyChannelBandwidth();
  SetBitrates();
  SetFrameTimes();
  SetPowers();
  if (fsf_prob_ap < 0) fsf_prob_ap = fsf_prob_node;
  if (Kratio > 0) KAP = K * Kratio;
  // A Rice power is (sigma g1 + nu)^2 + (sigma g2)^2 (GenRand::RicePower): a
  // line-of-sight amplitude nu plus scatter of sigma per quadrature, of mean
  // nu^2 + 2 sigma^2. K is nu^2 / (2 sigma^2), the line-of-sight power over
  // the scattered power, so the mean y_pw splits into nu^2 = K y_pw / (K+1)
  // and 2 sigma^2 = y_pw / (K+1).
  rice_sigma = std::sqrt(0.5 * y_pw / (K + 1));
  rice_nu = std::sqrt(K * y_pw / (K + 1));
  rice_sigma_ap = std::sqrt(0.5 * yAP_pw / (KAP + 1));
  rice_nu_ap = std::sqrt(KAP * yAP_pw / (KAP + 1));
  channel = DecideChannelModel();
  flow_stats_on = flow_stats > 0;
}

// ymin becomes the receiver's noise floor over the channel's 52 used
// subcarriers: thermal noise of -174 dBm/Hz over twice the subcarrier spacing
// (312.5, 156.25 or 78.125 kHz) times 52. The protocol layer takes it down to
// the floor of one contention subcarrier.
void SimParams::ApplyChannelBandwidth() {
  switch (chan_bw) {
    case 0:
      return;
    case 20:
      t_preamble = 1.6e-05, t_symbol = 4e-06, B_signal = 6000000, sifs = 1.6e-05;
      ymin = -98.881166;
      return;
    case 10:
      t_preamble = 3.2e-05, t_symbol = 8e-06, B_signal = 3000000, sifs = 3.2e-05;
      ymin = -101.891466;
      return;
    case 5:
      t_preamble = 6.4e-05, t_symbol = 1.6e-05, B_signal = 1500000, sifs = 6.4e-05;
      ymin = -104.901766;
      return;
  }
  std::fprintf(stderr, "Error: Supported channel bandwidth values (MHz) are: 20, 10, 5\n");
  std::exit(1);
}

void SimParams::SetBitrates() {
  // B / 4 >= B_signal rather than B >= 4 * B_signal, so that no multiple of a
  // huge B_signal overflows; a B_signal of 0 or less is rejected later.
  long basic = B_signal;
  if (B_signal > 0 && B / 4 >= B_signal)
    basic = 4 * B_signal;
  else if (B_signal > 0 && B / 2 >= B_signal)
    basic = 2 * B_signal;
  if (fixed_ack_rate > 0)
    rate_rts = basic, rate_cts = B_signal, rate_ack = B_signal;
  else if (fixed_ack_rate == 0)
    rate_rts = basic, rate_cts = basic, rate_ack = basic;
  else
    rate_rts = B, rate_cts = B, rate_ack = B;
}

double SimParams::TxTimeOFDM(long bits, long rate) const {
  const double header = t_preamble + static_cast<double>(signal_bits) / B_signal;
  // Summed in floating point so that a huge bit count cannot overflow.
  const double psdu = static_cast<double>(service_bits) + bits + tail_bits;
  const double symbols = std::ceil(psdu / (t_symbol * rate));
  return header + t_symbol * symbols;
}

void SimParams::SetFrameTimes() {
  const double extra = ath_real ? t_symbol : 0.0;
  const long ath_bits = ath_real ? 16 : 0;
  t_rts = delta + TxTimeOFDM(rts_bits, rate_rts) + extra;
  t_cts = delta + TxTimeOFDM(cts_bits - ath_bits, rate_cts) + (ath_real ? t_symbol - 6.4e-06 : 0.0);
  const long data_bits = ClampedSum(ClampedSum(ClampedSum(hdr_bits, DATA), APP), ath_bits);
  t_data = delta + TxTimeOFDM(data_bits, B) + extra;
  t_ack = delta + TxTimeOFDM(ack_bits - ath_bits, rate_ack) + extra;
}

void SimParams::SetPowers() {
  ymax_pw = dbm2pw(ymax);
  ymin_pw = ynomin ? 0.0 : dbm2pw(ymin);
  y_pw = dbm2pw(y);
  yAP_pw = dbm2pw(yAP);
  y0_pw = dbm2pw(y0);
}

ChannelModel SimParams::DecideChannelModel() const {
  if (ymin >= y0) return ChannelModel::kNone;
  switch (fsf_type) {
    case 1:
      return ChannelModel::kBinomial;
    case 2:
      return ChannelModel::kRayleigh;
    case 4:
      return ChannelModel::kRice;
  }
  return ChannelModel::kNone;
}

void SimParams::CheckRanges() const {
  AppParams::CheckRanges();
  for (const long* count : {&frames, &attempts, &runs})
    Accept(count, *count >= 0, "0 for no limit, or more");
  Accept(&time, time >= 0, "0 for no limit, or more seconds");
  Accept(&adhoc, adhoc == 0 || adhoc == 1, "0 for infrastructure or 1 for ad hoc");
  Accept(&t_symbol, t_symbol > 0, "more than 0");
  Accept(&t_preamble, t_preamble >= 0, "0 or more");
  Accept(&B_signal, B_signal > 0, "more than 0");
  Accept(&B, B > 0, "more than 0");
  Accept(&M, M >= 0, "0 or more");
  Accept(&sifs, sifs >= 0, "0 or more");
  Accept(&fixed_ack_rate, fixed_ack_rate >= -1 && fixed_ack_rate <= 1,
         "-1 for every frame at B, 0 for 6, 12 or 24 Mbit/s, or 1 for CTS and ACK at B_signal");
  Accept(&fsf_type, fsf_type >= 0 && fsf_type <= 5,
         "0 none, 1 binomial, 2 Rayleigh, 4 Rice; 3 and 5 run without fading");
  Accept(&fsf_prob_node, fsf_prob_node >= 0 && fsf_prob_node <= 1, "0 to 1");
  Accept(&fsf_prob_ap, fsf_prob_ap <= 1, "0 to 1, or below 0 for the value of fsf_prob_node");
  Accept(&queue, queue >= 0, "0 for unbounded, or more");
  Accept(&retry_limit, retry_limit >= -2, "-2 or -1 for unlimited, or 0 or more");
  Accept(&ar_type, ar_type >= 0 && ar_type <= 4,
         "0 saturation, 1 constant, 2 uniform, 3 exponential, 4 Bernoulli");
  RejectIf(ArrivalProblem("ar_rate", ar_type, ar_rate, HUGE_VAL));
  Accept(&K, K >= 0, "0 or more");
  Accept(&KAP, KAP >= 0, "0 or more");
  Accept(&show_node, show_node >= -1, "-1 for all stations, or a station number");
  Accept(&flow_stats, flow_stats >= 0, "0 for none, or a window of more than 0 seconds");
}

std::string SimParams::ArrivalProblem(const char* what, long type, double rate, double max_rate) {
  if (type == 4 && !(rate >= 0 && rate <= 1))
    return Text(
        "%s=%g is out of range with arrival type 4 (accepted: 0 to 1, the probability of "
        "an arrival in a cycle)",
        what, rate);
  // The clocked processes space arrivals by DATA / rate, which a negative rate inverts.
  if (!(rate >= 0))
    return Text("%s=%g is out of range with arrival type %ld (accepted: 0 or more)", what, rate,
                type);
  // Every arrival is one pass of the arrival clock loop: too many per cycle
  // (or a step the clock absorbs) would keep a cycle from ever ending.
  if (type >= 1 && type <= 3 && rate > max_rate)
    return Text("%s=%g is out of range with arrival type %ld (accepted: 0 to %g)", what, rate, type,
                max_rate);
  return "";
}
