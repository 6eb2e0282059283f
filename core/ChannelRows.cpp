// ChannelRows: laying out the rows of the links that can be read.
#include "core/ChannelRows.h"

#include <algorithm>

void ChannelRows::Attach(long n, bool access_point, bool station_pairs, bool indep) {
  stations = n;
  ap = access_point ? n : -1;
  independent = access_point && indep;
  forward = station_pairs ? n * (n - 1) / 2 : 0;
  feedback = independent ? forward + n : forward;
  count = access_point ? feedback + n : forward;
  stamps.assign(count, 0);
  epoch = 1;
}

void ChannelRows::Restamp() {
  std::fill(stamps.begin(), stamps.end(), 0);
  epoch = 1;
}
