// CSVFile: a CSVStream read from a named text file; a file that cannot be
// opened ends the process with status 1.
#pragma once

#include <string>

#include "support/CSVStream.h"

class CSVFile : public CSVStream {
 public:
  CSVFile(const std::string& name, const char* separators);
  ~CSVFile() override = default;
};
