// OptionValue: the reading of one option value by its type, from the whole
// text or not at all, and the reason a text is no value of a type.
#pragma once

#include <string>

class OptionValue {
 public:
  virtual ~OptionValue() = default;

  // One finite number in decimal notation: an optional sign, digits with an
  // optional point, an optional exponent. Blanks around it are allowed.
  static bool ToReal(const std::string& text, double& value);
  // A decimal integer, or a number whose value is whole and within the range
  // of long, so that "1e5" is 100000 and "2.0" is 2.
  static bool ToInteger(const std::string& text, long& value);
  // 0 or 1, read as an integer.
  static bool ToBool(const std::string& text, bool& value);
  // Digits only, no sign, point or exponent: counts and classes in tables.
  static bool ToWhole(const std::string& text, double& value);

  // Why text is no value of the option type code (i, f, F, b, s, C), as the
  // rest of a sentence naming the option ("is not an integer (accepted: ...)");
  // empty when it is one.
  static std::string Problem(char type, const std::string& text);
};
