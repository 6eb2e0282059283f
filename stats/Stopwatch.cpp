// Stopwatch: processor-time measurement and its report line.
#include "stats/Stopwatch.h"

Stopwatch::Stopwatch(const bool& start_now) {
  if (start_now) start();
}

void Stopwatch::start() {
  running = true;
  start_ticks = clock();
}

// A reading not past the start reading (a wrapped clock) counts as no time.
double Stopwatch::stop() {
  const clock_t now = clock();
  elapsed = now > start_ticks ? static_cast<double>(now - start_ticks) / CLOCKS_PER_SEC : 0.0;
  running = false;
  return elapsed;
}

void Stopwatch::print(const char* label, FILE* file) const {
  std::fprintf(file, "# %s %g sec\n", label, elapsed);
}
