// MaskChannels: the binomial mask of every readable link, each drawn the
// first time a listener reads it after a redraw and kept until the next.
#pragma once

#include <vector>

#include "core/ChannelRows.h"
#include "random/GenRand.h"

class MaskChannels {
 public:
  // Subcarriers faded with forward_prob on station pairs and forward links,
  // with feedback_prob on independent feedback links; S bits in full_mask.
  void Attach(long stations, bool access_point, bool station_pairs, bool indep, long S,
              long full_mask, double forward_prob, double feedback_prob);
  void NewEpoch() {
    rows.NewEpoch();
    redrawn(*this);
  }

  // The subcarriers on which listener hears sender.
  long Mask(GenRand& rand, long listener, long sender) {
    const long row = rows.Row(listener, sender);
    if (rows.Renew(row)) {
      masks[row] = Draw(rand, rows.IsFeedback(row) ? feedback : forward);
      ++values_drawn;
    }
    return masks[row];
  }

  // A mask that listener will read from sender until the next redraw, as if
  // drawn now.
  void Store(long listener, long sender, long mask) {
    const long row = rows.Row(listener, sender);
    rows.Renew(row);
    masks[row] = mask;
  }

  // Runs after every redraw: the tests hang a drawer of every value here.
  void (*redrawn)(MaskChannels&) = &DrawOnRead;

  // Channel values drawn since Attach, for the benchmarks' count of work.
  long values_drawn = 0;

 private:
  static void DrawOnRead(MaskChannels&) {}

  // The S trials as one batch; a probability of 0 fades nothing and draws
  // nothing.
  long Draw(GenRand& rand, double prob) const {
    if (!(prob > 0)) return full;
    return full & ~static_cast<long>(rand.BernoulliBits(prob, subcarriers));
  }

  ChannelRows rows;
  std::vector<long> masks;
  long subcarriers = 0;
  long full = 0;
  double forward = 0.0;
  double feedback = 0.0;
};
