// Stopwatch: processor time of a stretch of the run, printed as a "# " comment
// line.
#pragma once

#include <cstdio>
#include <ctime>

class Stopwatch {
 public:
  explicit Stopwatch(const bool& start_now = false);
  virtual ~Stopwatch() = default;

  void start();
  // Measures since the last start and stops.
  double stop();
  // Reports the last measurement as "# <label> <seconds> sec".
  void print(const char* label, FILE* file) const;

  // Full-width clock reading: 32-bit ticks would wrap after ~36 minutes.
  clock_t start_ticks = 0;
  double elapsed = 0.0;
  bool running = false;
};
