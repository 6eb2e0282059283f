// ProbPDF: sizing of the histogram.
#include "stats/ProbPDF.h"

void ProbPDF::Resize(long bins) {
  ArrayDense<long, long>::Resize(bins);
}
