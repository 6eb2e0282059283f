// TxQueue: a station's packet FIFO (arrival times only), its arrival process
// and the counters and series the station statistics are computed from.
#pragma once

#include <vector>

#include "stats/FlowStats.h"

class TxQueue {
 public:
  TxQueue();
  virtual ~TxQueue() = default;

  // Stores the four values, sizes length_hist and chooses arrival, push and
  // pop; any type but 1..4 is saturation with rate 0.
  void Configure(long size_limit, long type, double rate, bool stats);

  void push_finite(const double& t);
  void push_infinite(const double& t);
  double pop_finite();
  double pop_infinite();

  void arrive_saturation();
  void arrive_constant();
  void arrive_uniform();
  void arrive_exponential();
  void arrive_bernoulli();

  // The arrival process, then, when statistics are on for a bounded queue,
  // one count of the resulting length in length_hist.
  void Arrive() { (this->*arrive)(); }
  double Pop() { return (this->*pop)(); }
  // Records one service (time and delay) when statistics are on.
  void Served(double now, double delay);

  void (TxQueue::*push)(const double&);
  double (TxQueue::*pop)();
  void (TxQueue::*arrive)();

  std::vector<double> service_times;
  std::vector<double> arrival_times;
  std::vector<double> delays;
  long size_limit = 0;
  long type = 0;
  double rate = 0.0;
  bool stats = false;
  long length = 0;
  long n_drops = 0;
  long n_served = 0;
  long n_accepted = 0;
  long n_new = 0;
  long n_offered = 0;
  double last_service = 0.0;
  double next_arrival = 0.0;
  double total_delay = 0.0;
  std::vector<long> length_hist;
  FlowStats<long> drop_flow;

 private:
  // The arrival processes with the push and the length count fixed at
  // compile time; Configure points `arrive` at the instance for the queue's
  // type, size limit and statistics, and the public processes are these with
  // the `push` pointer and no count.
  template <void (TxQueue::*push_to)(const double&), bool count_length = false>
  void ArriveSaturation();
  template <void (TxQueue::*push_to)(const double&), bool count_length = false>
  void ArriveConstant();
  template <void (TxQueue::*push_to)(const double&), bool count_length = false>
  void ArriveUniform();
  template <void (TxQueue::*push_to)(const double&), bool count_length = false>
  void ArriveExponential();
  template <void (TxQueue::*push_to)(const double&), bool count_length = false>
  void ArriveBernoulli();
  template <void (TxQueue::*push_to)(const double&)>
  void Offer(double t) {
    ++n_offered;
    (this->*push_to)(t);
  }
  void PushByLimit(const double& t) { (this->*push)(t); }
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ChooseArrival();
  template <bool count_length>
  void CountLength() {
    if (count_length) ++length_hist[length];
  }
  void Store(double t);
  double Take();
  template <void (TxQueue::*push_to)(const double&), class Step>
  void ArriveClocked(Step step);

  // Arrival times of the queued packets, oldest at head: a ring buffer sized
  // once for a bounded queue (no allocation per packet), grown by doubling
  // for an unbounded one, so that both yield real delays.
  std::vector<double> ring;
  long head = 0;
  bool record_arrivals = false;
};
