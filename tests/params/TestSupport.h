// Shared by the option-layer tests: an argument vector built from strings and
// temporary input files.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Writes content byte for byte to a new file under /tmp and returns its name.
inline std::string WriteTempFile(const std::string& content) {
  char name[] = "/tmp/vorn_paramsXXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  std::ofstream(name, std::ios::binary) << content;
  return name;
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
