// Reading a CSV file; CR LF line ends read like LF.
#include "support/CSVFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

[[noreturn]] void CannotRead(const std::string& name) {
  std::fprintf(stderr, "CSVFile error: Cannot open/read file \"%s\"\n", name.c_str());
  std::exit(1);
}

}  // namespace

CSVFile::CSVFile(const std::string& name, const char* separators) {
  std::ifstream file(name);
  if (!file) CannotRead(name);
  // A directory opens but throws on the first read.
  std::string content;
  try {
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    CannotRead(name);
  }
  // Text mode on this platform keeps the CR of CR LF, so drop it here.
  std::string text;
  text.reserve(content.size());
  for (size_t i = 0; i < content.size(); ++i)
    if (!(content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n'))
      text.push_back(content[i]);
  std::istringstream in(text);
  parse(in, separators, '\n');
}
