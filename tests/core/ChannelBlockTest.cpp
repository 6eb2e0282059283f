// ChannelBlock: the batched draws against draws link by link from the same
// stream, reciprocal rows included.
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
        for (long j = 0; j < Params.subcarriers; ++j)
          links.push_back(listener->rssi_link[sender->id][j]);
  return links;
}

// One value per subcarrier: station pairs in order, then each station's
// forward link and, right after each forward value, its feedback value.
void DrawLinkByLink() {
  const bool rice = Params.channel == ChannelModel::kRice;
  const auto draw = [rice](bool feedback) {
    if (rice)
      return feedback ? Rand.RicePower(Params.rice_sigma_ap, Params.rice_nu_ap)
                      : Rand.RicePower(Params.rice_sigma, Params.rice_nu);
    return Rand.RayleighFading(feedback ? Params.yAP_pw : Params.y_pw, Params.ymin_pw);
  };
  VornNodelist& all = Net.all_nodes;
  for (long i = 0; i < all.count; ++i)
    for (long j = i + 1; j < all.count; ++j)
      for (long s = 0; s < Params.subcarriers; ++s) all[i]->rssi_link[all[j]->id][s] = draw(false);
  if (Net.ap == nullptr) return;
  for (VornNode* x : all)
    for (long s = 0; s < Params.subcarriers; ++s) {
      const double forward = Net.ap->rssi_link[x->id][s] = draw(false);
      x->rssi_link[Net.ap->id][s] = Params.indep ? draw(true) : forward;
    }
}

}  // namespace

TEST(ChannelBlock, BatchedDrawsEqualLinkByLinkDraws) {
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
    DrawLinkByLink();
    EXPECT_EQ(AllLinks(), batched) << args[0] << " " << args[1];
    EXPECT_EQ(Rand.WordsDrawn(), words);
    EXPECT_EQ(Rand.normal.state, normal);
  }
}
