// NetworkReport: the distribution and transition files when nothing was
// counted, which no run of the binary prints.
#include "stats/NetworkReport.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(NetworkReport, FilesWithNothingCounted) {
  ProbPDF pdf;
  pdf.Resize(2);
  TransProb tp;
  tp.Resize(2);
  std::ostringstream os;
  NetworkReport::WriteDistribution(os, pdf, "winners");
  NetworkReport::WriteTransitions(os, tp, "pktslot");
  EXPECT_EQ(os.str(),
            "winners, occurences, probability\n  0,          0, 0\n  1,          0, 0\n"
            "pktslot_curr, pktslot_next, occurences, trans_probability\n"
            "  0,   0,          0, 0\n  0,   1,          0, 0\n\n"
            "  1,   0,          0, 0\n  1,   1,          0, 0\n\n");
}
