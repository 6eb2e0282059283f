// CsvTable: the header and value rows the binary prints (", " separated), read
// back by column name so that tests compare numbers rather than text.
#pragma once

#include <sstream>
#include <string>
#include <vector>

class CsvTable {
 public:
  // lines[0] is the header row, every later line a value row.
  explicit CsvTable(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    names = Fields(lines[0]);
    for (size_t i = 1; i < lines.size(); ++i) rows.push_back(Fields(lines[i]));
  }
  virtual ~CsvTable() = default;

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = line.find(", ", start)) != std::string::npos; start = comma + 2)
      fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    return fields;
  }

  // Text of column name in value row r ("<missing>" when there is none).
  std::string Text(size_t r, const std::string& name) const {
    for (size_t c = 0; c < names.size(); ++c)
      if (names[c] == name && r < rows.size() && c < rows[r].size()) return rows[r][c];
    return "<missing>";
  }
  double Num(size_t r, const std::string& name) const { return std::stod(Text(r, name)); }
  long Int(size_t r, const std::string& name) const { return std::stol(Text(r, name)); }

  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
};
