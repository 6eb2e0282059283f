// The option table: registration with immediate lookup, the options file, the
// help screen and the values file.
#include "params/AppParams.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

}  // namespace

void AppParams::GetArguments(int argc, char** argv) {
  arg_count = argc;
  arg_vector = argv;
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
  return ExtractParameter(name, "=");
}

void AppParams::Push(const char* name, double& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'f', help, hidden)) variable = std::atof(text);
}

void AppParams::Push(const char* name, long double& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'F', help, hidden)) variable = std::atof(text);
}

void AppParams::Push(const char* name, bool& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'b', help, hidden))
    variable = std::atoi(text) != 0;
}

void AppParams::Push(const char* name, const char*& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, nullptr, 's', help, hidden)) variable = text;
  options[option_count - 1].value = const_cast<char*>(variable);
}

void AppParams::Push(const char* name, long& variable, const char* help, bool hidden) {
  if (const char* text = Register(name, &variable, 'i', help, hidden)) variable = std::atol(text);
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
  if (!ExtractParameter("-h", "") && !ExtractParameter("--help", "")) return;
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

void AppParams::ParseOptionsFile() {
  if (optfile[0] == '\0') return;
  CSVFile file(optfile, "=");
  if (file.lines.empty()) return;
  owned_lines = file.lines;
  owned_vector.assign(arg_vector, arg_vector + arg_count);
  for (std::string& line : owned_lines) owned_vector.push_back(&line[0]);
  owned_vector.push_back(nullptr);
  arg_vector = owned_vector.data();
  arg_count += static_cast<long>(owned_lines.size());
  if (debug > 1)
    std::fprintf(stderr, "# using options file \"%s\" (%zu lines)\n", optfile, owned_lines.size());
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
