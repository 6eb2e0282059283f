// NetworkReport: the network result row and the network-level files.
#include "stats/NetworkReport.h"

#include <iomanip>
#include <numeric>
#include <ostream>

namespace {

double Probability(long count, long total) {
  return total == 0 ? 0.0 : static_cast<double>(count) / total;
}

}  // namespace

NetworkReport::NetworkReport(const VornParams& params_, const NetworkCounters& counters_,
                             long stations, const StationCounters* ap, double time)
    : counters(counters_), params(params_) {
  const double slots = counters.n_slots;
  const CycleShares counts{
      static_cast<double>(counters.n_idle), static_cast<double>(counters.n_succ),
      static_cast<double>(counters.n_coll), static_cast<double>(counters.n_fail),
      ap == nullptr ? 0.0 : ap->n_ref_idle / slots};
  FillRow(stations, counts, slots, time, true);
}

NetworkReport::NetworkReport(const VornParams& params_, const CycleShares& shares, long stations)
    : counters(NoCounters()), params(params_) {
  FillRow(stations, shares, 1.0, params.t_coll, false);
}

const NetworkCounters& NetworkReport::NoCounters() {
  static const NetworkCounters none;
  return none;
}

void NetworkReport::PrintRow(std::ostream& os, bool header, bool csv) {
  row.csv_layout = csv;
  if (header) row.Header(params.stats, os);
  row.Print(params.stats, os);
}

void NetworkReport::PrintHeader(std::ostream& os) {
  row.csv_layout = true;
  row.Header(params.stats, os);
}

// Ratios are taken in double precision, so a zero count gives a non-finite
// value, which the table prints as -999.9.
void NetworkReport::FillRow(long stations, const CycleShares& cycles, double slots, double time,
                            bool run) {
  const VornParams& p = params;
  const double t = time, succ = cycles.success, coll = cycles.collision;
  const double att = succ + coll + cycles.failure;
  const double frame = p.DATA + p.APP;
  const double S = frame / t * succ / p.B;
  const double app_share = p.DATA / frame;
  const double busy = (p.t_cont + p.t_data) * (succ + coll) + succ * p.t_ack;
  row.Push("M", stations);
  row.Push("B", p.B);
  row.Push("DATA", p.DATA);
  row.Push("APP", p.APP);
  row.Push("difs", p.difs);
  row.Push("sifs", p.sifs);
  row.Push("ts", p.ts);
  row.Push("R", p.R);
  row.Push("F", p.F);
  row.Push("L", p.L);
  row.Push("adhoc", p.adhoc);
  row.Push("ymin", p.ymin);
  row.Push("ymax", p.ymax);
  row.Push("y", p.y);
  row.Push("yAP", p.yAP);
  row.Push("y0", p.y0);
  row.Push("K", p.K);
  row.Push("KAP", p.KAP);
  if (run) {
    const NetworkCounters& c = counters;
    row.Push("time", t);
    row.Push("runs", c.n_slots);
    row.Push("attempts", c.n_att);
    row.Push("successes", c.n_succ);
    row.Push("collisions", c.n_coll);
    row.Push("failures", c.n_fail);
    row.Push("idles", c.n_idle);
  }
  row.Push("Pt_a", (succ + coll) / att);
  row.Push("Ps_a", succ / att);
  row.Push("Pc_a", 1 - succ / att);
  row.Push("Ps_t", succ / (succ + coll));
  row.Push("Pc_t", 1 - succ / (succ + coll));
  row.Push("Pa", att / slots);
  row.Push("Pi", cycles.idle / slots);
  row.Push("Pt", (succ + coll) / slots);
  row.Push("Ps", succ / slots);
  row.Push("Pc", coll / slots);
  row.Push("Pf", cycles.failure / slots);
  row.Push("Pb", 1 - cycles.failure / slots);
  row.Push("Pref_idle", cycles.ref_idle);
  row.Push("T", p.B * S);
  row.Push("T_app", p.DATA * S / frame * p.B);
  row.Push("S", S);
  row.Push("S_app", app_share * S);
  row.Push("C", p.DATA / (p.t_succ - p.t_cont));
  row.Push("C_cont", p.DATA / p.t_succ);
  row.Push("pktps", succ / t);
  row.Push("tTx", busy / t);
  row.Push("t_succ", p.t_succ);
  row.Push("t_coll", p.t_coll);
  row.Push("t_data", p.t_data);
  row.Push("t_ack", p.t_ack);
  row.Push("t_rts", p.t_rts);
  row.Push("t_cts", p.t_cts);
}

void NetworkReport::WriteFlow(std::ostream& os) const {
  const FlowStats<long>& pktps = counters.pktps_flow;
  os << "time, pktps, Throughput, Ps_t\n";
  for (size_t i = 0; i < pktps.time_series.size(); ++i) {
    const double rate = pktps.Rate(i);
    os << pktps.time_series[i] << ", " << rate << ", " << rate * params.DATA << ", "
       << counters.ps_flow.Share(i) << '\n';
  }
}

void NetworkReport::WriteDistribution(std::ostream& os, const ProbPDF& pdf, const char* label) {
  os << label << ", occurences, probability\n";
  const long total = std::accumulate(pdf.data, pdf.data + pdf.size, 0L);
  for (long k = 0; k < pdf.size; ++k)
    os << std::setw(3) << k << ", " << std::setw(10) << pdf(k) << ", " << Probability(pdf(k), total)
       << '\n';
}

void NetworkReport::WriteTransitions(std::ostream& os, const TransProb& tp, const char* label) {
  os << label << "_curr, " << label << "_next, occurences, trans_probability\n";
  for (long row_state = 0; row_state < tp.d1; ++row_state) {
    const long* counts = tp.data + row_state * tp.d2;
    const long sum = std::accumulate(counts, counts + tp.d2, 0L);
    for (long col = 0; col < tp.d2; ++col)
      os << std::setw(3) << row_state << ", " << std::setw(3) << col << ", " << std::setw(10)
         << counts[col] << ", " << Probability(counts[col], sum) << '\n';
    os << '\n';
  }
}
