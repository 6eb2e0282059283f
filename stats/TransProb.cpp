// TransProb: sizing of the transition-count matrix.
#include "stats/TransProb.h"

void TransProb::Resize(long states) {
  ArrayDense<long, long>::Resize(states, states);
  prev_state = curr_state = 0;
}
