// SimParams: the PHY, MAC, channel, traffic, stop and output options and the
// frame timing, linear powers and Rice amplitudes derived from them.
#pragma once

#include <string>

#include "params/AppParams.h"

// The channel model of a run, decided once from fsf_type and the RSSI floor.
enum class ChannelModel { kNone, kBinomial, kRayleigh, kRice };

class SimParams : public AppParams {
 public:
  SimParams() = default;
  ~SimParams() override = default;

  // Registers the own options after those of AppParams.
  void GetArguments(int argc, char** argv);
  // Derives timing, powers, Rice amplitudes and the channel model; ends the
  // process with status 1 on an unsupported chan_bw.
  void Initialize();
  // Rejects given values that no behaviour is defined for; the protocol layer
  // runs it before anything is derived from them.
  void CheckRanges() const;
  // The message for an arrival rate that is negative, above 1 for the
  // Bernoulli type 4 or above max_rate for the clocked types 1, 2 and 3;
  // empty when the rate is usable.
  static std::string ArrivalProblem(const char* what, long type, double rate, double max_rate);
  void SetBitrates();
  // Air time of a PSDU of bits bits at rate bit/s, without propagation delay.
  double TxTimeOFDM(long bits, long rate) const;

  // fsf_type 1 is binomial, 2 Rayleigh and 4 Rice; any other value (3 and 5
  // included) is no fading, and so is a floor at or above the threshold,
  // which makes every link audible.
  ChannelModel DecideChannelModel() const;

  // Defaults of the options that node groups override, which a run beside
  // them keeps.
  static constexpr long kDefaultArType = 0;
  static constexpr double kDefaultArRate = 6000000;

  // Options, in registration order.
  const char* out_dir = "out";
  double time = 0;
  long frames = 0;
  long attempts = 0;
  long runs = 10000;
  long adhoc = 0;
  bool ath_real = false;
  double t_symbol = 4e-06;
  double t_preamble = 1.6e-05;
  long B_signal = 6000000;
  long chan_bw = 0;
  long B = 6000000;
  long M = 5;
  long DATA = 8192;
  long APP = 0;
  double sifs = 1.6e-05;
  double delta = 0;
  bool no_ack = false;
  long fixed_ack_rate = 0;
  long fsf_type = 0;
  bool fsf_fast = true;
  double fsf_prob_node = 0.25;
  double fsf_prob_ap = 0.25;
  long queue = 31;
  long retry_limit = -2;
  long ar_type = kDefaultArType;
  double ar_rate = kDefaultArRate;
  double y = -79;
  double yAP = -79;
  double y0 = -82;
  double ymin = -98.881166;
  bool ynomin = false;
  double ymax = -30;
  double K = 2;
  double KAP = 2;
  double Kratio = 0;
  long qos_levels = 0;
  const char* nodes_file = "";
  const char* nodes_def = "";
  long show_node = -1;
  bool nodes_stats = false;
  bool nodes_only = false;
  double flow_stats = 0;
  bool queue_stats = false;

  // Fixed frame sizes in bits.
  const long signal_bits = 24;
  const long service_bits = 16;
  const long tail_bits = 6;
  const long rts_bits = 144;
  const long cts_bits = 96;
  const long ack_bits = 96;
  const long hdr_bits = 256;

  // Derived by Initialize (difs by the protocol layer).
  long rate_rts = 0, rate_cts = 0, rate_ack = 0;
  double t_rts = 0, t_cts = 0, t_data = 0, t_ack = 0;
  double difs = 0;
  bool flow_stats_on = false;
  double ymax_pw = 0, ymin_pw = 0, y_pw = 0, yAP_pw = 0, y0_pw = 0;
  double rice_sigma = 0, rice_nu = 0;
  double rice_sigma_ap = 0, rice_nu_ap = 0;
  ChannelModel channel = ChannelModel::kNone;

 private:
  void ApplyChannelBandwidth();
  void SetFrameTimes();
  void SetPowers();
};
