// Packet queue and the five arrival processes.
#include "traffic/TxQueue.h"

#include "random/GenRand.h"
#include "support/RunGlobals.h"

TxQueue::TxQueue() {
  Configure(0, 0, 0.0, false);
}

void TxQueue::Configure(long new_size_limit, long new_type, double new_rate, bool new_stats) {
  size_limit = new_size_limit;
  // type is the process that runs: any other than 1..4 is saturation.
  const bool known = new_type >= 1 && new_type <= 4;
  type = known ? new_type : 0;
  rate = known ? new_rate : 0.0;
  stats = new_stats;
  record_arrivals = stats && type != 0;
  length_hist.resize(size_limit > 0 ? size_limit + 1 : 1, 0);
  if (size_limit != 0) {
    ring.assign(size_limit > 0 ? size_limit : 1, 0.0);
    if (stats)
      ChooseArrival<&TxQueue::push_finite, true>();
    else
      ChooseArrival<&TxQueue::push_finite, false>();
  } else {
    ring.assign(16, 0.0);
    ChooseArrival<&TxQueue::push_infinite, false>();
  }
  head = 0;
  length = 0;
}

template <void (TxQueue::*push_to)(const double&), bool count_length>
void TxQueue::ChooseArrival() {
  switch (type) {
    case 1:
      arrive = &TxQueue::ArriveConstant<push_to, count_length>;
      break;
    case 2:
      arrive = &TxQueue::ArriveUniform<push_to, count_length>;
      break;
    case 3:
      arrive = &TxQueue::ArriveExponential<push_to, count_length>;
      break;
    case 4:
      arrive = &TxQueue::ArriveBernoulli<push_to, count_length>;
      break;
    default:
      arrive = &TxQueue::ArriveSaturation<push_to, count_length>;
  }
}

void TxQueue::Store(double t) {
  long capacity = static_cast<long>(ring.size());
  if (length == capacity) {
    std::vector<double> bigger(2 * capacity);
    for (long i = 0; i < length; ++i) bigger[i] = ring[(head + i) % capacity];
    ring.swap(bigger);
    head = 0;
    capacity *= 2;
  }
  PutInRing(t, capacity);
  if (record_arrivals) arrival_times.push_back(t);
}

double TxQueue::Pop() {
  double t = ring[head];
  if (++head == static_cast<long>(ring.size())) head = 0;
  --length;
  return t;
}

void TxQueue::push_finite(const double& t) {
  if (static_cast<unsigned long>(length) >= static_cast<unsigned long>(size_limit)) {
    drop_flow.Update(1);
    ++n_drops;
    return;
  }
  Store(t);
  drop_flow.Update(0);
}

void TxQueue::push_infinite(const double& t) {
  Store(t);
}

void TxQueue::Served(double now, double delay) {
  total_delay += delay;
  ++n_served;
  if (stats) {
    service_times.push_back(now);
    delays.push_back(delay);
  }
}

template <void (TxQueue::*push_to)(const double&), bool count_length>
void TxQueue::ArriveSaturation() {
  Offer<push_to>(sim_time);
  CountLength<count_length>();
}

template <void (TxQueue::*push_to)(const double&), bool count_length>
void TxQueue::ArriveBernoulli() {
  if (rate > Rand.Uniform()) Offer<push_to>(sim_time);
  CountLength<count_length>();
}

// The clocked processes offer every packet scheduled strictly before now, at
// its scheduled time; a schedule at or below 0 only advances the clock.
template <void (TxQueue::*push_to)(const double&), class Step>
void TxQueue::ArriveClocked(Step step) {
  const double now = sim_time;
  while (now > next_arrival) {
    if (next_arrival > 0) Offer<push_to>(next_arrival);
    next_arrival += step();
  }
}

template <void (TxQueue::*push_to)(const double&), bool count_length>
void TxQueue::ArriveConstant() {
  ArriveClocked<push_to>([this] { return 1.0 / rate; });
  CountLength<count_length>();
}

template <void (TxQueue::*push_to)(const double&), bool count_length>
void TxQueue::ArriveUniform() {
  ArriveClocked<push_to>([this] { return 2.0 * Rand.Uniform() / rate; });
  CountLength<count_length>();
}

template <void (TxQueue::*push_to)(const double&), bool count_length>
void TxQueue::ArriveExponential() {
  ArriveClocked<push_to>([this] { return Rand.Exponential(1.0 / rate); });
  CountLength<count_length>();
}
