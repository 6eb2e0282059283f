// SimpleStats: pushing entries, formatting values, and the full and selected
// header and value rows.
#include "stats/SimpleStats.h"

#include <cmath>
#include <cstdio>

namespace {

// Stand-in printed for a real that is NaN or infinite (a ratio over a zero
// count), so a row keeps its columns numeric.
constexpr double kNotFinite = -999.9;

// printf-style formatting of one value into a string of any length.
template <class V>
std::string Format(const std::string& format, V value) {
  char buffer[128];
  const int length = std::snprintf(buffer, sizeof buffer, format.c_str(), value);
  if (length < 0) return std::string();
  if (static_cast<size_t>(length) < sizeof buffer) return std::string(buffer, length);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), format.c_str(), value);
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

SimpleStats::SimpleStats() {
  entries.reserve(kCapacity);
}

long SimpleStats::IndexOf(const std::string& name) const {
  for (long i = 0; i < count; ++i)
    if (entries[i].name == name) return i;
  return -1;
}

StatEntry& SimpleStats::Append(const std::string& name, const char* format, const char* fallback) {
  if (count == static_cast<long>(entries.size())) entries.emplace_back();
  StatEntry& entry = entries[count++];
  entry.name = name;
  entry.format = format ? format : fallback;
  return entry;
}

void SimpleStats::Push(const std::string& name, double value, const char* format) {
  StatEntry& entry = Append(name, format, "%g");
  entry.real_value = value;
  entry.integer = false;
}

void SimpleStats::Push(const std::string& name, long value, const char* format) {
  StatEntry& entry = Append(name, format, "%ld");
  entry.int_value = value;
  entry.integer = true;
}

void SimpleStats::Print(long i, std::ostream& os) const {
  if (i < 0 || i >= count) return;
  const StatEntry& entry = entries[i];
  if (!csv_layout) os << entry.name << '=';
  if (entry.integer)
    os << Format(entry.format, entry.int_value);
  else
    os << Format(entry.format, std::isfinite(entry.real_value) ? entry.real_value : kNotFinite);
}

void SimpleStats::Print(std::ostream& os) const {
  WriteAll(&SimpleStats::Print, os);
}

void SimpleStats::Print(const CSVString& selection, std::ostream& os) const {
  WriteSelection(&SimpleStats::Print, selection, os);
}

void SimpleStats::Header(std::ostream& os) {
  if (!csv_layout) return;
  WriteAll(&SimpleStats::WriteName, os);
  header_done = true;
}

void SimpleStats::HeaderOnce(std::ostream& os) {
  if (!header_done) Header(os);
}

void SimpleStats::Header(const CSVString& selection, std::ostream& os) {
  if (!csv_layout) return;
  WriteSelection(&SimpleStats::WriteName, selection, os);
  header_done = true;
}

void SimpleStats::WriteAll(Writer write, std::ostream& os) const {
  for (long i = 0; i < count; ++i) {
    if (i > 0) os << ", ";
    (this->*write)(i, os);
  }
  os << '\n';
}

// Unknown names write nothing, not even a separator; a known name is preceded
// by ", " when the last thing written is another known name, so that no
// column is left empty.
void SimpleStats::WriteSelection(Writer write, const CSVString& selection, std::ostream& os) const {
  const std::vector<std::string>& items = selection.elements;
  if (items.empty()) return WriteAll(write, os);
  bool after_column = false;
  for (const std::string& item : items) {
    if (item == "-") {
      os << " | ";
      after_column = false;
      continue;
    }
    const long i = IndexOf(item);
    if (i < 0) continue;
    if (after_column) os << ", ";
    (this->*write)(i, os);
    after_column = true;
  }
  os << '\n';
}
