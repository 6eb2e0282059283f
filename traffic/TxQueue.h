// TxQueue: a station's packet FIFO (arrival times only), its arrival process
// and the counters and series the station statistics are computed from.
#pragma once

#include <vector>

#include "stats/QueueCounters.h"

class TxQueue : public QueueCounters {
 public:
  TxQueue();
  ~TxQueue() override = default;

  // Stores the four values, sizes length_hist and chooses the arrival
  // process; any type but 1..4 is saturation (type 0) with rate 0.
  void Configure(long size_limit, long type, double rate, bool stats);

  // The arrival process, then, when statistics are on for a bounded queue,
  // one count of the resulting length in length_hist.
  void Arrive() { (this->*arrive)(); }
  // Arrival time of the head packet, which leaves the queue.
  double Pop();
  // Records one service (time and delay) when statistics are on.
  void Served(double now, double delay);

  // The saturated process of a bounded queue without statistics, counted in
  // bulk: a full queue only drops the offer, so only a queue with room does
  // work (StoreOffer), and the offers of a stretch are settled once
  // (SettleOffers). Until then n_offered and n_drops lack the stretch's offers.
  void StoreOffer(double t) {
    PutInRing(t, size_limit);
    --n_drops;
  }
  void SettleOffers(long offers) {
    n_offered += offers;
    n_drops += offers;
  }
  // One offer to a bounded queue without statistics, inlined into the
  // cycle: 1 when it was stored, 0 when it was dropped.
  long OfferToBounded(double t) {
    ++n_offered;
    if (length >= size_limit) {
      ++n_drops;
      return 0;
    }
    PutInRing(t, size_limit);
    return 1;
  }

  void push_finite(const double& t);
  void push_infinite(const double& t);

  void (TxQueue::*arrive)();

  long size_limit = 0;
  bool stats = false;
  long length = 0;
  long n_accepted = 0;
  long n_new = 0;
  double next_arrival = 0.0;

 private:
  // head and length are below capacity, so one subtraction wraps the slot
  // (a division here would cost more than the rest of the arrival).
  void PutInRing(double t, long capacity) {
    const long slot = head + length;
    ring[slot < capacity ? slot : slot - capacity] = t;
    ++length;
    ++n_accepted;
  }
  // The arrival processes with the push (by size limit) and the length count
  // fixed at compile time; Configure points `arrive` at the instance for the
  // queue's type, size limit and statistics.
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ArriveSaturation();
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ArriveConstant();
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ArriveUniform();
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ArriveExponential();
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ArriveBernoulli();
  template <void (TxQueue::*push_to)(const double&)>
  void Offer(double t) {
    ++n_offered;
    (this->*push_to)(t);
  }
  template <void (TxQueue::*push_to)(const double&), bool count_length>
  void ChooseArrival();
  template <bool count_length>
  void CountLength() {
    if (count_length) ++length_hist[length];
  }
  void Store(double t);
  template <void (TxQueue::*push_to)(const double&), class Step>
  void ArriveClocked(Step step);

  // Arrival times of the queued packets, oldest at head: a ring buffer sized
  // once for a bounded queue (no allocation per packet), grown by doubling
  // for an unbounded one, so that both yield real delays.
  std::vector<double> ring;
  long head = 0;
  bool record_arrivals = false;
};
