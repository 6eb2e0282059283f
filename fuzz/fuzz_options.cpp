// Fuzz target for the option framework: an options file read through a
// temporary file, argument lookup, the typed Push conversions and their
// agreement with the argument check, and Print and PrintHelp over a table of
// fuzzed names and help texts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "params/AppParams.h"
#include "params/OptionValue.h"

namespace {

std::string options_file;

// The scratch folder goes when the fuzzer ends (it exits at its time limit).
void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(options_file).parent_path(), ignored);
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// Bound variables of the fuzzed options; a deque keeps their addresses fixed.
class FuzzedTable : public AppParams {
 public:
  ~FuzzedTable() override = default;

  void PushFuzzed(FuzzedDataProvider& provider) {
    const std::string name = provider.ConsumeRandomLengthString(12);
    const std::string help = provider.ConsumeRandomLengthString(200);
    const bool hidden = provider.ConsumeBool();
    switch (provider.ConsumeIntegralInRange(0, 5)) {
      case 0:
        return Push(name.c_str(), integers.emplace_back(0), help.c_str(), hidden);
      case 1:
        return Push(name.c_str(), reals.emplace_back(0.0), help.c_str(), hidden);
      case 2:
        return Push(name.c_str(), wides.emplace_back(0.0L), help.c_str(), hidden);
      case 3:
        return Push(name.c_str(), flags.emplace_back(false), help.c_str(), hidden);
      case 4:
        return Push(name.c_str(), texts.emplace_back(""), help.c_str(), hidden);
      default:
        return Push(name.c_str(), lists.emplace_back("a,b"), help.c_str(), hidden);
    }
  }

  // A value the conversion of its type reads is one the argument check
  // accepts, and the other way round.
  static void CheckAgreement(const std::string& text) {
    long integer = 0;
    double real = 0;
    bool flag = false;
    Require(OptionValue::ToInteger(text, integer) == OptionValue::Problem('i', text).empty());
    Require(OptionValue::ToReal(text, real) == OptionValue::Problem('f', text).empty());
    Require(OptionValue::ToBool(text, flag) == OptionValue::Problem('b', text).empty());
  }

  // The text found for name must be the rest of an argument that starts with the key.
  void CheckLookup(const std::string& name, const char* suffix) const {
    const char* found = ExtractParameter(name.c_str(), suffix);
    if (!found) return;
    const std::string key = std::string(name.c_str()) + suffix;  // as a C string, like names
    bool inside = false;
    for (long i = 0; i < arg_count; ++i)
      inside = inside || (found == arg_vector[i] + key.size() &&
                          std::strncmp(arg_vector[i], key.c_str(), key.size()) == 0);
    Require(inside);
  }

  std::deque<long> integers;
  std::deque<double> reals;
  std::deque<long double> wides;
  std::deque<bool> flags;
  std::deque<const char*> texts;
  std::deque<CSVString> lists;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Help and argument listings go to standard output.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  char folder[] = "/tmp/vorn_fuzz_optionsXXXXXX";
  if (!mkdtemp(folder)) std::abort();
  options_file = std::string(folder) + "/opts.txt";
  std::atexit(RemoveScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  std::ofstream(options_file, std::ios::binary) << provider.ConsumeRandomLengthString(4096);

  std::deque<std::string> args = {"vorn"};
  // The first optfile argument wins, so fuzzed ones never name a missing file.
  args.push_back(provider.ConsumeBool() ? "optfile=" + options_file : "optfile=");
  const int n_args = provider.ConsumeIntegralInRange(0, 12);
  for (int i = 0; i < n_args; ++i) args.push_back(provider.ConsumeRandomLengthString(64));
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);

  FuzzedTable table;
  table.GetArguments(static_cast<int>(args.size()), argv.data());
  const int n_options = provider.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < n_options; ++i) table.PushFuzzed(provider);
  Require(table.option_count == 6 + n_options);

  const std::string probe = provider.ConsumeRandomLengthString(16);
  table.CheckLookup(probe, "=");
  table.CheckLookup(probe, "");
  table.ParseOption(probe.c_str(), "");
  table.ArgumentProblem();
  table.ClosestName(probe);
  FuzzedTable::CheckAgreement(probe);

  const long name_width = provider.ConsumeIntegralInRange(0, 64);
  const long line_width = provider.ConsumeIntegralInRange(0, 200);
  table.show_hidden = provider.ConsumeBool();
  for (long i = 0; i < table.option_count; ++i) {
    table.Print(i);
    table.PrintHelp(i, name_width, line_width);
  }
  table.PrintArgv();
  return 0;
}
