// Packet queue and the five arrival processes.
#include "traffic/TxQueue.h"

#include "core/Vorn.h"

TxQueue::TxQueue()
    : push(&TxQueue::push_infinite),
      pop(&TxQueue::pop_infinite),
      arrive(&TxQueue::arrive_saturation),
      length_hist(1, 0) {
  drop_flow.window = 1.0;
  drop_flow.next_sample = 1.0;
  Configure(0, 0, 0.0, false);
}

void TxQueue::Configure(long new_size_limit, long new_type, double new_rate, bool new_stats) {
  size_limit = new_size_limit;
  type = new_type;
  rate = new_rate;
  stats = new_stats;
  record_arrivals = stats && type != 0;
  length_hist.resize(size_limit > 0 ? size_limit + 1 : 1, 0);
  switch (type) {
    case 1:
      arrive = &TxQueue::arrive_constant;
      break;
    case 2:
      arrive = &TxQueue::arrive_uniform;
      break;
    case 3:
      arrive = &TxQueue::arrive_exponential;
      break;
    case 4:
      arrive = &TxQueue::arrive_bernoulli;
      break;
    default:
      arrive = &TxQueue::arrive_saturation;
      rate = 0.0;
  }
  if (size_limit != 0) {
    push = &TxQueue::push_finite;
    pop = &TxQueue::pop_finite;
    ring.assign(size_limit > 0 ? size_limit : 1, 0.0);
  } else {
    push = &TxQueue::push_infinite;
    pop = &TxQueue::pop_infinite;
    ring.assign(16, 0.0);
  }
  head = 0;
  length = 0;
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
  ring[(head + length) % capacity] = t;
  ++length;
  ++n_accepted;
  if (record_arrivals) arrival_times.push_back(t);
}

double TxQueue::Take() {
  double t = ring[head];
  head = (head + 1) % static_cast<long>(ring.size());
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

double TxQueue::pop_finite() {
  return Take();
}

double TxQueue::pop_infinite() {
  return Take();
}

void TxQueue::Served(double now, double delay) {
  total_delay += delay;
  last_service = now;
  ++n_served;
  if (stats) {
    service_times.push_back(now);
    delays.push_back(delay);
  }
}

void TxQueue::arrive_saturation() {
  Offer(sim_time);
}

void TxQueue::arrive_bernoulli() {
  if (rate > Rand.Uniform()) Offer(sim_time);
}

// The clocked processes offer every packet scheduled strictly before now, at
// its scheduled time; a schedule at or below 0 only advances the clock.
template <class Step>
void TxQueue::ArriveClocked(Step step) {
  const double now = sim_time;
  while (now > next_arrival) {
    if (next_arrival > 0) Offer(next_arrival);
    next_arrival += step();
  }
}

void TxQueue::arrive_constant() {
  ArriveClocked([this] { return 1.0 / rate; });
}

void TxQueue::arrive_uniform() {
  ArriveClocked([this] { return 2.0 * Rand.Uniform() / rate; });
}

void TxQueue::arrive_exponential() {
  ArriveClocked([this] { return Rand.Exponential(1.0 / rate); });
}
