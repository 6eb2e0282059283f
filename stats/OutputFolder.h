// OutputFolder: the folder the CSV files of a run go to: created when
// missing, cleared of the files an earlier run wrote, and the files opened in
// it.
#pragma once

#include <fstream>
#include <string>

class OutputFolder {
 public:
  explicit OutputFolder(std::string dir);
  virtual ~OutputFolder() = default;

  // Creates the folder (one level; an existing one is fine) and erases the
  // files in it whose names vorn writes, and no other file; false, erasing
  // nothing, when the folder cannot be listed.
  bool Prepare() const;
  // dir/name opened for writing; when that fails the message goes to
  // standard error and the writes to the stream are discarded, so the next
  // files are still attempted.
  std::ofstream Open(const std::string& name, const char* failure) const;
  // Opens name as Open does and has write(file) fill it.
  template <class Writer>
  void Write(const std::string& name, const char* failure, Writer write) const {
    std::ofstream file = Open(name, failure);
    write(file);
  }
  // Whether vorn writes files of this name: the network files and
  // <prefix><station>.csv for the per-station prefixes.
  static bool IsResultName(const std::string& name);

  const std::string dir;
};
