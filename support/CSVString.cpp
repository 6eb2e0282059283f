// The field rule shared by CSV option values, help texts and CSV lines.
#include "support/CSVString.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsSpaceOrTab(char c) {
  return c == ' ' || c == '\t';
}

std::string TrimBlanks(const std::string& s, size_t start, size_t end) {
  while (start < end && IsSpaceOrTab(s[start])) ++start;
  while (end > start && IsSpaceOrTab(s[end - 1])) --end;
  return s.substr(start, end - start);
}

}  // namespace

void CSVString::parse(const std::string& new_text, const char* separators) {
  text = new_text;
  elements = Split(text, separators);
}

std::vector<std::string> CSVString::Split(const std::string& s, const char* separators) {
  std::vector<std::string> fields;
  size_t first = 0;
  while (first < s.size() && IsBlank(s[first])) ++first;
  if (first == s.size() || s[first] == '#') return fields;

  auto is_sep = [separators](char c) { return c != '\0' && std::strchr(separators, c) != nullptr; };
  size_t p = 0;
  for (;;) {
    size_t start = p;
    while (start < s.size() && is_sep(s[start])) ++start;
    if (start == s.size()) {
      fields.emplace_back();
      return fields;
    }
    size_t end = start;
    while (end < s.size() && !is_sep(s[end])) ++end;
    fields.push_back(TrimBlanks(s, start, end));
    if (end == s.size()) return fields;
    p = end;
  }
}

std::string CSVString::Trim(const std::string& text) {
  return TrimBlanks(text, 0, text.size());
}
