// ProgressLine: one self-erasing line on a terminal with the share of a long
// run done, its speed in cycles per second and the time it still needs.
#pragma once

#include <cstdio>

class ProgressLine {
 public:
  // Seconds on a monotonic clock; tests pass their own to need no real time.
  using Clock = double (*)();

  // Least time between two rewrites of the line, in seconds.
  static constexpr double kInterval = 0.25;

  // The line is enabled only when stream is a terminal; otherwise nothing is
  // ever written, so redirected output stays exactly as it would be without it.
  explicit ProgressLine(FILE* stream, Clock now = MonotonicSeconds);
  virtual ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool enabled() const { return enabled_; }

  // Rewrites the line with done_fraction (0 to 1) of the stop condition reached
  // after cycles cycles; returns at once unless kInterval has passed since the
  // last rewrite (or since construction, so short runs never show the line).
  void Show(double done_fraction, long cycles);

  // Blanks the line and returns the cursor to its start; the destructor does
  // the same, and a later Show brings the line back.
  void Erase();

  static double MonotonicSeconds();

 private:
  FILE* stream_;
  Clock now_;
  bool enabled_;
  double start_;
  double last_shown_;
  int width_;  // characters of the line now on the terminal, 0 when none
};
