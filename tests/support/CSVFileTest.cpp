// CSVFile: CR LF line ends read like LF.
#include "support/CSVFile.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/params/TestSupport.h"

TEST(CSVFile, CrLfReadsLikeLf) {
  const std::string lf = WriteTempFile("a,b\n1,2\n"), crlf = WriteTempFile("a,b\r\n1,2\r\n");
  const CSVFile from_lf(lf, ","), from_crlf(crlf, ",");
  EXPECT_EQ(from_crlf.rows, from_lf.rows);
  EXPECT_EQ(from_crlf.lines, from_lf.lines);
  std::remove(lf.c_str());
  std::remove(crlf.c_str());
}
