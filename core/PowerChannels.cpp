// PowerChannels: sizing the store for the links that can be read.
#include "core/PowerChannels.h"

void PowerChannels::Attach(long n, bool access_point, bool station_pairs, bool indep, long S,
                           Law forward_law, Law feedback_law) {
  rows.Attach(n, access_point, station_pairs, indep);
  values.assign(rows.count * S, 0.0);
  drawn.assign(rows.count, 0);
  subcarriers = S;
  forward = forward_law;
  feedback = feedback_law;
  values_drawn = 0;
}
