// MaskChannels: binomial masks drawn on first read have the law of drawing
// every link at each redraw.
#include "core/MaskChannels.h"

#include <vector>

#include "tests/core/DrawerComparison.h"

namespace {

long Draw(double prob) {
  return Code.full_mask & ~static_cast<long>(Rand.BernoulliBits(prob, Params.subcarriers));
}

// Every mask: station pairs (one mask for both directions) when stations
// hear each other, then each station's forward mask and its feedback mask,
// independent or the same.
void DrawEveryMask(MaskChannels& masks) {
  static std::vector<drawers::Link> links;
  links.clear();
  const auto set = [&](long listener, long sender, long mask) {
    masks.Store(listener, sender, mask);
    links.push_back({listener, sender, 0, double(mask)});
  };
  const long n = Net.all_nodes.count;
  if (Params.adhoc || (Params.peers && !Params.unlucky))
    for (long a = 0; a < n; ++a)
      for (long b = a + 1; b < n; ++b) {
        const long mask = Draw(Params.fsf_prob_node);
        set(a, b, mask);
        set(b, a, mask);
      }
  for (long x = 0; Net.ap != nullptr && x < n; ++x) {
    const long forward = Draw(Params.fsf_prob_node);
    set(Net.ap->id, x, forward);
    set(x, Net.ap->id, Params.indep ? Draw(Params.fsf_prob_ap) : forward);
  }
  for (const drawers::Link& k : links)
    drawers::misreads += masks.Mask(Rand, k.listener, k.sender) != k.value;
}

}  // namespace

TEST(MaskChannels, DrawnOnFirstReadWithTheLawOfDrawingEveryValue) {
  drawers::ExpectSameLaw<MaskChannels>(
      {{"M=2", "fsf_type=1", "adhoc=1", "fsf_prob_node=0.5", "F=2", "L=2"},
       {"M=3", "fsf_type=1", "indep=0", "fsf_fast=0", "randsratio=3", "F=4"},
       {"M=4", "fsf_type=1", "peers=1", "fsf_prob_ap=0.6", "F=4"},
       {"M=4", "fsf_type=1", "adhoc=1", "fsf_fast=0", "greedy=0", "randsratio=2", "F=4"}},
      &VornNetwork::masks, &DrawEveryMask);
}
