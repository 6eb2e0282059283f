// StationReport: each ratio and format of the station row from hand-set
// counters, the one header row of a station list, and undefined ratios.
#include "stats/StationReport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "tests/e2e/CsvTable.h"
#include "tests/TestSupport.h"

TEST(StationReport, RowFromCounters) {
  TestArgs args{};
  VornParams params;
  params.GetArguments(args.argc(), args.argv());
  params.Initialize();
  StationCounters a, b;
  a.n_cont = 10, a.n_att = 4, a.n_succ = 3, a.n_tx = 20, a.n_rx = 40, a.n_empty = 5;
  b.id = 1;
  QueueCounters queue, never;
  queue.rate = 250, queue.n_served = 3, queue.total_delay = 0.006, queue.n_drops = 1;
  queue.n_offered = 4;
  const FlowStats<long> flow;
  std::ostringstream rows;
  StationReport(params, a, flow, queue, 2, 15, 1.0).PrintRow(rows, true, true);
  StationReport(params, b, flow, never, 2, 15, 1.0).PrintRow(rows, true, true);
  const CsvTable table(CsvTable::Lines(rows.str()));
  ASSERT_EQ(table.rows.size(), 2u);
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"id", "0"},           {"M", "2"},           {"Na", "10"},
      {"Ps_a", "0.3000"},    {"Pc_a", "0.7000"},   {"Ps_t", "0.7500"},
      {"Pc_t", "0.2500"},    {"Pt_a", "0.4000"},   {"Pt", "0.2667"},
      {"Pa", "0.6667"},      {"Ps", "0.2000"},     {"T", "  24576"},
      {"pps", "3.000"},      {"D_ms", "2.000"},    {"D", "0.002"},
      {"Pque0", "0.3333"},   {"ar_pps", "250.00"}, {"ar_load", "2.048e+06"},
      {"dropsps", "  1.00"}, {"Pdrop", "0.2500"}};
  for (const auto& [name, text] : expected) EXPECT_EQ(table.Text(0, name), text) << name;
  EXPECT_NEAR(table.Num(0, "tSense"), params.ts * 40, 1e-5 * params.ts * 40);
  EXPECT_NEAR(table.Num(0, "tTx"), params.t_data * 4, 1e-5 * params.t_data * 4);
  // A station that never had a packet: no contention, no service, no offer.
  for (const char* name : {"Ps_a", "Pc_a", "Ps_t", "Pc_t", "Pt_a", "Pdrop"})
    EXPECT_EQ(table.Text(1, name), "-999.9000") << name;
  EXPECT_EQ(table.Text(1, "D_ms"), "0.000");
  EXPECT_EQ(table.Text(1, "T"), "      0");
}
