// Reading delimited streams and files into rows, and the dense array.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/ArrayDense.h"
#include "support/CSVFile.h"

namespace {

CSVStream Parse(const std::string& text, const char* seps = ",", char delimiter = '\n') {
  std::istringstream in(text);
  CSVStream stream;
  stream.parse(in, seps, delimiter);
  return stream;
}

std::string WriteTemp(const std::string& content) {
  char name[] = "/tmp/vorn_csvXXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  std::FILE* f = fdopen(fd, "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
  return name;
}

}  // namespace

TEST(CSVStream, SkipsBlankAndCommentLinesAndKeepsLinesVerbatimWithTheirNumbers) {
  CSVStream s = Parse("# header\n\n a , b \n1,2,3\n");
  ASSERT_EQ(s.rows.size(), 2u);
  EXPECT_EQ(s.lines[0], " a , b ");
  EXPECT_EQ(s.rows[0], (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(s.rows[1].size(), 3u);  // field counts may differ
  EXPECT_EQ(s.numbers, (std::vector<long>{3, 4}));
}

TEST(CSVStream, OtherDelimiterSplitsLines) {
  CSVStream s = Parse("2,0,0,0,0;3,4,0.5,0,0", ",", ';');
  ASSERT_EQ(s.rows.size(), 2u);
  EXPECT_EQ(s.rows[1][2], "0.5");
}

TEST(CSVFile, CrLfReadsLikeLf) {
  std::string lf = WriteTemp("a,b\n1,2\n");
  std::string crlf = WriteTemp("a,b\r\n1,2\r\n");
  CSVFile f1(lf, ","), f2(crlf, ",");
  EXPECT_EQ(f1.rows, f2.rows);
  EXPECT_EQ(f1.lines, f2.lines);
  std::remove(lf.c_str());
  std::remove(crlf.c_str());
}

TEST(ArrayDense, ResizeZeroFillsAndZeroSizeEmpties) {
  ArrayDense<long, long> a(2, 3);
  EXPECT_EQ(a.size, 6);
  a(1, 2) = 5;
  EXPECT_EQ(a.data[5], 5);
  a.Resize(0, 3);
  EXPECT_EQ(a.size, 0);
  EXPECT_EQ(a.d1, 0);
  EXPECT_EQ(a.data, nullptr);
  EXPECT_FALSE(a.owns);
}
