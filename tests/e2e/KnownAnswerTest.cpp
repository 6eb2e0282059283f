// Seeded known-answer runs through the binary. Each file of
// tests/e2e/known_answers/ holds one run: its arguments ("== args"), the input
// files it reads ("== in/NAME"), then its status, standard output, standard
// error, the options it recorded and every file of its output folder, all
// pinned, so a changed outcome rule, round schedule, counter, format or
// option shows at once.
//
// To add a run, write a file with its "== args" (and "== in/") sections. When
// the random stream or an output changes on purpose, regenerate every file
// from its own inputs with
//   VORN_REGENERATE=1 build/tests/KnownAnswerTest
// and review the difference (git diff tests/e2e/known_answers) before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/RunBinary.h"

namespace {

const std::filesystem::path kFolder =
    std::filesystem::path(VORN_SOURCE_DIR) / "tests/e2e/known_answers";

struct KnownRun {
  std::vector<std::string> args;
  std::map<std::string, std::string> files;
};

// The inputs of a run from the sections of its file that come before "== status".
KnownRun ReadInputs(const std::string& text) {
  KnownRun run;
  std::istringstream lines(text);
  std::string* file = nullptr;
  for (std::string line; std::getline(lines, line) && line.rfind("== status", 0) != 0;) {
    if (line.rfind("== in/", 0) == 0) {
      file = &run.files[line.substr(6)];
    } else if (file) {
      *file += line + '\n';
    } else if (line != "== args") {
      run.args.push_back(line);
    }
  }
  return run;
}

// Standard error with the times of the timing lines masked, which change from
// run to run; which timing lines appear, and where, is pinned.
std::string MaskTimes(const std::string& err) {
  std::istringstream lines(err);
  std::string masked;
  for (std::string line; std::getline(lines, line);) {
    const bool timing = line.rfind("# cont ", 0) == 0 || line.rfind("# total ", 0) == 0;
    masked += (timing ? line.substr(0, line.find(' ', 2)) + " <s> sec" : line) + '\n';
  }
  return masked;
}

// The run's inputs and whole observable result: status, standard output,
// standard error, lastopts.lst and every file of the output folder.
std::string Observe(const KnownRun& run, const RunBinary& bin = RunBinary()) {
  std::ostringstream text;
  text << "== args\n";
  for (const std::string& arg : run.args) text << arg << '\n';
  for (const auto& [name, content] : run.files)
    text << "== in/" << name << '\n' << content, bin.WriteFile(name, content);
  const RunResult result = bin.Run(run.args);
  // The help screen names the binary, wherever it was built.
  std::string out = result.out;
  for (size_t at; (at = out.find(VORN_BINARY)) != std::string::npos;)
    out.replace(at, std::string(VORN_BINARY).size(), "vorn");
  text << "== status " << result.status << "\n== stdout\n"
       << out << "== stderr\n"
       << MaskTimes(result.err);
  if (bin.Exists("lastopts.lst")) text << "== lastopts.lst\n" << bin.ReadFile("lastopts.lst");
  std::set<std::string> names;
  if (bin.Exists("out"))
    for (const auto& entry : std::filesystem::directory_iterator(bin.dir / "out"))
      names.insert(entry.path().filename().string());
  for (const std::string& name : names)
    text << "== out/" << name << '\n' << bin.ReadFile("out/" + name);
  return text.str();
}

std::vector<std::string> RunNames() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kFolder))
    names.insert(entry.path().stem().string());
  return {names.begin(), names.end()};
}

class KnownAnswer : public testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(KnownAnswer, RunMatchesPinnedOutput) {
  const std::string path = (kFolder / (GetParam() + ".txt")).string();
  const std::string pinned = TempFolder::ReadPath(path);
  const std::string observed = Observe(ReadInputs(pinned));
  if (std::getenv("VORN_REGENERATE")) {
    std::ofstream(path, std::ios::binary) << observed;
    GTEST_SKIP() << "regenerated " << path;
  }
  EXPECT_EQ(observed, pinned);
}

INSTANTIATE_TEST_SUITE_P(Runs, KnownAnswer, testing::ValuesIn(RunNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

// A run without a seed records the one it used, and its record repeats it:
// F as given (not F*L), every digit of a float the run used, values the
// bandwidth overrides and options that copy others.
TEST(KnownAnswer, RunRepeatsFromItsRecordedOptions) {
  const KnownRun first{{"runs=2000", "M=6", "fsf_type=4", "nodes_stats=1", "pdf_winners=1", "L=2",
                        "F=4", "ar_type=3", "ar_rate=1234567", "y=-79.1234567", "chan_bw=10",
                        "ts=1", "fsf_prob_ap=-1", "Kratio=0.5", "K=4", "B_signal=7"},
                       {}};
  RunBinary bin;
  const std::string observed = Observe(first, bin);
  const std::string record = bin.ReadFile("lastopts.lst");
  EXPECT_EQ(record.find("\nseed=0\n"), std::string::npos);
  const KnownRun repeat{{"optfile=lastopts.lst"}, {{"lastopts.lst", record}}};
  const std::string repeated = Observe(repeat);
  // The repeat says on standard error that it read the options file.
  const auto results = [](const std::string& text) {
    const size_t stdout_at = text.find("== stdout"), stderr_at = text.find("== stderr");
    return text.substr(stdout_at, stderr_at - stdout_at) + text.substr(text.find("== out/"));
  };
  EXPECT_EQ(results(repeated), results(observed));
}
