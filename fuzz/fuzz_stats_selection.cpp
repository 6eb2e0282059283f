// Fuzz target for the column selection of SimpleStats: a fuzzed selection
// over a fixed table, whose header and value rows must keep the same shape.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

#include "stats/SimpleStats.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Every type and default format, the formats the statistics writers use,
// non-finite reals and a duplicated name.
SimpleStats MakeTable() {
  SimpleStats table;
  table.Push("T", 0.25);
  table.Push("S", 1234567L);
  table.Push("Ps", 0.5, "%.4f");
  table.Push("delay", std::nan(""), "%7.0f");
  table.Push("inf", HUGE_VAL);
  table.Push("T", 99.0);
  table.Push("M", 5);
  return table;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SimpleStats table = MakeTable();
  FuzzedDataProvider provider(data, size);
  const long index = provider.ConsumeIntegralInRange<long>(-2, 12);
  const CSVString selection(provider.ConsumeRemainingBytesAsString());

  std::ostringstream header, values, one;
  table.Header(selection, header);
  table.Print(selection, values);
  table.Print(index, one);
  const std::string h = header.str(), v = values.str();
  Require(!h.empty() && h.back() == '\n' && !v.empty() && v.back() == '\n');
  // Names and values hold no separators, so both rows have the same ones.
  Require(Count(h, ", ") == Count(v, ", "));
  Require(Count(h, " | ") == Count(v, " | "));
  if (selection.elements.empty()) {
    std::ostringstream all;
    table.Print(all);
    Require(all.str() == v);
  }
  return 0;
}
