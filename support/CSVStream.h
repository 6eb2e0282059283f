// CSVStream: a whole text stream read line by line into rows of fields, each
// with its line number.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "support/CSVString.h"

class CSVStream {
 public:
  CSVStream() = default;
  virtual ~CSVStream() = default;

  // Reads lines up to delimiter, skipping blank and comment lines; lines may
  // differ in their field counts, which the readers of tables check.
  void parse(std::istream& in, const char* separators, char delimiter = '\n');

  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines;
  // Line number (from 1, blank and comment lines counted) of every row.
  std::vector<long> numbers;
};
