// CSVStream: a whole text stream read line by line into rows of fields, and
// its conversion into a numeric table.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "support/ArrayDense.h"
#include "support/CSVString.h"

class CSVStream {
 public:
  CSVStream() = default;
  virtual ~CSVStream() = default;

  // Reads lines up to delimiter, skipping blank and comment lines. A line
  // whose field count differs from the first kept one discards everything
  // (with a warning on standard error) and ends the reading.
  void parse(std::istream& in, const char* separators, char delimiter = '\n');

  // Rows that convert (see CSVString::cast) become the rows of a new table
  // sized by the first of them; the caller owns the result.
  template <class T>
  ArrayDense<T, unsigned>* convert(const bool& check) const {
    std::vector<std::vector<T>> kept;
    for (const auto& row : rows) {
      std::vector<T> values = CSVString::cast<T>(row, check);
      if (!values.empty()) kept.push_back(std::move(values));
    }
    auto* table = new ArrayDense<T, unsigned>();
    if (kept.empty()) return table;
    unsigned cols = static_cast<unsigned>(kept[0].size());
    table->Resize(static_cast<unsigned>(kept.size()), cols);
    for (unsigned i = 0; i < kept.size(); ++i)
      for (unsigned j = 0; j < cols && j < kept[i].size(); ++j) (*table)(i, j) = kept[i][j];
    return table;
  }

  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines;
};
