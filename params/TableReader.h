// TableReader: strict reading of a numeric table (the p and tau tables, the
// node groups): every cell a number its column accepts, every line as wide
// as the others; a first line made only of names is a header and skipped.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "support/ArrayDense.h"
#include "support/CSVStream.h"

class TableReader {
 public:
  // What the cells of one column accept.
  struct Column {
    // Names the cells in messages; when empty they are named by position.
    const char* name;
    // Digits only (no sign, point or exponent), as counts and classes need.
    bool whole;
    double low;
    double high;
    // The accepted values in words.
    const char* accepted;
  };
  using Table = ArrayDense<double, unsigned>;

  // Any number of columns, all alike.
  explicit TableReader(const Column& every) : columns{every} {}
  // Exactly these columns.
  explicit TableReader(std::vector<Column> fixed) : columns(std::move(fixed)), fixed_width(true) {}
  virtual ~TableReader() = default;

  // The items of a list as one row (no item: an empty table). Returns why
  // they are refused, naming source and the item, or "" when they are read.
  std::string ReadList(const std::string& source, const std::vector<std::string>& items,
                       Table& table) const;
  // The rows of a stream; problems name source, the line number and the cell.
  // lines, when given, receives the line number of every table row.
  std::string ReadLines(const std::string& source, const CSVStream& stream, Table& table,
                        std::vector<long>* lines = nullptr) const;

 private:
  const Column& ColumnOf(size_t index) const {
    return columns[fixed_width ? std::min(index, columns.size() - 1) : 0];
  }
  // Why cell is no value of its column ("" when it is one, stored in value);
  // an unnamed column's cells are called by position ("cell 3", "item 3").
  std::string CellProblem(size_t index, const std::string& cell, const char* position,
                          double& value) const;
  std::string WidthProblem(const CSVStream& stream, size_t row, size_t first) const;
  std::string ColumnNames() const;

  std::vector<Column> columns;
  bool fixed_width = false;
};
