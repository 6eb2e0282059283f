// StationReport: the station result row and the station files.
#include "stats/StationReport.h"

#include <iomanip>
#include <numeric>
#include <ostream>

StationReport::StationReport(const VornParams& params_, const StationCounters& station_,
                             const FlowStats<long>& flow_, const QueueCounters& queue_,
                             long stations_, long slots_, double time_)
    : station(station_),
      flow(flow_),
      queue(queue_),
      params(params_),
      stations(stations_),
      slots(slots_),
      time(time_) {}

void StationReport::PrintRow(std::ostream& os, bool header, bool csv) const {
  SimpleStats row = Row();
  row.csv_layout = csv;
  if (header && station.id == 0) row.Header(params.stats, os);
  row.Print(params.stats, os);
}

void StationReport::PrintHeader(std::ostream& os) const {
  Row().Header(params.stats, os);
}

// Ratios are taken in double precision, so a zero count gives a non-finite
// value, which the table prints as -999.9.
SimpleStats StationReport::Row() const {
  const double t = time, cycles = slots;
  const double succ = station.n_succ, cont = station.n_cont, att = station.n_att;
  const double S = static_cast<double>(params.APP + params.DATA) / t * succ / params.B;
  const double app_share = static_cast<double>(params.DATA) / (params.DATA + params.APP);
  // Queues keep every packet's arrival time, bounded or not, so the mean
  // delay is a real one for both.
  const double D = queue.n_served == 0 ? 0.0 : queue.total_delay / queue.n_served;
  const double tx = params.t_data * att;
  const double rx = succ * params.t_ack + (att - succ) * params.t_preamble;
  const double burst = params.ts * station.n_tx, sense = params.ts * station.n_rx;
  // A contention slot only bursts or senses energy on a few subcarriers,
  // without coding or decoding a frame, so the radio model weighs its time at
  // a quarter of the time spent sending or receiving frames.
  const double radio = tx + rx + 0.25 * (burst + sense);
  // A Bernoulli queue's rate is a probability per cycle, and every cycle lasts t_coll.
  const double arrivals = queue.type == 4 ? queue.rate / params.t_coll : queue.rate;

  SimpleStats table;
  table.Push("id", station.id);
  table.Push("M", stations);
  table.Push("Na", station.n_cont);
  table.Push("Nt", station.n_att);
  table.Push("Ns", station.n_succ);
  table.Push("Ps_a", succ / cont, "%.4f");
  table.Push("Pc_a", 1 - succ / cont, "%.4f");
  table.Push("Ps_t", succ / att, "%.4f");
  table.Push("Pc_t", 1 - succ / att, "%.4f");
  table.Push("Pt_a", att / cont, "%.4f");
  table.Push("Pt", att / cycles, "%.4f");
  table.Push("Pa", cont / cycles, "%.4f");
  table.Push("Ps", succ / cycles, "%.4f");
  table.Push("T", params.B * S, "%7.0f");
  table.Push("T_app", app_share * S * params.B, "%7.0f");
  table.Push("S", S, "%.4f");
  table.Push("S_app", app_share * S, "%.4f");
  table.Push("pps", succ / t, "%.3f");
  table.Push("D_ms", D * 1000, "%.3f");
  table.Push("D", D);
  table.Push("tTx", tx / t);
  table.Push("tRx", rx / t);
  table.Push("tSense", sense / t);
  table.Push("tBurst", burst / t);
  table.Push("tRadio", radio / t);
  table.Push("eff", S / (radio / t));
  table.Push("Pque0", station.n_empty / cycles, "%.4f");
  table.Push("ar_pps", arrivals, "%6.2f");
  table.Push("ar_load", arrivals * params.DATA);
  table.Push("ar_rate", arrivals * params.t_succ);
  table.Push("dropsps", queue.n_drops / t, "%6.2f");
  table.Push("Pdrop", static_cast<double>(queue.n_drops) / queue.n_offered, "%.4f");
  return table;
}

void StationReport::WriteFlow(std::ostream& os) const {
  SimpleStats table;
  for (size_t i = 0; i < flow.time_series.size(); ++i) {
    table.Clear();
    table.Push("time", flow.time_series[i]);
    table.Push("throughput", flow.Rate(i) * params.DATA);
    table.Push("Ps", flow.Share(i));
    table.Push("pkt_ps", flow.Rate(i));
    // Paired by sample index: the drop record samples on its own, often
    // fewer times, and a sample it lacks reports no drops (Rate gives 0).
    table.Push("pktdrops_ps", queue.drop_flow.Rate(i));
    table.HeaderOnce(os);
    table.Print(os);
  }
}

void StationReport::WriteSeries(std::ostream& os, const std::vector<double>& series) {
  os << std::fixed << std::setprecision(6);
  for (double value : series) os << value << '\n';
}

// An unbounded queue keeps one length entry that is never counted; its
// probability, 0 over 0, prints as 0 like the network's distributions.
void StationReport::WriteLengths(std::ostream& os) const {
  const std::vector<long>& hist = queue.length_hist;
  const long total = std::accumulate(hist.begin(), hist.end(), 0L);
  os << "i, n, p_i\n" << std::fixed << std::setprecision(6);
  for (size_t i = 0; i < hist.size(); ++i)
    os << i << ", " << hist[i] << ", " << (total == 0 ? 0.0 : static_cast<double>(hist[i]) / total)
       << '\n';
}
