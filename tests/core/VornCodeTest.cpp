// VornCode: the win rule against a plain scan of the word table.
#include "core/VornCode.h"

#include <gtest/gtest.h>

namespace {

VornCode Code(long n_words, long n_reps) {
  VornCode code;
  code.Initialize(n_words, n_reps);
  return code;
}

// The win rule in its plainest form: the first word, in index order, that
// shares a bit with heard.
long ScanWinner(const VornCode& code, long heard) {
  for (long i = 0; i < code.n_words; ++i)
    if (code.words[i] & heard) return code.words[i];
  return 0;
}

}  // namespace

TEST(VornCode, WinnerAgreesWithScanInIndexOrder) {
  const long shapes[][2] = {{1, 1}, {4, 2}, {3, 5}, {5, 3}, {7, 2}, {2, 7}, {10, 1}};
  for (const auto& shape : shapes) {
    const VornCode code = Code(shape[0], shape[1]);
    for (long heard = 0; heard <= code.full_mask; ++heard)
      ASSERT_EQ(code.WinningWordFrom(heard), ScanWinner(code, heard))
          << shape[0] << "x" << shape[1] << " heard " << heard;
  }
  const VornCode wide = Code(10, 3);  // bits beyond the table are never heard as words
  EXPECT_EQ(wide.WinningWordFrom(1L << 30), 0);
  EXPECT_EQ(wide.WinningWordFrom((1L << 30) | (1L << 29)), wide.words[9]);
}
