// Station behaviour: hearing summed powers, and the retry limit.
#include "core/VornNode.h"

#include <gtest/gtest.h>

#include "core/VornNodeStates.h"
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
    Net.active.Clear();
  }
}

VornNodelist ListOf(std::initializer_list<VornNode*> nodes) {
  VornNodelist list = Net.transmitters;
  list.Clear();
  for (VornNode* node : nodes) list.Append(node);
  return list;
}

}  // namespace

// Neither weak sender alone reaches the threshold; together they do.
TEST(VornNodeListening, RssiSumsTwoWeakTransmitters) {
  Configure({"M=3", "adhoc=1", "fsf_type=2", "F=4"});
  VornNode &a = Station(0), &b = Station(1), &c = Station(2);
  // A Rayleigh law of mean 0 above a floor gives the floor on every link.
  const double weak = 0.6 * Params.y0_pw;
  Net.powers.Attach(3, false, true, false, 4, {0.0, weak}, {0.0, weak});
  b.tx_word = 0b0011;
  c.tx_word = 0b0110;
  VornNodelist list = ListOf({&b});
  a.ExtractWordFromNodelistRSSI<false>(list);
  EXPECT_EQ(a.rx_word, 0);
  EXPECT_FALSE(a.IsBusyFromNodelistRSSI<false>(list));
  list = ListOf({&b, &c});
  a.ExtractWordFromNodelistRSSI<false>(list);
  EXPECT_EQ(a.rx_word, 0b0010);
  EXPECT_TRUE(a.IsBusyFromNodelistRSSI<false>(list));
}

// A limit of r drops the packet at collision r + 1 and starts the next one
// afresh; a failure keeps packet and count; a negative limit never drops.
TEST(VornNodeOutcome, RetryLimitDropsAfterItsCollisions) {
  Configure({"M=1", "retry_limit=1"});
  VornNode& a = Station(0);
  FillQueue(a, 3);
  a.Collide();
  a.Fail();
  EXPECT_EQ(a.retries, 1);
  EXPECT_EQ(a.queue.length, 3);
  a.Collide();
  EXPECT_EQ(a.retries, 0);
  EXPECT_EQ(a.queue.length, 2);
  EXPECT_EQ(Net.n_packets, 2);
  a.Collide();
  EXPECT_EQ(a.queue.length, 2);
  EXPECT_EQ(a.n_coll + a.n_fail, 4);

  Configure({"M=1", "retry_limit=-2"});
  FillQueue(Station(0), 1);
  for (int i = 0; i < 100; ++i) Station(0).Collide();
  EXPECT_EQ(Station(0).queue.length, 1);
}
