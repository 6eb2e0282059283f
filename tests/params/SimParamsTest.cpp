// PHY timing, control rates, channel-bandwidth overrides, powers, Rice
// amplitudes and the channel model.
#include "params/SimParams.h"

#include <gtest/gtest.h>

#include "support/Functions.h"
#include "tests/TestSupport.h"

namespace {

constexpr double kUs = 1e-6;

using Sim = Configured<SimParams>;

void ExpectTimes(const SimParams& p, double rts, double cts, double data, double ack) {
  EXPECT_NEAR(p.t_rts / kUs, rts, 1e-9);
  EXPECT_NEAR(p.t_cts / kUs, cts, 1e-9);
  EXPECT_NEAR(p.t_data / kUs, data, 1e-9);
  EXPECT_NEAR(p.t_ack / kUs, ack, 1e-9);
}

}  // namespace

TEST(SimParams, ControlRatesFollowTheDataRate) {
  Sim six{};
  EXPECT_EQ(six.params.rate_cts, 6000000);
  ExpectTimes(six.params, 48, 40, 1432, 40);

  Sim twelve{"B=12000000"};
  EXPECT_EQ(twelve.params.rate_rts, 12000000);
  EXPECT_EQ(twelve.params.rate_ack, 12000000);
  ExpectTimes(twelve.params, 36, 32, 728, 32);

  Sim fixed{"B=24000000", "fixed_ack_rate=1"};
  EXPECT_EQ(fixed.params.rate_rts, 24000000);
  EXPECT_EQ(fixed.params.rate_cts, 6000000);
  EXPECT_EQ(fixed.params.rate_ack, 6000000);
  ExpectTimes(fixed.params, 28, 40, 376, 40);

  Sim data_rate{"B=54000000", "fixed_ack_rate=-1"};
  EXPECT_EQ(data_rate.params.rate_cts, 54000000);
  ExpectTimes(data_rate.params, 24, 24, 180, 24);

  Sim between{"B=18000000"};  // 2x but not 4x the signal rate
  EXPECT_EQ(between.params.rate_rts, 12000000);
}

TEST(SimParams, AtherosTimesAndPropagationDelay) {
  Sim ath{"ath_real=1"};
  ExpectTimes(ath.params, 52, 37.6, 1440, 44);
  Sim delayed{"delta=1e-6"};
  ExpectTimes(delayed.params, 49, 41, 1433, 41);
}

// 10 MHz is pinned by a known-answer run.
TEST(SimParams, ChannelBandwidthOverridesPhyValues) {
  Sim five{"chan_bw=5", "B=6000000"};
  EXPECT_EQ(five.params.t_symbol, 1.6e-05);
  EXPECT_EQ(five.params.B_signal, 1500000);
  EXPECT_EQ(five.params.ymin, -104.901766);
  EXPECT_EQ(five.params.B, 6000000);  // never scaled
}

TEST(SimParams, PowersRiceAmplitudesAndWriteBacks) {
  Sim sim{"fsf_prob_ap=-1", "fsf_prob_node=0.3", "K=4",           "Kratio=0.5",
          "y=-79",          "yAP=-70",           "flow_stats=0.5"};
  const SimParams& p = sim.params;
  EXPECT_DOUBLE_EQ(p.fsf_prob_ap, 0.3);
  EXPECT_DOUBLE_EQ(p.KAP, 2);
  EXPECT_DOUBLE_EQ(p.y_pw, dbm2pw(-79));
  EXPECT_DOUBLE_EQ(p.ymin_pw, dbm2pw(-98.881166));
  EXPECT_DOUBLE_EQ(p.ymax_pw, 1);
  // The mean power of the Rice draw, nu^2 + 2 sigma^2, is the configured one.
  EXPECT_DOUBLE_EQ(p.rice_nu * p.rice_nu + 2 * p.rice_sigma * p.rice_sigma, p.y_pw);
  EXPECT_DOUBLE_EQ(p.rice_nu * p.rice_nu / (2 * p.rice_sigma * p.rice_sigma), 4);
  EXPECT_DOUBLE_EQ(p.rice_nu_ap * p.rice_nu_ap / (2 * p.rice_sigma_ap * p.rice_sigma_ap), 2);
  EXPECT_DOUBLE_EQ(p.rice_nu_ap * p.rice_nu_ap + 2 * p.rice_sigma_ap * p.rice_sigma_ap, p.yAP_pw);
  EXPECT_TRUE(p.flow_stats_on);

  Sim kept{"KAP=3", "Kratio=-1", "ynomin=1"};
  EXPECT_EQ(kept.params.KAP, 3);
  EXPECT_EQ(kept.params.ymin_pw, 0);
  EXPECT_FALSE(kept.params.flow_stats_on);
}

TEST(SimParams, ChannelModelFollowsTheFadingTypeAndTheFloor) {
  EXPECT_EQ(Sim{"fsf_type=1"}.params.channel, ChannelModel::kBinomial);
  EXPECT_EQ(Sim{"fsf_type=2"}.params.channel, ChannelModel::kRayleigh);
  EXPECT_EQ(Sim{"fsf_type=4"}.params.channel, ChannelModel::kRice);
  for (const char* none : {"fsf_type=0", "fsf_type=3", "fsf_type=5"})
    EXPECT_EQ(Sim{none}.params.channel, ChannelModel::kNone) << none;
  // ynomin zeroes the floor power but not the comparison of the dBm values;
  // the option keeps what was given.
  Sim no_floor{"ymin=-80", "y0=-82", "fsf_type=2", "ynomin=1"};
  EXPECT_EQ(no_floor.params.channel, ChannelModel::kNone);
  EXPECT_EQ(no_floor.params.fsf_type, 2);
  EXPECT_EQ(no_floor.params.ymin_pw, 0);
}
