// Line-by-line reading of delimited text.
#include "support/CSVStream.h"

void CSVStream::parse(std::istream& in, const char* separators, char delimiter) {
  rows.clear();
  lines.clear();
  numbers.clear();
  std::string line;
  for (long number = 1; std::getline(in, line, delimiter); ++number) {
    std::vector<std::string> fields = CSVString::Split(line, separators);
    if (fields.empty()) continue;
    lines.push_back(line);
    rows.push_back(std::move(fields));
    numbers.push_back(number);
  }
}
