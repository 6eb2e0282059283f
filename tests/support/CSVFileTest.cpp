// CSVFile: CR LF line ends read like LF.
#include "support/CSVFile.h"

#include <gtest/gtest.h>

#include "tests/TestSupport.h"

TEST(CSVFile, CrLfReadsLikeLf) {
  const TempFolder files;
  const CSVFile from_lf(files.WriteFile("lf", "a,b\n1,2\n"), ",");
  const CSVFile from_crlf(files.WriteFile("crlf", "a,b\r\n1,2\r\n"), ",");
  EXPECT_EQ(from_crlf.rows, from_lf.rows);
  EXPECT_EQ(from_crlf.lines, from_lf.lines);
}
