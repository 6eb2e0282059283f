// StationCounters: what one station (or the access point) counts during the
// run for its result row: cycles with a packet, outcomes, slots on the air.
#pragma once

class StationCounters {
 public:
  virtual ~StationCounters() = default;

  long id = 0;
  long n_succ = 0;
  long n_coll = 0;
  long n_fail = 0;
  long n_cont = 0;      // cycles that began with a packet queued
  long n_att = 0;       // successes and collisions
  long n_empty = 0;     // cycles that began with an empty queue
  long n_ref_idle = 0;  // referee rounds that heard no word
  long n_tx = 0;        // contention slots sent (words and replies)
  long n_rx = 0;        // contention slots listened to
};
