// SimpleStats: the named table of statistics through which every result row
// is printed, as a header of names and a row of formatted values.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "support/CSVString.h"

// One named value with its printf-style format; `integer` tells which value
// field is in use.
class StatEntry {
 public:
  virtual ~StatEntry() = default;

  std::string name;
  std::string format;
  double real_value = 0.0;
  long int_value = 0;
  bool integer = false;
};

class SimpleStats {
 public:
  // Entries reserved up front; more are accommodated by growing the store.
  static constexpr long kCapacity = 100;

  SimpleStats();
  virtual ~SimpleStats() = default;

  // Forgets the entries (their storage is reused); header_done survives so
  // that a refilled table writes its header once per stream.
  void Clear() { count = 0; }
  // First entry named exactly `name`, or -1.
  long IndexOf(const std::string& name) const;

  // Appends a copy of name and value; a null format selects "%g" for reals
  // and "%ld" for integers.
  void Push(const std::string& name, double value, const char* format = nullptr);
  void Push(const std::string& name, long value, const char* format = nullptr);
  void Push(const std::string& name, int value, const char* format = nullptr) {
    Push(name, static_cast<long>(value), format);
  }

  // Value of entry i (nothing for an index not in use); a non-finite real
  // prints as -999.9 in its format. Without csv_layout the value is preceded
  // by its name and "=".
  void Print(long i, std::ostream& os) const;
  void Print(std::ostream& os) const;
  // Values of the entries named by selection ("-" is a " | " group
  // separator, unknown names are skipped); an empty selection prints all.
  void Print(const CSVString& selection, std::ostream& os) const;
  // Names, in the same way; nothing without csv_layout, whose rows name
  // every value themselves.
  void Header(std::ostream& os);
  void HeaderOnce(std::ostream& os);
  void Header(const CSVString& selection, std::ostream& os);

  bool header_done = false;
  long count = 0;
  bool csv_layout = true;
  std::vector<StatEntry> entries;

 private:
  using Writer = void (SimpleStats::*)(long, std::ostream&) const;

  StatEntry& Append(const std::string& name, const char* format, const char* fallback);
  void WriteName(long i, std::ostream& os) const { os << entries[i].name; }
  void WriteAll(Writer write, std::ostream& os) const;
  void WriteSelection(Writer write, const CSVString& selection, std::ostream& os) const;
};
