// ChannelRows: which stored row holds the link a listener hears a sender on,
// and the epoch stamps that let one redraw invalidate every row at once.
#pragma once

#include <cstdint>
#include <vector>

class ChannelRows {
 public:
  // Rows for the links that can be read: one per station pair when stations
  // hear each other (shared by both directions), then, with an access point,
  // one forward row per station and, when independent, one feedback row.
  void Attach(long stations, bool access_point, bool station_pairs, bool indep);

  // Every row becomes stale in O(1); the stamps are cleared only when the
  // epoch counter wraps, so a stamp can never match an epoch it did not see.
  void NewEpoch() {
    if (++epoch == 0) Restamp();
  }

  // The access point's id is the number of stations, as the network numbers
  // its nodes.
  long Row(long listener, long sender) const {
    if (sender == ap) return feedback + listener;
    if (listener == ap) return forward + sender;
    const long a = listener < sender ? listener : sender;
    const long b = listener < sender ? sender : listener;
    return a * (2 * stations - a - 3) / 2 + b - 1;
  }
  bool IsFeedback(long row) const { return row >= feedback && independent; }

  // True once per row and epoch: the row's values must be drawn afresh.
  bool Renew(long row) {
    if (stamps[row] == epoch) return false;
    stamps[row] = epoch;
    return true;
  }

  long count = 0;

 private:
  void Restamp();

  std::vector<uint32_t> stamps;
  uint32_t epoch = 1;
  long stations = 0;
  long ap = -1;
  long forward = 0;
  long feedback = 0;
  bool independent = false;
};
