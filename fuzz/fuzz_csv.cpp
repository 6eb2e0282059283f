// Fuzz target for the CSV field rule (CSVString) and the stream reader
// (CSVStream), checking the invariants every reader relies on.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "support/CSVStream.h"
#include "support/CSVString.h"

namespace {

// The separator sets and delimiters the simulator itself uses, plus odd ones.
const char* const kSeparators[] = {",", "=", "\n", " ", ";,", ", \t", "#", ""};
const char kDelimiters[] = {'\n', ';', ',', '\0', '#'};

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckFields(const std::vector<std::string>& fields, const char* separators) {
  for (const std::string& field : fields) {
    for (char c : field) Require(c == '\0' || std::strchr(separators, c) == nullptr);
    if (!field.empty()) {
      Require(field.front() != ' ' && field.front() != '\t');
      Require(field.back() != ' ' && field.back() != '\t');
    }
  }
}

void FuzzString(const std::string& text, const char* separators) {
  CSVString csv;
  csv.parse(text, separators);
  Require(csv.text == text);
  CheckFields(csv.elements, separators);
}

void FuzzStream(const std::string& text, const char* separators, char delimiter) {
  std::istringstream in(text);
  CSVStream stream;
  stream.parse(in, separators, delimiter);
  Require(stream.rows.size() == stream.lines.size());
  Require(stream.rows.size() == stream.numbers.size());
  for (size_t i = 0; i < stream.rows.size(); ++i) {
    Require(!stream.rows[i].empty());
    Require(stream.numbers[i] > (i == 0 ? 0 : stream.numbers[i - 1]));
    CheckFields(stream.rows[i], separators);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const char* separators = provider.PickValueInArray(kSeparators);
  const char delimiter = provider.PickValueInArray(kDelimiters);
  const std::string text = provider.ConsumeRemainingBytesAsString();
  FuzzString(text, separators);
  FuzzStream(text, separators, delimiter);
  return 0;
}
