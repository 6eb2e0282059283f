// CSVStream: rows, verbatim lines and line numbers from a stream, with any
// line delimiter.
#include "support/CSVStream.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

CSVStream Parse(const std::string& text, char delimiter = '\n') {
  std::istringstream in(text);
  CSVStream stream;
  stream.parse(in, ",", delimiter);
  return stream;
}

}  // namespace

TEST(CSVStream, SkipsBlankAndCommentLinesAndKeepsLinesVerbatimWithTheirNumbers) {
  CSVStream s = Parse("# header\n\n a , b \n1,2,3\n");
  ASSERT_EQ(s.rows.size(), 2u);
  EXPECT_EQ(s.lines[0], " a , b ");
  EXPECT_EQ(s.rows[0], (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(s.rows[1].size(), 3u);  // field counts may differ
  EXPECT_EQ(s.numbers, (std::vector<long>{3, 4}));
  s = Parse("2,0,0,0,0;3,4,0.5,0,0", ';');
  ASSERT_EQ(s.rows.size(), 2u);
  EXPECT_EQ(s.rows[1][2], "0.5");
}
