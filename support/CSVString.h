// CSVString: one text split into trimmed fields, and the numeric conversion of
// fields that every table reader shares.
#pragma once

#include <sstream>
#include <string>
#include <vector>

class CSVString {
 public:
  CSVString() = default;
  explicit CSVString(const std::string& text, const char* separators = ",") {
    parse(text, separators);
  }
  virtual ~CSVString() = default;

  // Stores text and rebuilds elements from it by the field rule (Split).
  void parse(const std::string& text, const char* separators = ",");

  // The field rule: a blank text, or one whose first non-blank character is
  // '#', has no fields; runs of separators count as one, leading ones are
  // skipped, a trailing run adds one empty field; fields lose outer blanks.
  static std::vector<std::string> Split(const std::string& text, const char* separators);

  // True when the field holds only '.' and digits (no sign, no exponent).
  static bool IsNumericField(const std::string& field);

  // Converts fields by stream extraction (0 where nothing reads). With check,
  // any field that is not IsNumericField makes the whole result empty, which
  // is how header lines and signed values are dropped from tables.
  template <class T>
  static std::vector<T> cast(const std::vector<std::string>& fields, const bool& check) {
    std::vector<T> result(fields.size(), T(0));
    for (size_t i = 0; i < fields.size(); ++i) {
      if (check && !IsNumericField(fields[i])) return {};
      std::istringstream in(fields[i]);
      T value{};
      if (in >> value) result[i] = value;
    }
    return result;
  }

  std::string text;
  std::vector<std::string> elements;
};
