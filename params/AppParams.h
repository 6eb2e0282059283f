// AppParams: the generic OPTION=VALUE layer under all configuration: the
// option table, the value lookup, the help screen and "lastopts.lst".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "params/OptionRecord.h"
#include "support/CSVString.h"

class AppParams {
 public:
  static constexpr long kMaxOptions = 256;

  AppParams() = default;
  AppParams(const AppParams&) = delete;
  AppParams& operator=(const AppParams&) = delete;
  virtual ~AppParams() = default;

  // Stores the argument vector and registers the six own options; the options
  // file is appended right after optfile is registered.
  void GetArguments(int argc, char** argv);

  // Text after the key name+suffix in the first argument starting with it.
  char* ExtractParameter(const char* name, const char* suffix) const;

  // Registration: appends a record and converts the value found, if any.
  void Push(const char* name, double& variable, const char* help, bool hidden = false);
  void Push(const char* name, long double& variable, const char* help, bool hidden = false);
  void Push(const char* name, bool& variable, const char* help, bool hidden = false);
  void Push(const char* name, const char*& variable, const char* help, bool hidden = false);
  void Push(const char* name, long& variable, const char* help, bool hidden = false);
  void Push(const char* name, CSVString& variable, const char* help, bool hidden = false);

  // Raw value text of an unregistered option, or null.
  char* ParseOption(const char* name, const char* help) const;

  std::string Print(long index) const;
  void PrintArgv() const;
  void PrintHelp(long index, long name_width, long line_width) const;
  // Prints the help screen and exits with status 0 when "-h" or "--help" was given.
  void CatchHelp(long line_width) const;
  // Appends the options file's OPTION=VALUE lines, name and value trimmed.
  void ParseOptionsFile();
  void DumpFileOpts() const;
  // The first argument that is not OPTION=VALUE with a registered name and a
  // value of its type, as a message naming it; empty when every one is.
  std::string ArgumentProblem() const;
  // Ends the process with status 1 on the ArgumentProblem, if any.
  void CheckArguments() const;
  // The registered name closest to name (a likely typing error), or "".
  std::string ClosestName(const std::string& name) const;
  // Rejects a debug level below 0; each layer checks its own options first.
  void CheckRanges() const;
  // Rejects a float option holding NaN or an infinity: no option means
  // anything by them, and an infinite time limit or rate never ends a run.
  void CheckFinite() const;

  long arg_count = 0;
  char** arg_vector = nullptr;
  long option_count = 0;
  std::array<OptionRecord, kMaxOptions> options;

  bool show_hidden = false;
  bool csv = true;
  const char* optfile = "";
  long debug = 2;
  bool header = false;
  CSVString stats;

  // NAME=VALUE of the option bound to variable, as given when it was (the
  // alias in force included), else with the value in force.
  std::string Setting(const void* variable) const;

 protected:
  // Writes "Error: " and the formatted text as one line to standard error and
  // ends the process with status.
  [[noreturn]] static void Reject(int status, const char* format, ...)
      __attribute__((format(printf, 2, 3)));
  // Rejects with status 1 when problem is not empty, problem being the message.
  static void RejectIf(const std::string& problem);
  // printf-style formatting into a string of any length.
  static std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
  // Rejects, with status, the value of the option bound to variable unless
  // ok: "Error: NAME=VALUE is out of range (accepted: ACCEPTED)."
  void Accept(const void* variable, bool ok, const char* accepted, int status = 1) const;
  // True when some option bound to variable was given.
  bool Given(const void* variable) const;
  // Rejects the option bound to variable when it was given and differs from
  // in_force, the value the option `by` leaves it: "Error: NAME=VALUE is
  // overridden by BY (accepted: NAME=IN_FORCE, the value in force, or no NAME)."
  void RejectOverridden(const void* variable, bool differs, const char* by,
                        const std::string& in_force) const;

 private:
  // Appends a record and returns the value text given for it, or null.
  char* Register(const char* name, void* variable, char type, const char* help, bool hidden);
  bool HelpRequested() const;
  const OptionRecord* Find(const std::string& name) const;
  std::string ArgumentProblem(long index) const;

  // Backing store of the argument vector once an options file extends it.
  std::vector<std::string> owned_lines;
  std::vector<char*> owned_vector;
  // Arguments from the command line; the options file's lines follow, with
  // their line numbers in file_lines.
  long command_line_count = 0;
  std::vector<long> file_lines;
};
