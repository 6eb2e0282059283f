// ProgressLine: formatting and rate-limited rewriting of the progress line on
// a terminal.
#include "stats/ProgressLine.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// Rates as 950, 12.3k or 4.56M, to keep the line short and readable.
void FormatRate(double per_second, char* text, size_t size) {
  if (per_second >= 1e6) {
    snprintf(text, size, "%.2fM", per_second / 1e6);
  } else if (per_second >= 1e3) {
    snprintf(text, size, "%.2fk", per_second / 1e3);
  } else {
    snprintf(text, size, "%.0f", per_second);
  }
}

// H:MM:SS, or --:--:-- while nothing is done yet to estimate from (or the
// estimate runs to years).
void FormatDuration(double seconds, char* text, size_t size) {
  if (!(seconds >= 0 && seconds < 1e8)) {
    snprintf(text, size, "--:--:--");
    return;
  }
  const long whole = std::lround(seconds);
  snprintf(text, size, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
}

}  // namespace

ProgressLine::ProgressLine(FILE* stream, Clock now)
    : stream_(stream),
      now_(now),
      enabled_(stream != nullptr && isatty(fileno(stream))),
      start_(now()),
      last_shown_(start_),
      width_(0) {}

ProgressLine::~ProgressLine() {
  Erase();
}

double ProgressLine::MonotonicSeconds() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double>(since).count();
}

void ProgressLine::Show(double done_fraction, long cycles) {
  if (!enabled_) return;
  const double now = now_();
  if (now - last_shown_ < kInterval) return;
  last_shown_ = now;
  const double elapsed = now - start_;
  const double done = std::isfinite(done_fraction) ? std::clamp(done_fraction, 0.0, 1.0) : 0.0;
  char rate[32], left[32], line[128];
  FormatRate(cycles / elapsed, rate, sizeof rate);
  FormatDuration(done > 0 ? elapsed * (1 - done) / done : -1, left, sizeof left);
  const int length = std::min<int>(
      snprintf(line, sizeof line, "%5.1f%% done, %s cycles/s, %s left", 100 * done, rate, left),
      sizeof line - 1);
  // Blanks pad over the rest of a longer previous line.
  fprintf(stream_, "\r%s%*s", line, std::max(0, width_ - length), "");
  fflush(stream_);
  width_ = length;
}

void ProgressLine::Erase() {
  if (width_ == 0) return;
  fprintf(stream_, "\r%*s\r", width_, "");
  fflush(stream_);
  width_ = 0;
}
