// NetworkCounters: what the contention engine counts over the run: cycles by
// outcome, queued packets, the histograms and transitions of the Markov
// options, and the network's flow records.
#pragma once

#include "stats/FlowStats.h"
#include "stats/ProbPDF.h"
#include "stats/TransProb.h"

class NetworkCounters {
 public:
  virtual ~NetworkCounters() = default;

  long n_att = 0;    // cycles ending in success, collision or failure
  long n_slots = 0;  // all cycles, idle ones included
  long n_fail = 0;
  long n_succ = 0;
  long n_coll = 0;
  long n_idle = 0;
  long n_packets = 0;          // packets in all station queues
  ProbPDF winners_pdf;         // stations left at the end of an attempt
  ProbPDF nodes_pdf;           // stations holding a packet, per cycle
  ProbPDF packets_pdf;         // packets queued after the arrivals, per cycle
  TransProb packets_tp;        // that count from one cycle to the next
  TransProb arrivals_tp;       // the count before and after one cycle's arrivals
  FlowStats<long> pktps_flow;  // successes, per flow window
  FlowStats<long> ps_flow;     // successes among transmissions, per flow window
};
