// VornNode's listening states as templates over the listening operation,
// included by the engine, whose round loops instantiate them and then call
// the operation directly.
#pragma once

#include "core/Vorn.h"

// A subcarrier is detected when the summed power of all its senders reaches
// the threshold, so two weak senders can be heard where one alone is not.
template <bool rice>
void VornNode::ExtractWordFromNodelistRSSI(VornNodelist& list) {
  const long S = Code.n_bits;
  const double y0_pw = Params.y0_pw;
  rx_word = 0;
  for (long j = 0; j < S; ++j) {
    const long bit = 1L << j;
    double acc = 0.0;
    for (VornNode* k : list) {
      if (!(k->tx_word & bit)) continue;
      acc += Net.powers.Power<rice>(Rand, id, k->id, j);
      if (acc >= y0_pw) {
        rx_word |= bit;
        break;
      }
    }
    rssi_acc[j] = acc;
  }
}

template <bool rice>
bool VornNode::IsBusyFromNodelistRSSI(VornNodelist& list) {
  const long S = Code.n_bits;
  const double y0_pw = Params.y0_pw;
  for (long j = 0; j < S; ++j) rssi_acc[j] = 0.0;
  for (VornNode* k : list) {
    for (long word = k->tx_word; word != 0; word &= word - 1) {
      const int j = __builtin_ctzl(word);
      rssi_acc[j] += Net.powers.Power<rice>(Rand, id, k->id, j);
      if (rssi_acc[j] >= y0_pw) return true;
    }
  }
  return false;
}

template <VornNode::Extractor extract>
void VornNode::StateContRefereeWith() {
  ++n_rx;
  (this->*extract)(Net.transmitters);
  BuildReply();
  if (rx_word != 0)
    ++n_tx;
  else
    ++n_ref_idle;
}

template <VornNode::Extractor extract>
void VornNode::StateContSecondChancerAdhocWith() {
  ++n_rx;
  (this->*extract)(Net.transmitters);
  if (rx_word != 0) {
    BuildReply();
    Net.referees.Append(this);
  } else {
    Net.third_chancers.Append(this);
  }
}

template <VornNode::Extractor extract>
void VornNode::StateFbkNomineeAdhocWith() {
  ++n_rx;
  (this->*extract)(Net.referees);
  if (WonRound())
    Net.winners.Append(this);
  else
    Net.referees.Append(this);
}

template <VornNode::BusyTest busy>
void VornNode::StateFbkThirdChancerAdhocWith() {
  ++n_rx;
  if ((this->*busy)(Net.referees))
    Net.referees.Append(this);
  else
    Net.winners.Append(this);
}

template <VornNode::BusyTest busy>
void VornNode::StateContSecondChancerCentralizedPeersWith() {
  ++n_rx;
  if ((this->*busy)(Net.transmitters)) return;
  Net.third_chancers.Append(this);
}

template <VornNode::Extractor extract>
void VornNode::StateFbkNomineeCentralizedWith() {
  ++n_rx;
  (this->*extract)(Net.referees);
  if (WonRound()) Net.winners.Append(this);
}

template <VornNode::BusyTest busy>
void VornNode::StateFbkThirdChancerCentralizedWith() {
  ++n_rx;
  if (!(this->*busy)(Net.referees)) Net.winners.Append(this);
}
