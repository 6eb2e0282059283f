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
  void NewEpoch() {
    rows.NewEpoch();
    redrawn(*this);
  }

  // What listener receives from sender on subcarrier j. Drawing per
  // subcarrier rather than per link costs a bit mask per row, and saves the
  // draws of the S - L subcarriers a word does not use.
  template <bool rice>
  double Power(GenRand& rand, long listener, long sender, long j) {
    const long row = rows.Row(listener, sender);
    double& value = values[row * subcarriers + j];
    if (Claim(row, j)) {
      value = Draw<rice>(rand, rows.IsFeedback(row) ? feedback : forward);
      ++values_drawn;
    }
    return value;
  }

  // A value that listener will read from sender on subcarrier j until the
  // next redraw, as if drawn now.
  void Store(long listener, long sender, long j, double value) {
    const long row = rows.Row(listener, sender);
    Claim(row, j);
    values[row * subcarriers + j] = value;
  }

  // Runs after every redraw: the tests hang a drawer of every value here.
  void (*redrawn)(PowerChannels&) = &DrawOnRead;

  // Channel values drawn since Attach, for the benchmarks' count of work.
  long values_drawn = 0;

 private:
  static void DrawOnRead(PowerChannels&) {}

  // True once per row, subcarrier and epoch: the value is drawn afresh.
  bool Claim(long row, long j) {
    if (rows.Renew(row)) drawn[row] = 0;
    const uint32_t bit = uint32_t{1} << j;
    if (drawn[row] & bit) return false;
    drawn[row] |= bit;
    return true;
  }

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
