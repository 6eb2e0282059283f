// Line-by-line reading of delimited text with the column-count check.
#include "support/CSVStream.h"

#include <cstdio>

void CSVStream::parse(std::istream& in, const char* separators, char delimiter) {
  rows.clear();
  lines.clear();
  size_t expected = 0;
  std::string line;
  while (std::getline(in, line, delimiter)) {
    std::vector<std::string> fields = CSVString::Split(line, separators);
    if (fields.empty()) continue;
    if (expected != 0 && fields.size() != expected) {
      rows.clear();
      lines.clear();
      std::fprintf(stderr, "CSVStream warning: different number of columns in line \"%s\"\n",
                   line.c_str());
      return;
    }
    lines.push_back(line);
    rows.push_back(std::move(fields));
    expected = rows.back().size();
  }
}
