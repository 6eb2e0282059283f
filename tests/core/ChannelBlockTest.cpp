// ChannelBlock: the batched draws against the node-by-node channel operations
// from the same stream, the shared reciprocal rows and the block's size.
#include "core/ChannelBlock.h"

#include <gtest/gtest.h>

#include "tests/core/EngineHarness.h"

namespace {

// Every link of every ordered pair of nodes, the access point last.
std::vector<double> AllLinks() {
  std::vector<VornNode*> nodes(Net.all_nodes.begin(), Net.all_nodes.end());
  if (Net.ap != nullptr) nodes.push_back(Net.ap);
  std::vector<double> links;
  for (VornNode* listener : nodes)
    for (VornNode* sender : nodes)
      if (listener != sender)
        for (long j = 0; j < Params.F; ++j) links.push_back(listener->rssi_link[sender->id][j]);
  return links;
}

void DrawNodeByNode() {
  VornNodelist& all = Net.all_nodes;
  // Member pointers read first: the vptr sanitizer misreads x->*(x->member).
  for (long i = 0; i < all.count; ++i)
    for (long j = i + 1; j < all.count; ++j) {
      const auto draw = all[i]->RandChannelsNodes;
      (all[i]->*draw)(*all[j]);
    }
  if (Net.ap != nullptr)
    for (VornNode* x : all) {
      const auto draw = x->RandChannelsRef;
      (x->*draw)(*Net.ap);
    }
}

}  // namespace

TEST(ChannelBlock, BatchedDrawsEqualNodeByNodeDraws) {
  const std::vector<std::vector<std::string>> cases = {
      {"fsf_type=2", "indep=1"}, {"fsf_type=2", "indep=0"}, {"fsf_type=2", "adhoc=1"},
      {"fsf_type=4", "indep=1"}, {"fsf_type=4", "indep=0"}, {"fsf_type=4", "adhoc=1"},
  };
  for (std::vector<std::string> args : cases) {
    args.insert(args.end(), {"M=7", "F=5", "yAP=-70", "KAP=5"});
    harness::Configure(args, 11);
    const GenRand start = Rand;
    Net.RandChannels();
    const std::vector<double> batched = AllLinks();
    const long words = Rand.WordsDrawn();
    const uint32_t normal = Rand.normal.state;
    Rand = start;
    DrawNodeByNode();
    EXPECT_EQ(AllLinks(), batched) << args[0] << " " << args[1];
    EXPECT_EQ(Rand.WordsDrawn(), words);
    EXPECT_EQ(Rand.normal.state, normal);
  }
}

TEST(ChannelBlock, StationPairsShareOneRowAndFeedbackSharesForwardUnlessIndependent) {
  harness::Configure({"fsf_type=2", "M=4", "F=3", "indep=0"});
  VornNode &a = *Net.all_nodes[0], &b = *Net.all_nodes[2], &ap = *Net.ap;
  EXPECT_EQ(a.rssi_link[b.id], b.rssi_link[a.id]);
  EXPECT_EQ(a.rssi_link[ap.id], ap.rssi_link[a.id]);
  EXPECT_NE(a.rssi_link[b.id], a.rssi_link[ap.id]);
  harness::Configure({"fsf_type=2", "M=4", "F=3", "indep=1"});
  EXPECT_NE(Net.all_nodes[0]->rssi_link[Net.ap->id], Net.ap->rssi_link[0]);
}

// One row per pair and per access-point link, plus the zero row: about half
// of n^2 S doubles.
TEST(ChannelBlock, SizeIsOneRowPerPairAndAccessPointLink) {
  harness::Configure({"fsf_type=2", "M=10", "F=4", "indep=1"});
  ChannelBlock block;
  block.Attach(Net.all_nodes, Net.ap, 4, true);
  EXPECT_EQ(block.Size(), (45 + 20 + 1) * 4);
  block.Attach(Net.all_nodes, Net.ap, 4, false);
  EXPECT_EQ(block.Size(), (45 + 10 + 1) * 4);
  block.Attach(Net.all_nodes, nullptr, 4, true);
  EXPECT_EQ(block.Size(), (45 + 1) * 4);
}
