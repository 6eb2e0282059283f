// ChannelBlock: the received powers of every link of an RSSI channel model in
// one contiguous block, laid out in the order a channel draw fills it.
#pragma once

#include <vector>

#include "core/VornNodelist.h"

class ChannelBlock {
 public:
  ChannelBlock() = default;
  virtual ~ChannelBlock() = default;

  // Sizes the block for the stations, the access point (null in ad hoc mode)
  // and S subcarriers, and points every node's rssi_link rows into it: one
  // row of S per station pair, seen by both (links between stations are
  // reciprocal), one per access-point link (feedback shares the forward row
  // unless independent), and one row of zeros for a node's link to itself.
  void Attach(const VornNodelist& stations, VornNode* ap, long S, bool indep);

  // One draw of every link, taking the same variates in the same order as
  // the node-by-node operations (pairs in station order, then each station's
  // forward and feedback links), in batches over the contiguous rows.
  void DrawRayleigh();
  void DrawRice();

 private:
  std::vector<double> block;
  double* forward = nullptr;
  double* feedback = nullptr;
  long pair_values = 0;
  long ap_links = 0;  // stations linked to an access point: n, or 0 in ad hoc mode
  long subcarriers = 0;
  bool independent = false;
};
