// FlowStats: two event counters sampled once per window of simulated time,
// giving the flow rows (rates per window) of the network and its stations.
#pragma once

#include <cstddef>
#include <vector>

#include "support/RunGlobals.h"

template <class T>
class FlowStats {
 public:
  FlowStats() = default;
  virtual ~FlowStats() = default;

  // Counts one event of the second kind, of which `first` are of the first
  // kind; the first update at or after next_sample closes the window. The next
  // boundary is a window after that update, so idle stretches take no sample.
  void Update(T first) {
    if (!(window > 0)) return;
    first_count += first;
    ++second_count;
    if (sim_time >= next_sample) Sample();
  }

  // First-kind events per second over the window that sample i closes, and
  // their share of all events there; 0 for the start of the run (sample 0)
  // and for a sample this record does not hold.
  double Rate(size_t i) const {
    if (i == 0 || i >= time_series.size()) return 0.0;
    return first_series[i] / (time_series[i] - time_series[i - 1]);
  }
  double Share(size_t i) const {
    if (i == 0 || i >= time_series.size()) return 0.0;
    return static_cast<double>(first_series[i]) / second_series[i];
  }

  T first_count = 0;
  T second_count = 0;
  double window = 1.0;
  double next_sample = 1.0;
  // Element 0 stands for the start of the run; the three grow together.
  std::vector<T> first_series = {T(0)};
  std::vector<double> time_series = {0.0};
  std::vector<T> second_series = {T(0)};

 private:
  void Sample() {
    first_series.push_back(first_count);
    time_series.push_back(sim_time);
    second_series.push_back(second_count);
    first_count = second_count = 0;
    next_sample = window + sim_time;
  }
};
