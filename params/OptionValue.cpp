// Strict reading of option values: numbers in decimal notation only, whole
// numbers by value, booleans as 0 or 1.
#include "params/OptionValue.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "support/CSVString.h"

namespace {

size_t SkipDigits(const std::string& s, size_t i) {
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  return i;
}

// [+-] (digits [. digits] | . digits) [(e|E) [+-] digits], and nothing else.
bool IsDecimal(const std::string& s) {
  size_t i = s.size() > 0 && (s[0] == '+' || s[0] == '-') ? 1 : 0;
  const size_t whole_end = SkipDigits(s, i);
  size_t end = whole_end;
  bool digits = whole_end > i;
  if (end < s.size() && s[end] == '.') {
    const size_t fraction_end = SkipDigits(s, end + 1);
    digits = digits || fraction_end > end + 1;
    end = fraction_end;
  }
  if (!digits) return false;
  if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
    size_t exponent = end + 1;
    if (exponent < s.size() && (s[exponent] == '+' || s[exponent] == '-')) ++exponent;
    end = SkipDigits(s, exponent);
    if (end == exponent) return false;
  }
  return end == s.size();
}

// The text read by strtod when all of it is consumed (words such as inf and
// nan included); false otherwise.
bool ReadsWhole(const std::string& s, double& value) {
  if (s.empty()) return false;
  char* end = nullptr;
  value = std::strtod(s.c_str(), &end);
  return *end == '\0';
}

// 2^63: the first double beyond the range of long.
constexpr double kLongLimit = 9223372036854775808.0;

}  // namespace

bool OptionValue::ToReal(const std::string& text, double& value) {
  const std::string s = CSVString::Trim(text);
  double read = 0;
  if (!IsDecimal(s) || !ReadsWhole(s, read) || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool OptionValue::ToInteger(const std::string& text, long& value) {
  const std::string s = CSVString::Trim(text);
  const size_t digits = s.size() > 0 && (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (s.size() > digits && SkipDigits(s, digits) == s.size()) {
    errno = 0;
    const long read = std::strtol(s.c_str(), nullptr, 10);
    if (errno == ERANGE) return false;
    value = read;
    return true;
  }
  double real = 0;
  if (!ToReal(s, real) || real != std::floor(real) || real < -kLongLimit || real >= kLongLimit)
    return false;
  value = static_cast<long>(real);
  return true;
}

bool OptionValue::ToBool(const std::string& text, bool& value) {
  long read = 0;
  if (!ToInteger(text, read) || (read != 0 && read != 1)) return false;
  value = read == 1;
  return true;
}

bool OptionValue::ToWhole(const std::string& text, double& value) {
  if (text.empty() || SkipDigits(text, 0) != text.size()) return false;
  value = std::strtod(text.c_str(), nullptr);
  return true;
}

std::string OptionValue::Problem(char type, const std::string& text) {
  const std::string s = CSVString::Trim(text);
  double real = 0;
  long integer = 0;
  bool flag = false;
  switch (type) {
    case 'i':
      if (ToInteger(s, integer)) return "";
      if (IsDecimal(s) && ReadsWhole(s, real) && real == std::floor(real))
        return "is out of range (accepted: integers from -9223372036854775808 to "
               "9223372036854775807)";
      return "is not an integer (accepted: a whole number such as 10, 1e5 or 2.0)";
    case 'f':
    case 'F':
      if (ToReal(s, real)) return "";
      if (IsDecimal(s) || (ReadsWhole(s, real) && !std::isfinite(real)))
        return "is out of range (accepted: finite numbers)";
      return "is not a number (accepted: one finite number such as 0.5 or 1e-06)";
    case 'b':
      return ToBool(s, flag) ? "" : "is not a boolean (accepted: 0 or 1)";
  }
  return "";
}
