// QueueCounters: what a station's packet queue records for the results: its
// arrival rate, the packets offered, dropped and served, their delays and
// times, and the queue lengths seen after arrivals.
#pragma once

#include <vector>

#include "stats/FlowStats.h"

class QueueCounters {
 public:
  virtual ~QueueCounters() = default;

  // The arrival process: 0 saturation, 1 constant, 2 uniform, 3 exponential,
  // 4 Bernoulli.
  long type = 0;
  // Arrivals per second; for Bernoulli arrivals the probability of one per
  // cycle; 0 for saturation.
  double rate = 0.0;
  long n_offered = 0;
  long n_drops = 0;
  long n_served = 0;
  double total_delay = 0.0;
  // With statistics on: each service time and delay, each accepted arrival
  // time, and (bounded queues) how often each length followed the arrivals.
  std::vector<double> service_times;
  std::vector<double> arrival_times;
  std::vector<double> delays;
  std::vector<long> length_hist = std::vector<long>(1, 0);
  // Drops among offers, sampled on its own one-second window.
  FlowStats<long> drop_flow;
};
