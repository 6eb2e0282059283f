// ExactQueueChain: the long-run law of the number of stations that hold a
// packet, for Bernoulli arrivals into queues of one packet without retry limit.
#pragma once

#include <vector>

// A cycle starts after the arrivals with n stations holding a packet; it ends
// in success with chance s_n, which empties the winner's queue, else every
// packet stays (no retry limit, so none is dropped). Then each of the M - n'
// empty stations receives a packet with chance a, and an arrival at a full
// queue is lost, so n' + Bin(M - n', a) stations start the next cycle. The
// count moves down by one at most, so eliminating the states from 0 upwards
// (censoring the chain on the states above) changes one row at a time, and
// the stationary law follows from
//   pi_i S_i = pi_(i+1) P(i+1 -> i),
// S_i the chance that the chain censored on {i..M} leaves i upwards. Every
// quantity is a sum of positive terms (no 1 - x), and the products are kept
// in logarithms, so M in the thousands neither overflows nor loses digits.
class ExactQueueChain {
 public:
  // success[n] for n = 0..M and other[n] = 1 - success[n], summed from its
  // parts (an idle cycle, n = 0, is other: every queue stays as it is);
  // arrival is the chance a.
  static std::vector<double> Stationary(const std::vector<double>& success,
                                        const std::vector<double>& other, double arrival);
};
