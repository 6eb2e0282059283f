// StationReport: the rows of stations that never had a packet, which no run
// of the binary prints, under the one header of a station list.
#include "stats/StationReport.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/e2e/CsvTable.h"
#include "tests/TestSupport.h"

TEST(StationReport, RowsOfStationsWithoutPackets) {
  TestArgs args{};
  VornParams params;
  params.GetArguments(args.argc(), args.argv());
  params.Initialize();
  StationCounters first, second;
  second.id = 1;
  const QueueCounters queue;
  const FlowStats<long> flow;
  std::ostringstream rows;
  StationReport(params, first, flow, queue, 2, 15, 1.0).PrintRow(rows, true, true);
  StationReport(params, second, flow, queue, 2, 15, 1.0).PrintRow(rows, true, true);
  const CsvTable table(CsvTable::Lines(rows.str()));
  ASSERT_EQ(table.rows.size(), 2u);
  for (const char* name : {"Ps_a", "Pc_a", "Ps_t", "Pc_t", "Pt_a", "Pdrop"})
    EXPECT_EQ(table.Text(1, name), "-999.9000") << name;
  EXPECT_EQ(table.Text(1, "D_ms"), "0.000");
  EXPECT_EQ(table.Text(1, "T"), "      0");
}
