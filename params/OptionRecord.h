// OptionRecord: one registered option of the option table, with the address
// of the variable it is bound to.
#pragma once

#include <string>

class OptionRecord {
 public:
  virtual ~OptionRecord() = default;

  std::string name;
  // The bound variable for the types i, f, F, b and C; for s the string value
  // itself, taken when the option was registered.
  void* value = nullptr;
  std::string help;
  char type = '\0';
  bool hidden = false;
  // The value text given for the option, or null when none was given.
  const char* given = nullptr;
};
