// Fuzz target for the CSV field rule (CSVString) and the stream reader and
// table conversion (CSVStream), checking the invariants every reader relies on.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
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

// With the check on, only fields of digits and dots convert, so every value
// is a non-negative number (never NaN).
void CheckChecked(const std::vector<double>& values) {
  for (double v : values) Require(v >= 0);
}

void FuzzString(const std::string& text, const char* separators) {
  CSVString csv;
  csv.parse(text, separators);
  Require(csv.text == text);
  CheckFields(csv.elements, separators);
  const std::vector<double> checked = CSVString::cast<double>(csv.elements, true);
  Require(checked.empty() || checked.size() == csv.elements.size());
  CheckChecked(checked);
  Require(CSVString::cast<double>(csv.elements, false).size() == csv.elements.size());
  CSVString::cast<long>(csv.elements, false);
}

void FuzzStream(const std::string& text, const char* separators, char delimiter, bool check) {
  std::istringstream in(text);
  CSVStream stream;
  stream.parse(in, separators, delimiter);
  Require(stream.rows.size() == stream.lines.size());
  for (const auto& row : stream.rows) {
    Require(!row.empty() && row.size() == stream.rows[0].size());
    CheckFields(row, separators);
  }
  std::unique_ptr<ArrayDense<double, unsigned>> table(stream.convert<double>(check));
  Require(table->size == table->d1 * table->d2);
  Require(table->d1 <= stream.rows.size());
  Require(table->empty() || table->d2 == stream.rows[0].size());
  if (check) CheckChecked(std::vector<double>(table->data, table->data + table->size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const char* separators = provider.PickValueInArray(kSeparators);
  const char delimiter = provider.PickValueInArray(kDelimiters);
  const bool check = provider.ConsumeBool();
  const std::string text = provider.ConsumeRemainingBytesAsString();
  FuzzString(text, separators);
  FuzzStream(text, separators, delimiter, check);
  return 0;
}
