// ChannelBlock: wiring the nodes' rows into the block, and the batched
// Rayleigh and Rice draws.
#include "core/ChannelBlock.h"

#include "core/Vorn.h"

void ChannelBlock::Attach(const VornNodelist& nodes, VornNode* ap, long S, bool indep) {
  const long n = nodes.count;
  ap_links = ap == nullptr ? 0 : n;
  subcarriers = S;
  independent = indep;
  pair_values = n * (n - 1) / 2 * S;
  const long ap_rows = indep ? 2 * ap_links : ap_links;
  block.assign(pair_values + (ap_rows + 1) * S, 0.0);
  double* row = block.data();
  for (long i = 0; i < n; ++i)
    for (long j = i + 1; j < n; ++j, row += S)
      nodes[i]->rssi_link[nodes[j]->id] = nodes[j]->rssi_link[nodes[i]->id] = row;
  forward = row;
  feedback = indep ? forward + ap_links * S : forward;
  double* zeros = forward + ap_rows * S;
  for (VornNode* x : nodes) x->rssi_link[x->id] = zeros;
  if (ap == nullptr) return;
  ap->rssi_link[ap->id] = zeros;
  for (long i = 0; i < n; ++i) {
    ap->rssi_link[nodes[i]->id] = forward + i * S;
    nodes[i]->rssi_link[ap->id] = feedback + i * S;
  }
}

void ChannelBlock::DrawRayleigh() {
  const double y = Params.y_pw, y_ap = Params.yAP_pw, floor = Params.ymin_pw;
  Rand.RayleighFadings(block.data(), pair_values, y, floor);
  if (!independent) {
    Rand.RayleighFadings(forward, ap_links * subcarriers, y, floor);
    return;
  }
  // Forward and feedback draws alternate subcarrier by subcarrier (S <= 31).
  double logs[2 * 31];
  for (long x = 0; x < ap_links; ++x) {
    Rand.LogComplements(logs, 2 * subcarriers);
    double* to_ap = forward + x * subcarriers;
    double* from_ap = feedback + x * subcarriers;
    for (long j = 0; j < subcarriers; ++j) {
      to_ap[j] = floor - y * logs[2 * j];
      from_ap[j] = floor - y_ap * logs[2 * j + 1];
    }
  }
}

void ChannelBlock::DrawRice() {
  const double sigma = Params.rice_sigma, nu = Params.rice_nu;
  Rand.RicePowers(block.data(), pair_values, sigma, nu);
  if (!independent) {
    Rand.RicePowers(forward, ap_links * subcarriers, sigma, nu);
    return;
  }
  const double sigma_ap = Params.rice_sigma_ap, nu_ap = Params.rice_nu_ap;
  for (long x = 0; x < ap_links; ++x) {
    double* to_ap = forward + x * subcarriers;
    double* from_ap = feedback + x * subcarriers;
    for (long j = 0; j < subcarriers; ++j) {
      to_ap[j] = Rand.RicePower(sigma, nu);
      from_ap[j] = Rand.RicePower(sigma_ap, nu_ap);
    }
  }
}
