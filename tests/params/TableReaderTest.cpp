// Strict table reading: the header line, line numbers, field counts and the
// cells each column accepts (the messages of the binary are checked there).
#include "params/TableReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/TestSupport.h"

namespace {

using Table = TableReader::Table;

const TableReader kShares({"", false, 0, 1, "0 to 1"});
const TableReader kPairs({{"N", true, 0, HUGE_VAL, "counts"}, {"R", false, 0, 5, "0 to 5"}});

CSVStream Lines(const std::string& text) {
  std::istringstream in(text);
  CSVStream stream;
  stream.parse(in, ",");
  return stream;
}

}  // namespace

TEST(TableReader, FirstLineOfNamesIsAHeaderAndLinesKeepTheirNumbers) {
  Table table;
  std::vector<long> lines;
  EXPECT_EQ(kPairs.ReadLines("f", Lines("# c\nN,rate\n\n2, 1e-1\n0,5\n"), table, &lines), "");
  EXPECT_EQ(Rows(table), (std::vector<std::vector<double>>{{2, 0.1}, {0, 5}}));
  EXPECT_EQ(lines, (std::vector<long>{4, 5}));
  EXPECT_EQ(kShares.ReadLines("f", Lines("p0,p1\n"), table), "");
  EXPECT_TRUE(table.empty());
  // The header sets no width; a later line of names is no header.
  EXPECT_NE(kShares.ReadLines("f", Lines("a,b\n0,1,0\n0,1\n"), table)
                .find("f line 3 has 2 fields where line 2 has 3"),
            std::string::npos);
  EXPECT_EQ(kShares.ReadLines("f", Lines("0.5\np\n"), table),
            "f line 2: cell 1 \"p\" is not a number (accepted: 0 to 1)");
  // A header is names only.
  EXPECT_EQ(kShares.ReadLines("f", Lines("p,0.5\n0.5,0.5\n"), table),
            "f line 1: cell 1 \"p\" is not a number (accepted: 0 to 1)");
  EXPECT_TRUE(table.empty());
}

TEST(TableReader, CellsMustBeValuesOfTheirColumn) {
  Table table;
  EXPECT_EQ(kPairs.ReadLines("g", Lines("1,5.5\n"), table),
            "g line 1: R \"5.5\" is out of range (accepted: 0 to 5)");
  EXPECT_EQ(kShares.ReadList("p", {"1", "0", ".5"}, table), "");
  EXPECT_EQ(Rows(table), (std::vector<std::vector<double>>{{1, 0, 0.5}}));
  EXPECT_NE(kShares.ReadList("p", {"0.5", ""}, table), "");
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(kShares.ReadList("p", {}, table), "");
  EXPECT_TRUE(table.empty());
}
