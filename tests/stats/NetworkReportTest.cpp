// NetworkReport: the network row and the distribution and transition files
// when nothing was counted, which no run of the binary prints.
#include "stats/NetworkReport.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/e2e/CsvTable.h"
#include "tests/params/TestSupport.h"

// No attempt: the ratios over attempts are undefined; ad hoc: no access point.
TEST(NetworkReport, RowWithNothingCounted) {
  TestArgs args{};
  VornParams params;
  params.GetArguments(args.argc(), args.argv());
  params.Initialize();
  std::ostringstream rows;
  NetworkReport(params, NetworkCounters(), 0, nullptr, 0.0).PrintRow(rows, true, true);
  const CsvTable table(CsvTable::Lines(rows.str()));
  for (const char* name : {"Pt_a", "Ps_a", "Pc_a", "Ps_t", "Pc_t"})
    EXPECT_EQ(table.Text(0, name), "-999.9") << name;
  EXPECT_EQ(table.Text(0, "Pref_idle"), "0");
}

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
