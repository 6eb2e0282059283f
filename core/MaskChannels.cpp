// MaskChannels: sizing the store for the links that can be read.
#include "core/MaskChannels.h"

void MaskChannels::Attach(long n, bool access_point, bool station_pairs, bool indep, long S,
                          long full_mask, double forward_prob, double feedback_prob) {
  rows.Attach(n, access_point, station_pairs, indep);
  masks.assign(rows.count, 0);
  subcarriers = S;
  full = full_mask;
  forward = forward_prob;
  feedback = feedback_prob;
  values_drawn = 0;
}
