// Shared by the option-layer tests: an argument vector built from strings,
// temporary input files and the rows of a table.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/ArrayDense.h"

// Writes content byte for byte to a new file under /tmp and returns its name.
inline std::string WriteTempFile(const std::string& content) {
  char name[] = "/tmp/vorn_paramsXXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  std::ofstream(name, std::ios::binary) << content;
  return name;
}

inline std::vector<std::vector<double>> Rows(const ArrayDense<double, unsigned>& table) {
  std::vector<std::vector<double>> rows(table.d1);
  for (unsigned i = 0; i < table.d1; ++i)
    for (unsigned j = 0; j < table.d2; ++j) rows[i].push_back(table(i, j));
  return rows;
}

// An argument vector "vorn" + args; it must outlive the parameters, whose
// string options point into it.

class TestArgs {
 public:
  TestArgs(std::initializer_list<std::string> args) : strings{"vorn"} {
    strings.insert(strings.end(), args);
    for (std::string& s : strings) pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
  }
  TestArgs(const TestArgs&) = delete;
  TestArgs& operator=(const TestArgs&) = delete;
  virtual ~TestArgs() = default;

  int argc() const { return static_cast<int>(strings.size()); }
  char** argv() { return pointers.data(); }

 private:
  std::vector<std::string> strings;
  std::vector<char*> pointers;
};
