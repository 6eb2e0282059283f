// Station behaviour: listening operations, retry limit, failure, RandMask
// and the drop record.
#include "core/VornNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/core/EngineHarness.h"

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
