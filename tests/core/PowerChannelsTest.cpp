// PowerChannels: Rayleigh and Rice powers drawn on first read have the law
// of drawing every link on every subcarrier at each redraw.
#include "core/PowerChannels.h"

#include <vector>

#include "tests/core/DrawerComparison.h"

namespace {

template <bool rice>
double Draw(bool feedback) {
  if (rice)
    return feedback ? Rand.RicePower(Params.rice_sigma_ap, Params.rice_nu_ap)
                    : Rand.RicePower(Params.rice_sigma, Params.rice_nu);
  return Rand.RayleighFading(feedback ? Params.yAP_pw : Params.y_pw, Params.ymin_pw);
}

// Every value, in the order of the draw of whole blocks: station pairs (one
// value for both directions) when stations hear each other, then each
// station's forward value and its feedback value, independent or the same.
template <bool rice>
void DrawEveryPower(PowerChannels& powers) {
  static std::vector<drawers::Link> links;
  links.clear();
  const auto set = [&](long listener, long sender, long j, double value) {
    powers.Store(listener, sender, j, value);
    links.push_back({listener, sender, j, value});
  };
  const long n = Net.all_nodes.count, S = Params.subcarriers;
  if (Params.adhoc || (Params.peers && !Params.unlucky))
    for (long a = 0; a < n; ++a)
      for (long b = a + 1; b < n; ++b)
        for (long j = 0; j < S; ++j) {
          const double value = Draw<rice>(false);
          set(a, b, j, value);
          set(b, a, j, value);
        }
  for (long x = 0; Net.ap != nullptr && x < n; ++x)
    for (long j = 0; j < S; ++j) {
      const double forward = Draw<rice>(false);
      set(Net.ap->id, x, j, forward);
      set(x, Net.ap->id, j, Params.indep ? Draw<rice>(true) : forward);
    }
  for (const drawers::Link& k : links)
    drawers::misreads += powers.Power<rice>(Rand, k.listener, k.sender, k.j) != k.value;
}

}  // namespace

TEST(PowerChannels, DrawnOnFirstReadWithTheLawOfDrawingEveryValue) {
  drawers::ExpectSameLaw<PowerChannels>(
      {{"M=2", "fsf_type=2", "indep=0", "F=4"},
       {"M=3", "fsf_type=2", "adhoc=1", "fsf_fast=0", "randsratio=3"},
       {"M=4", "fsf_type=2", "peers=1", "yAP=-81", "randsratio=2", "F=4"}},
      &VornNetwork::powers, &DrawEveryPower<false>);
  drawers::ExpectSameLaw<PowerChannels>(
      {{"M=4", "fsf_type=4", "adhoc=1", "F=4"},
       {"M=3", "fsf_type=4", "indep=0", "fsf_fast=0", "randsratio=2", "K=0.5"},
       {"M=2", "fsf_type=4", "Kratio=3", "yAP=-81", "greedy=0"}},
      &VornNetwork::powers, &DrawEveryPower<true>);
}
