// VornCode: the word table, the win rule against a plain scan, and printing.
#include "core/VornCode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The win rule in its plainest form: the first word, in index order, that
// shares a bit with heard.
long ScanWinner(const VornCode& code, long heard) {
  for (long i = 0; i < code.n_words; ++i)
    if (code.words[i] & heard) return code.words[i];
  return 0;
}

}  // namespace

TEST(VornCode, WordsOfFourByTwo) {
  VornCode code(4, 2);
  EXPECT_EQ(code.words, (std::vector<long>{17, 34, 68, 136}));
}

TEST(VornCode, ThirtyOneSingleBitWords) {
  VornCode code(31, 1);
  EXPECT_EQ(code.full_mask, 2147483647);
  for (long i = 0; i < 31; ++i) EXPECT_EQ(code.words[i], 1L << i);
  EXPECT_EQ(code.WinningWordFrom(code.full_mask), 1);
  EXPECT_EQ(code.WinningWordFrom(1L << 30), 1L << 30);
}

TEST(VornCode, EmptyTableAndReinitialisation) {
  VornCode code;
  EXPECT_EQ(code.n_words, 0);
  EXPECT_EQ(code.WinningWordFrom(255), 0);
  code.Initialize(4, 2);
  code.Initialize(3, 3);
  EXPECT_EQ(code.words, (std::vector<long>{73, 146, 292}));
  EXPECT_EQ(code.full_mask, 511);
}

TEST(VornCode, WinnerAgreesWithScanInIndexOrder) {
  const long shapes[][2] = {{1, 1}, {4, 2}, {3, 5}, {5, 3}, {7, 2}, {2, 7}, {10, 1}};
  for (const auto& shape : shapes) {
    VornCode code(shape[0], shape[1]);
    for (long heard = 0; heard <= code.full_mask; ++heard)
      ASSERT_EQ(code.WinningWordFrom(heard), ScanWinner(code, heard))
          << shape[0] << "x" << shape[1] << " heard " << heard;
  }
  VornCode wide(10, 3);  // bits beyond the table are never heard as words
  EXPECT_EQ(wide.WinningWordFrom(1L << 30), 0);
  EXPECT_EQ(wide.WinningWordFrom((1L << 30) | (1L << 29)), wide.words[9]);
}

TEST(VornCode, PrintAndDebug) {
  VornCode code(4, 2);
  testing::internal::CaptureStdout();
  code.Print(17);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "00010001 ( 17)");

  testing::internal::CaptureStdout();
  code.Debug();
  const std::string debug = testing::internal::GetCapturedStdout();
  EXPECT_EQ(debug.substr(0, 19), " 0 = 00010001 ( 17)");
  EXPECT_NE(debug.find("\n01100000 ( 96) --> 00100010 ( 34)\n"), std::string::npos);

  VornCode small(2, 1);  // 2^2 = 4 has one digit
  testing::internal::CaptureStdout();
  small.Print(3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "11 (3)");
}
