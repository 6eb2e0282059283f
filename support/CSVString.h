// CSVString: one text split into trimmed fields by the field rule that every
// CSV reader shares.
#pragma once

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

  // text without the spaces and tabs at both ends.
  static std::string Trim(const std::string& text);

  std::string text;
  std::vector<std::string> elements;
};
