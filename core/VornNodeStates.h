// VornNode's listening states as templates over the listening operation,
// included by the engine, whose round loops instantiate them and then call
// the operation directly.
#pragma once

#include "core/Vorn.h"

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
