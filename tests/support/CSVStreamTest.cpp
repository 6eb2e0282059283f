// CSVStream: rows, verbatim lines and line numbers from a stream.
#include "support/CSVStream.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(CSVStream, SkipsBlankAndCommentLinesAndKeepsLinesVerbatimWithTheirNumbers) {
  std::istringstream in("# header\n\n a , b \n1,2,3\n");
  CSVStream s;
  s.parse(in, ",");
  ASSERT_EQ(s.rows.size(), 2u);
  EXPECT_EQ(s.lines[0], " a , b ");
  EXPECT_EQ(s.rows[0], (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(s.rows[1].size(), 3u);  // field counts may differ
  EXPECT_EQ(s.numbers, (std::vector<long>{3, 4}));
}
