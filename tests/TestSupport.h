// Shared by every test: argument vectors built from strings, temporary
// folders that are removed with their content, and the rows of a table.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "support/ArrayDense.h"

// An argument vector "vorn" + args; it must outlive the parameters, whose
// string options point into it.
class TestArgs {
 public:
  TestArgs(std::initializer_list<std::string> args) : TestArgs(std::vector<std::string>(args)) {}
  explicit TestArgs(const std::vector<std::string>& args) : strings{"vorn"} {
    strings.insert(strings.end(), args.begin(), args.end());
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

// Parameters of type P (a configuration layer) read from args and
// initialised, with the argument vector they point into.
template <class P>
struct Configured {
  explicit Configured(std::initializer_list<std::string> list) : args(list) {
    params.GetArguments(args.argc(), args.argv());
    params.Initialize();
  }
  virtual ~Configured() = default;
  TestArgs args;
  P params;
};

// <tmp>/vorn_test_XXXXXX with the folder "run" inside it, where files are
// read and written; what lies beside "run" belongs to the test itself.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorn_test_XXXXXX").string();
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
    base = pattern;
    dir = base / "run";
    std::filesystem::create_directory(dir);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  virtual ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
  }

  std::string Path(const std::string& name) const { return (dir / name).string(); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
  // Whole content of a file ("" when missing).
  std::string ReadFile(const std::string& name) const { return ReadPath(Path(name)); }
  std::vector<std::string> ReadLines(const std::string& name) const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(name));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Writes content byte for byte, creating parent folders as needed; returns the path.
  std::string WriteFile(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories((dir / name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << content;
    return Path(name);
  }
  void Remove(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove_all(dir / name, ignored);
  }

  std::filesystem::path base;
  std::filesystem::path dir;

  static std::string ReadPath(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
};

inline std::vector<std::vector<double>> Rows(const ArrayDense<double, unsigned>& table) {
  std::vector<std::vector<double>> rows(table.d1);
  for (unsigned i = 0; i < table.d1; ++i)
    for (unsigned j = 0; j < table.d2; ++j) rows[i].push_back(table(i, j));
  return rows;
}
