// PowerChannels: the received power of every readable link on every
// subcarrier (Rayleigh or Rice), each drawn the first time a listener reads
// it after a redraw and kept until the next.
#pragma once

#include <cstdint>
#include <vector>

#include "core/ChannelRows.h"
#include "random/GenRand.h"

class PowerChannels {
 public:
  // The law of one direction: Rayleigh mean and floor, or Rice sigma and nu.
  struct Law {
    double a = 0.0;
    double b = 0.0;
  };

  void Attach(long stations, bool access_point, bool station_pairs, bool indep, long S,
              Law forward_law, Law feedback_law);
  void NewEpoch() { rows.NewEpoch(); }

  // What listener receives from sender on subcarrier j. Drawing per
  // subcarrier rather than per link costs a bit mask per row, and saves the
  // draws of the S - L subcarriers a word does not use.
  template <bool rice>
  double Power(GenRand& rand, long listener, long sender, long j) {
    const long row = rows.Row(listener, sender);
    if (rows.Renew(row)) drawn[row] = 0;
    double& value = values[row * subcarriers + j];
    const uint32_t bit = uint32_t{1} << j;
    if (!(drawn[row] & bit)) {
      drawn[row] |= bit;
      value = Draw<rice>(rand, rows.IsFeedback(row) ? feedback : forward);
      ++values_drawn;
    }
    return value;
  }

  // Channel values drawn since Attach, for the benchmarks' count of work.
  long values_drawn = 0;

 private:
  template <bool rice>
  static double Draw(GenRand& rand, const Law& law) {
    return rice ? rand.RicePower(law.a, law.b) : rand.RayleighFading(law.a, law.b);
  }

  ChannelRows rows;
  std::vector<double> values;
  std::vector<uint32_t> drawn;  // per row: the subcarriers drawn in this epoch
  long subcarriers = 0;
  Law forward;
  Law feedback;
};
