// PrecisionReport: the metrics of "precision.csv", each a ratio of batch
// totals, with their values after the warm-up and their 95 % intervals.
#pragma once

#include <iosfwd>
#include <string>

#include "params/SimParams.h"
#include "stats/BatchMeans.h"

// value = offset + scale(params) · numerator / denominator, as in the network row.
struct PrecisionMetric {
  const char* name;
  BatchMeans::Field numerator;
  BatchMeans::Field denominator;
  double offset;
  double (*scale)(const SimParams&);
  // Depends on the queues even when every station is saturated.
  bool queue_state;
};

class PrecisionReport {
 public:
  // saturated: every station always has a packet, so the outcomes of a cycle
  // hold no state that needs a warm-up.
  PrecisionReport(const SimParams& params, const BatchMeans& batches, BatchMeans::Totals now,
                  bool saturated);
  virtual ~PrecisionReport() = default;

  static constexpr long kMetrics = 10;
  static const PrecisionMetric kAll[kMetrics];
  // The metric named name, or null.
  static const PrecisionMetric* Find(const std::string& name);
  // "S, S_app, ... or D", for messages.
  static std::string Names();

  // The metric's value (not finite without a denominator) and its estimate.
  double Value(const PrecisionMetric& metric, BatchMeans::Estimate& estimate) const;
  // ci95 / |value|, or a negative number when there is no interval or the
  // value is 0.
  double Relative(const PrecisionMetric& metric) const;
  // The header and one row per metric.
  void Write(std::ostream& os) const;

 private:
  const SimParams& params;
  const BatchMeans& batches;
  BatchMeans::Totals now;
  bool saturated;
};
