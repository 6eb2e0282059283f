// NetworkReport: the network row from hand-set counters, undefined ratios,
// and the distribution and transition files when nothing was counted.
#include "stats/NetworkReport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "tests/e2e/CsvTable.h"
#include "tests/TestSupport.h"

TEST(NetworkReport, RowFromCounters) {
  TestArgs args{"F=4", "L=2"};
  VornParams params;
  params.GetArguments(args.argc(), args.argv());
  params.Initialize();
  NetworkCounters c;
  c.n_slots = 10, c.n_att = 8, c.n_succ = 5, c.n_coll = 2, c.n_fail = 1, c.n_idle = 2;
  StationCounters ap;
  ap.n_ref_idle = 4;
  NetworkReport report(params, c, 2, &ap, 2.0);
  std::ostringstream rows;
  report.PrintRow(rows, true, true);
  const CsvTable table(CsvTable::Lines(rows.str()));
  const std::vector<std::pair<const char*, double>> expected = {
      {"F", 4},        {"L", 2},           {"time", 2},       {"successes", 5},   {"Pt_a", 0.875},
      {"Ps_a", 0.625}, {"Pc_a", 0.375},    {"Ps_t", 5.0 / 7}, {"Pc_t", 2.0 / 7},  {"Pa", 0.8},
      {"Pi", 0.2},     {"Pref_idle", 0.4}, {"T", 20480},      {"S", 20480 / 6e6}, {"pktps", 2.5},
      {"Pt", 0.7},     {"Ps", 0.5},        {"Pc", 0.2},       {"Pf", 0.1},        {"Pb", 0.9}};
  for (const auto& [name, value] : expected)
    EXPECT_NEAR(table.Num(0, name), value, 1e-5 * value) << name;
  const double busy = (params.t_cont + params.t_data) * 7 + 5 * params.t_ack;
  EXPECT_NEAR(table.Num(0, "tTx"), busy / 2, 1e-5 * busy);

  // No attempt: the ratios over attempts are undefined; ad hoc: no access point.
  NetworkReport idle(params, NetworkCounters(), 0, nullptr, 0.0);
  std::ostringstream idle_rows;
  idle.PrintRow(idle_rows, true, true);
  const CsvTable none(CsvTable::Lines(idle_rows.str()));
  for (const char* name : {"Pt_a", "Ps_a", "Pc_a", "Ps_t", "Pc_t"})
    EXPECT_EQ(none.Text(0, name), "-999.9") << name;
  EXPECT_EQ(none.Text(0, "Pref_idle"), "0");
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
