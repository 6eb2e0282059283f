// The option table: registration with immediate lookup, the options file, the
// help screen and the values file.
#include "params/AppParams.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "params/OptionValue.h"
#include "support/CSVFile.h"

namespace {

std::string Format(const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// The shortest %g text that reads back as the very same value, so that a run
// repeated from lastopts.lst gets the values this one used; 6 digits when
// they suffice, as for every default.
std::string RealText(double value) {
  for (int digits = 6; digits < 17; ++digits) {
    const std::string text = Format("%.*g", digits, value);
    if (std::strtod(text.c_str(), nullptr) == value) return text;
  }
  return Format("%.17g", value);
}

// Edits that turn a into b, letters compared without case.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = row[j];
      row[j] = next;
    }
  }
  return row[b.size()];
}

}  // namespace

void AppParams::GetArguments(int argc, char** argv) {
  arg_count = argc;
  arg_vector = argv;
  command_line_count = argc;
  Push("optfile", optfile,
       "Get options from the specified file. The file must have one OPTION=VALUE pair per line. "
       "Options in the command-line have precedence over the same options in the file.");
  ParseOptionsFile();
  Push("show_hidden", show_hidden, "Show hidden/reserved options", true);
  Push("stats", stats, "CSV list of selective stats (column headers) to display");
  Push("csv", csv,
       "Whether the output is in CSV format (two rows, header and values) or more human readable "
       "(one row, x=value, y=othervalue, etc");
  Push("debug", debug, "Debug level: 0=results only, 1=add header, 2=add stopwatches, etc...");
  Push("header", header, "Display header only");
}

char* AppParams::ExtractParameter(const char* name, const char* suffix) const {
  const std::string key = std::string(name) + suffix;
  for (long i = 0; i < arg_count; ++i)
    if (std::strncmp(arg_vector[i], key.c_str(), key.size()) == 0)
      return arg_vector[i] + key.size();
  return nullptr;
}

char* AppParams::Register(const char* name, void* variable, char type, const char* help,
                          bool hidden) {
  // A full table would be overwritten silently; a build that registers too many must not run.
  if (option_count >= kMaxOptions) {
    std::fprintf(
        stderr,
        "Error: cannot register option \"%s\": the option table holds at most %ld options.\n", name,
        kMaxOptions);
    std::exit(1);
  }
  OptionRecord& record = options[option_count++];
  record.name = name;
  record.value = variable;
  record.help = help;
  record.type = type;
  record.hidden = hidden;
  char* text = ExtractParameter(name, "=");
  record.given = text;
  return text;
}

// A value that is no value of the type leaves the variable as it is; the
// argument check reports it once help had its chance.
void AppParams::Push(const char* name, double& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'f', help, hidden))
    OptionValue::ToReal(text, variable);
}

void AppParams::Push(const char* name, long double& variable, const char* help, bool hidden) {
  double value = 0;
  if (const char* text = Register(name, &variable, 'F', help, hidden))
    if (OptionValue::ToReal(text, value)) variable = value;
}

void AppParams::Push(const char* name, bool& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'b', help, hidden))
    OptionValue::ToBool(text, variable);
}

void AppParams::Push(const char* name, const char*& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, nullptr, 's', help, hidden)) variable = text;
  options[option_count - 1].value = const_cast<char*>(variable);
}

void AppParams::Push(const char* name, long& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'i', help, hidden))
    OptionValue::ToInteger(text, variable);
}

void AppParams::Push(const char* name, CSVString& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'C', help, hidden)) variable.parse(text, ",");
}

void AppParams::Reject(int status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::fputs("Error: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputs(".\n", stderr);
  va_end(args);
  std::exit(status);
}

void AppParams::RejectIf(const std::string& problem) {
  if (!problem.empty()) Reject(1, "%s", problem.c_str());
}

void AppParams::Accept(const void* variable, bool ok, const char* accepted, int status) const {
  if (!ok) Reject(status, "%s is out of range (accepted: %s)", Setting(variable).c_str(), accepted);
}

std::string AppParams::Setting(const void* variable) const {
  long found = -1;
  for (long i = 0; i < option_count; ++i)
    if (options[i].value == variable && (found < 0 || options[i].given)) found = i;
  if (found < 0) return "";
  const OptionRecord& record = options[found];
  return record.name + "=" + (record.given ? std::string(record.given) : Print(found));
}

bool AppParams::Given(const void* variable) const {
  for (long i = 0; i < option_count; ++i)
    if (options[i].value == variable && options[i].given) return true;
  return false;
}

void AppParams::RejectOverridden(const void* variable, bool differs, const char* by,
                                 const std::string& in_force) const {
  if (!differs || !Given(variable)) return;
  const std::string given = Setting(variable);
  const std::string name = given.substr(0, given.find('='));
  Reject(1, "%s is overridden by %s (accepted: %s=%s, the value in force, or no %s)", given.c_str(),
         by, name.c_str(), in_force.c_str(), name.c_str());
}

std::string AppParams::Text(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, again);
  va_end(again);
  text.resize(text.size() - 1);
  return text;
}

char* AppParams::ParseOption(const char* name, const char*) const {
  return ExtractParameter(name, "=");
}

std::string AppParams::Print(long index) const {
  const OptionRecord& record = options[index];
  switch (record.type) {
    case 'i':
      return Format("%ld", *static_cast<const long*>(record.value));
    case 'f':
      return RealText(*static_cast<const double*>(record.value));
    case 'F':
      return RealText(static_cast<double>(*static_cast<const long double*>(record.value)));
    case 'b':
      return Format("%u", *static_cast<const bool*>(record.value) ? 1u : 0u);
    case 's':
      return record.value ? static_cast<const char*>(record.value) : "";
    case 'C':
      return static_cast<const CSVString*>(record.value)->text;
  }
  return "";
}

void AppParams::PrintArgv() const {
  for (long i = 0; i < arg_count; ++i) std::printf("argv: %s\n", arg_vector[i]);
}

void AppParams::PrintHelp(long index, long name_width, long line_width) const {
  const OptionRecord& record = options[index];
  if (record.hidden && !show_hidden) return;
  const std::string text = record.help + " [" + Print(index) + "]";
  const unsigned long room = static_cast<unsigned long>(line_width - name_width);
  std::vector<std::string> lines;
  for (const std::string& paragraph : CSVString::Split(text, "\n")) {
    bool first = true;
    for (const std::string& word : CSVString::Split(paragraph, " ")) {
      if (first || lines.back().size() + word.size() + 6 >= room)
        lines.push_back(word);
      else
        lines.back() += " " + word;
      first = false;
    }
  }
  if (lines.empty()) lines.emplace_back();
  std::printf("%-*s (%c) %s\n", static_cast<int>(name_width), record.name.c_str(), record.type,
              lines[0].c_str());
  for (size_t i = 1; i < lines.size(); ++i)
    std::printf("%*s%s\n", static_cast<int>(name_width + 5), "", lines[i].c_str());
}

void AppParams::CatchHelp(long line_width) const {
  long name_width = 0;
  for (long i = 0; i < option_count; ++i)
    name_width = std::max(name_width, static_cast<long>(options[i].name.size()));
  if (!HelpRequested()) return;
  std::printf("%s%s%s%s", "Generic Application", " v", "1.0.r0", "\n");
  std::printf(
      "\n\n    Usage: %s OPTION=VALUE [OPTION=VALUE [...]]\n\n(?) denotes the option type:\n\n"
      "  (i) = integer,\n  (f) = float,\n  (b) = boolean (either 0 or 1),\n  (s) = string,\n"
      "  (c) = csv (comma separated values).\n\n[?] denotes the default option value if '-h' is "
      "the only argument or the\nparsed value if the option was specified (helps debugging).\n\n",
      arg_count > 0 ? arg_vector[0] : "");
  for (long i = 0; i < option_count; ++i) PrintHelp(i, name_width, line_width);
  std::exit(0);
}

bool AppParams::HelpRequested() const {
  return ExtractParameter("-h", "") || ExtractParameter("--help", "");
}

void AppParams::ParseOptionsFile() {
  if (optfile[0] == '\0') return;
  // Help is printed whatever else is given, an unreadable options file too.
  if (HelpRequested()) {
    std::ifstream probe(optfile);
    probe.peek();
    if (!probe.is_open() || probe.bad()) return;
  }
  const CSVFile file(optfile, "");
  if (file.lines.empty()) return;
  owned_lines.clear();
  for (const std::vector<std::string>& fields : file.rows) {
    const std::string& line = fields[0];
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      owned_lines.push_back(line);
      continue;
    }
    const std::string name = CSVString::Trim(line.substr(0, equals));
    const std::string value = CSVString::Trim(line.substr(equals + 1));
    owned_lines.push_back(name + "=" + value);
    if (name == "optfile" && !value.empty())
      std::fprintf(stderr, "Warning: %s line %ld: optfile has no effect inside an options file.\n",
                   optfile, file.numbers[owned_lines.size() - 1]);
  }
  file_lines = file.numbers;
  owned_vector.assign(arg_vector, arg_vector + arg_count);
  for (std::string& line : owned_lines) owned_vector.push_back(&line[0]);
  owned_vector.push_back(nullptr);
  arg_vector = owned_vector.data();
  arg_count += static_cast<long>(owned_lines.size());
  if (debug > 1)
    std::fprintf(stderr, "# using options file \"%s\" (%zu lines)\n", optfile, owned_lines.size());
}

const OptionRecord* AppParams::Find(const std::string& name) const {
  for (long i = 0; i < option_count; ++i)
    if (options[i].name == name) return &options[i];
  return nullptr;
}

std::string AppParams::ClosestName(const std::string& name) const {
  // Leading dashes are a habit of other programs, not a typing error.
  const std::string typed = name.substr(std::min(name.find_first_not_of('-'), name.size()));
  // More edits than these make a guess more confusing than helpful.
  size_t best = typed.size() <= 4 ? 2 : 3;
  std::string closest;
  for (long i = 0; i < option_count; ++i) {
    const std::string& candidate = options[i].name;
    const size_t distance = Distance(typed, candidate);
    if (distance < best && distance < std::max(typed.size(), candidate.size()))
      best = distance, closest = candidate;
  }
  return closest;
}

std::string AppParams::ArgumentProblem(long index) const {
  const std::string argument = arg_vector[index];
  const size_t equals = argument.find('=');
  const std::string name = argument.substr(0, equals);
  const OptionRecord* record = Find(name);
  if (!record) {
    const std::string closest = ClosestName(name);
    return "unknown option \"" + name + "\"" +
           (closest.empty() ? "." : " (did you mean \"" + closest + "\"?)");
  }
  if (equals == std::string::npos)
    return Text("%s has no value (accepted: %s=VALUE).", name.c_str(), name.c_str());
  const std::string problem = OptionValue::Problem(record->type, argument.substr(equals + 1));
  return problem.empty() ? "" : argument + " " + problem + ".";
}

std::string AppParams::ArgumentProblem() const {
  for (long i = 1; i < arg_count; ++i) {
    const std::string problem = ArgumentProblem(i);
    if (problem.empty()) continue;
    if (i < command_line_count) return problem;
    return Text("%s line %ld: ", optfile, file_lines[i - command_line_count]) + problem;
  }
  return "";
}

void AppParams::CheckArguments() const {
  const std::string problem = ArgumentProblem();
  if (problem.empty()) return;
  std::fprintf(stderr, "Error: %s\n", problem.c_str());
  std::exit(1);
}

void AppParams::CheckRanges() const {
  Accept(&debug, debug >= 0,
         "0 or more: 0 results only, 1 adds the header row, 2 or more the timing of the "
         "simulation loop");
}

void AppParams::CheckFinite() const {
  for (long i = 0; i < option_count; ++i) {
    const OptionRecord& record = options[i];
    const bool finite =
        record.type == 'f'   ? std::isfinite(*static_cast<const double*>(record.value))
        : record.type == 'F' ? std::isfinite(*static_cast<const long double*>(record.value))
                             : true;
    if (!finite)
      Reject(1, "%s=%s is out of range (accepted: finite numbers)", record.name.c_str(),
             Print(i).c_str());
  }
}

void AppParams::DumpFileOpts() const {
  const char* name = "lastopts.lst";
  std::FILE* file = std::fopen(name, "w");
  if (!file) {
    std::fprintf(stderr, "Could not open/write to options file \"%s\".\n", name);
    return;
  }
  for (long i = 0; i < option_count; ++i)
    std::fprintf(file, "%s=%s\n", options[i].name.c_str(), Print(i).c_str());
  std::fclose(file);
}
