// Station behaviour: listening operations, retry limit, failure, RandMask,
// and the station result row.
#include "core/VornNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <utility>
#include <vector>

#include "support/Functions.h"
#include "tests/core/EngineHarness.h"
#include "tests/e2e/CsvTable.h"

using harness::Configure;

namespace {

VornNode& Station(long i) {
  return *Net.all_nodes[i];
}

// Each arrival lists the node as active, as once per cycle in a run, so the
// list is cleared after every one to stay within its capacity.
void FillQueue(VornNode& node, int packets) {
  for (int i = 0; i < packets; ++i) {
    node.ArrivePacket();
    Net.active.Clear();  // the list holds one entry per station
  }
}

}  // namespace

TEST(VornNodeListening, EmptyListsHearNothing) {
  Configure({"M=2"});
  VornNodelist empty;
  VornNode& a = Station(0);
  a.rx_word = 5;
  EXPECT_FALSE(a.IsBusyFromNodelistMask(empty));
  EXPECT_EQ(a.rx_word, 0);
  Configure({"M=2", "fsf_type=2"});
  VornNode& b = Station(0);
  b.rx_word = 5;
  EXPECT_FALSE(b.IsBusyFromNodelistRSSI(empty));
  EXPECT_EQ(b.rx_word, 5);  // the RSSI busy test leaves rx_word alone
  b.ExtractWordFromNodelistRSSI(empty);
  EXPECT_EQ(b.rx_word, 0);
}

TEST(VornNodeListening, MaskHearsOnlyUnfadedSubcarriers) {
  Configure({"M=3", "adhoc=1"});
  VornNode &a = Station(0), &b = Station(1), &c = Station(2);
  a.link_mask[b.id] = 0x0F;
  a.link_mask[c.id] = 0x00;
  b.tx_word = 0x12;
  c.tx_word = 0x01;
  VornNodelist list = Net.transmitters;
  list.Clear();
  list.Append(&c);
  EXPECT_FALSE(a.IsBusyFromNodelistMask(list));
  list.Append(&b);
  a.ExtractWordFromNodelistMask(list);
  EXPECT_EQ(a.rx_word, 0x02);
  EXPECT_TRUE(a.IsBusyFromNodelistMask(list));
}

// Neither weak sender alone reaches the threshold; together they do.
TEST(VornNodeListening, RssiSumsTwoWeakTransmitters) {
  Configure({"M=3", "adhoc=1", "fsf_type=2", "F=4"});
  VornNode &a = Station(0), &b = Station(1), &c = Station(2);
  const double weak = 0.6 * Params.y0_pw;
  for (long j = 0; j < 4; ++j) a.rssi_link[b.id][j] = a.rssi_link[c.id][j] = weak;
  b.tx_word = 0b0011;
  c.tx_word = 0b0110;
  VornNodelist list = Net.transmitters;
  list.Clear();
  list.Append(&b);
  a.ExtractWordFromNodelistRSSI(list);
  EXPECT_EQ(a.rx_word, 0);
  EXPECT_FALSE(a.IsBusyFromNodelistRSSI(list));
  list.Append(&c);
  a.ExtractWordFromNodelistRSSI(list);
  EXPECT_EQ(a.rx_word, 0b0010);
  EXPECT_TRUE(a.IsBusyFromNodelistRSSI(list));
}

// A limit of r drops the packet at collision r + 1; a negative one never does.
TEST(VornNodeOutcome, RetryLimitDropsAfterItsCollisions) {
  Configure({"M=1", "retry_limit=0"});
  FillQueue(Station(0), 2);
  Station(0).Collide();
  EXPECT_EQ(Station(0).queue.n_drops, 1);
  EXPECT_EQ(Net.n_packets, 1);

  Configure({"M=1", "retry_limit=3"});
  VornNode& a = Station(0);
  FillQueue(a, 2);
  for (int i = 0; i < 3; ++i) a.Collide();
  EXPECT_EQ(a.retries, 3);
  EXPECT_EQ(a.queue.length, 2);
  a.Collide();
  EXPECT_EQ(a.retries, 0);
  EXPECT_EQ(a.queue.length, 1);
  EXPECT_EQ(a.n_coll, 4);

  Configure({"M=1", "retry_limit=-2"});
  FillQueue(Station(0), 1);
  for (int i = 0; i < 100; ++i) Station(0).Collide();
  EXPECT_EQ(Station(0).queue.length, 1);
}

TEST(VornNodeOutcome, FailureLeavesQueueAndRetries) {
  Configure({"M=1"});
  VornNode& a = Station(0);
  FillQueue(a, 1);
  a.Collide();
  a.Fail();
  EXPECT_EQ(a.n_fail, 1);
  EXPECT_EQ(a.retries, 1);
  EXPECT_EQ(a.queue.length, 1);
}

TEST(VornNodeOutcome, SuccessRecordsDelayFromArrival) {
  Configure({"M=1", "ar_type=1", "ar_rate=8192000", "queue_stats=1"});
  VornNode& a = Station(0);
  sim_time = 0.0015;
  FillQueue(a, 1);  // one packet, arrived at 0.001
  sim_time = 0.004;
  a.Succeed();
  ASSERT_EQ(a.queue.delays.size(), 1u);
  EXPECT_NEAR(a.queue.delays[0], 0.003, 1e-12);
  EXPECT_NEAR(a.queue.total_delay, 0.003, 1e-12);
  EXPECT_EQ(a.queue.service_times[0], 0.004);
  sim_time = 0.0;
}

TEST(VornNodeContention, StrictNodeSendsItsLevelWordInRoundZero) {
  Configure({"F=8", "nodes_def=1,0,0,0,1"});
  VornNode& a = Station(0);
  Net.round = 0;
  a.StateContContender();
  EXPECT_EQ(a.word_index, Code.n_words - 1);
  EXPECT_EQ(a.tx_word, Code.words[7]);
}

TEST(VornNodeContention, RandMaskClearsBitsWithItsProbability) {
  Configure({"F=16"});
  GenRand rand(7);
  EXPECT_EQ(Station(0).RandMask(rand, 0.0), Code.full_mask);
  EXPECT_EQ(Station(0).RandMask(rand, 1.0), 0);
  long cleared = 0;
  const long draws = 4000;
  for (long i = 0; i < draws; ++i)
    cleared += 16 - __builtin_popcountl(Station(0).RandMask(rand, 0.25));
  const double n = 16.0 * draws, se = std::sqrt(n * 0.25 * 0.75);
  EXPECT_NEAR(cleared, 0.25 * n, 5 * se);
}

// Hand-set counters: each ratio and format of the station row, and the one
// header row of a station list.
TEST(VornNodeResults, RowFromCounters) {
  Configure({"M=2", "queue=4", "ar_type=1", "ar_rate=2048000"});
  VornNode& a = Station(0);
  a.n_cont = 10, a.n_att = 4, a.n_succ = 3, a.n_tx = 20, a.n_rx = 40, a.n_empty = 5;
  a.queue.n_served = 3, a.queue.total_delay = 0.006, a.queue.n_drops = 1, a.queue.n_offered = 4;
  Net.n_slots = 15;
  sim_time = 1.0;
  std::ostringstream rows;
  a.PrintStats(rows, true);
  Station(1).PrintStats(rows, true);
  sim_time = 0.0;
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
  EXPECT_NEAR(table.Num(0, "tSense"), Params.ts * 40, 1e-5 * Params.ts * 40);
  EXPECT_NEAR(table.Num(0, "tTx"), Params.t_data * 4, 1e-5 * Params.t_data * 4);
  EXPECT_EQ(table.Text(1, "id"), "1");
  EXPECT_EQ(table.Text(1, "Pt_a"), "-999.9000");
}

// The drop record feeds only the flow files, so it keeps nothing without
// flow statistics, however long the run; with them it samples every second.
TEST(VornNodeOutcome, DropRecordKeptOnlyWithFlowStatistics) {
  for (const char* flow : {"flow_stats=0", "flow_stats=0.5"}) {
    Configure({"M=1", "queue=1", flow});
    VornNode& a = Station(0);
    for (sim_time = 0.0; sim_time < 5.0; sim_time += 0.25) FillQueue(a, 2);
    const bool on = Params.flow_stats_on;
    EXPECT_EQ(a.queue.n_drops, 39);
    EXPECT_EQ(a.queue.drop_flow.first_series.size(), on ? 5u : 1u) << flow;
    EXPECT_EQ(a.queue.drop_flow.window, on ? 1.0 : 0.0);
  }
  sim_time = 0.0;
}
