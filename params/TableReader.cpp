// Strict table reading: header detection, field counts and cell values.
#include "params/TableReader.h"

#include <cctype>

#include "params/OptionValue.h"

namespace {

bool IsName(const std::string& cell) {
  return !cell.empty() && std::isalpha(static_cast<unsigned char>(cell[0]));
}

bool AllNames(const std::vector<std::string>& cells) {
  for (const std::string& cell : cells)
    if (!IsName(cell)) return false;
  return true;
}

}  // namespace

std::string TableReader::CellProblem(size_t index, const std::string& cell, const char* position,
                                     double& value) const {
  const Column& column = ColumnOf(index);
  const std::string label = column.name[0] != '\0'
                                ? column.name
                                : std::string(position) + " " + std::to_string(index + 1);
  const char* problem = nullptr;
  if (column.whole && !OptionValue::ToWhole(cell, value))
    problem = "is not a whole number in digits";
  else if (!column.whole && !OptionValue::ToReal(cell, value))
    problem = "is not a number";
  else if (!(value >= column.low && value <= column.high))
    problem = "is out of range";
  if (!problem) return "";
  return label + " \"" + cell + "\" " + problem + " (accepted: " + column.accepted + ")";
}

std::string TableReader::ReadList(const std::string& source, const std::vector<std::string>& items,
                                  Table& table) const {
  table.Resize(items.empty() ? 0 : 1, static_cast<unsigned>(items.size()));
  for (size_t j = 0; j < items.size(); ++j) {
    const std::string problem =
        CellProblem(j, items[j], "item", table(0, static_cast<unsigned>(j)));
    if (!problem.empty()) {
      table.Resize(0);
      return source + ": " + problem;
    }
  }
  return "";
}

std::string TableReader::ReadLines(const std::string& source, const CSVStream& stream, Table& table,
                                   std::vector<long>* lines) const {
  const auto& rows = stream.rows;
  const size_t first = !rows.empty() && AllNames(rows[0]) ? 1 : 0;
  table.Resize(static_cast<unsigned>(rows.size() - first),
               rows.size() > first ? static_cast<unsigned>(rows[first].size()) : 0);
  for (size_t i = first; i < rows.size(); ++i) {
    std::string problem = WidthProblem(stream, i, first);
    for (size_t j = 0; problem.empty() && j < rows[i].size(); ++j)
      problem = CellProblem(j, rows[i][j], "cell",
                            table(static_cast<unsigned>(i - first), static_cast<unsigned>(j)));
    if (!problem.empty()) {
      table.Resize(0);
      return source + " line " + std::to_string(stream.numbers[i]) +
             (problem.compare(0, 4, "has ") == 0 ? " " : ": ") + problem;
    }
  }
  if (lines) lines->assign(stream.numbers.begin() + static_cast<long>(first), stream.numbers.end());
  return "";
}

std::string TableReader::WidthProblem(const CSVStream& stream, size_t row, size_t first) const {
  const size_t width = stream.rows[row].size();
  const std::string fields = std::to_string(width) + (width == 1 ? " field" : " fields");
  if (fixed_width && width != columns.size())
    return "has " + fields + " (accepted: " + std::to_string(columns.size()) + " fields " +
           ColumnNames() + ")";
  if (!fixed_width && width != stream.rows[first].size())
    return "has " + fields + " where line " + std::to_string(stream.numbers[first]) + " has " +
           std::to_string(stream.rows[first].size()) +
           " (accepted: the same number of fields on every line)";
  return "";
}

std::string TableReader::ColumnNames() const {
  std::string names;
  for (const Column& column : columns)
    names += (names.empty() ? "" : ",") + std::string(column.name);
  return names;
}
