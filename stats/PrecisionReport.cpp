// PrecisionReport: the metric table and the rows of "precision.csv".
#include "stats/PrecisionReport.h"

#include <cmath>
#include <ostream>

namespace {

using F = BatchMeans::Field;

double One(const SimParams&) {
  return 1.0;
}
// S: (DATA + APP) bits per success over the simulated time, normalised to B.
double FrameOverB(const SimParams& p) {
  return static_cast<double>(p.DATA + p.APP) / p.B;
}
double DataOverB(const SimParams& p) {
  return static_cast<double>(p.DATA) / p.B;
}
double Frame(const SimParams& p) {
  return static_cast<double>(p.DATA + p.APP);
}

}  // namespace

const PrecisionMetric PrecisionReport::kAll[kMetrics] = {
    {"S", F::kSuccesses, F::kTime, 0, FrameOverB, false},
    {"S_app", F::kSuccesses, F::kTime, 0, DataOverB, false},
    {"T", F::kSuccesses, F::kTime, 0, Frame, false},
    {"Ps", F::kSuccesses, F::kCycles, 0, One, false},
    {"Pc", F::kCollisions, F::kCycles, 0, One, false},
    {"Pf", F::kFailures, F::kCycles, 0, One, false},
    {"Pi", F::kIdles, F::kCycles, 0, One, false},
    {"Ps_a", F::kSuccesses, F::kAttempts, 0, One, false},
    {"Pc_a", F::kSuccesses, F::kAttempts, 1, [](const SimParams&) { return -1.0; }, false},
    {"D", F::kDelay, F::kServed, 0, One, true},
};

PrecisionReport::PrecisionReport(const SimParams& params_, const BatchMeans& batches_,
                                 BatchMeans::Totals now_, bool saturated_)
    : params(params_), batches(batches_), now(now_), saturated(saturated_) {}

const PrecisionMetric* PrecisionReport::Find(const std::string& name) {
  for (const PrecisionMetric& metric : kAll)
    if (name == metric.name) return &metric;
  return nullptr;
}

std::string PrecisionReport::Names() {
  std::string names;
  for (long i = 0; i < kMetrics; ++i)
    names += (i == 0 ? "" : i + 1 == kMetrics ? " or " : ", ") + std::string(kAll[i].name);
  return names;
}

double PrecisionReport::Value(const PrecisionMetric& metric, BatchMeans::Estimate& estimate) const {
  const bool cut = metric.queue_state || !saturated;
  estimate = batches.Ratio(metric.numerator, metric.denominator, cut, now);
  const double scale = metric.scale(params);
  estimate.ci95 *= std::fabs(scale);
  return metric.offset + scale * estimate.ratio;
}

double PrecisionReport::Relative(const PrecisionMetric& metric) const {
  BatchMeans::Estimate e;
  const double value = Value(metric, e);
  if (!e.has_ci || !(std::fabs(value) > 0)) return -1.0;
  return e.ci95 / std::fabs(value);
}

// Values print as in the network row (-999.9 when not finite); an interval
// that cannot be had is an empty field.
void PrecisionReport::Write(std::ostream& os) const {
  os << "metric,value,ci95,rel_ci95,batches,batch_cycles,warmup_cycles\n";
  for (const PrecisionMetric& metric : kAll) {
    BatchMeans::Estimate e;
    const double value = Value(metric, e);
    const bool finite = std::isfinite(value);
    const bool interval = finite && e.has_ci;
    os << metric.name << ',' << (finite ? value : -999.9) << ',';
    if (interval) os << e.ci95;
    os << ',';
    if (interval && std::fabs(value) > 0) os << e.ci95 / std::fabs(value);
    os << ',' << e.batches << ',' << batches.batch_cycles << ',' << e.warmup_cycles << '\n';
  }
}
