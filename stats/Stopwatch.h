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
  // Measures since the last start, stops, and optionally reports to file.
  double stop(const bool& print, const char* label, FILE* file);
  // Stops (measuring, silently) when running, starts otherwise.
  void toggle();
  double get() const { return elapsed; }
  // Reports the last measurement without measuring again.
  void print(const char* label, FILE* file) const;

  // Full-width clock reading: 32-bit ticks would wrap after ~36 minutes.
  clock_t start_ticks = 0;
  double elapsed = 0.0;
  bool running = false;

 private:
  void Measure();
};
