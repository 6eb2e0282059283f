// PlainLoop: a cycle as counts of contenders and of senders per word, drawn
// from blocks of dSFMT words.
#include "bench/PlainLoop.h"

#include <cstring>

#include "core/Vorn.h"

PlainLoop::PlainLoop(long stations_, std::vector<double> p_, long words, uint32_t seed)
    : stations(stations_), p(std::move(p_)), last(words - 1) {
  dsfmt_chk_init_gen_rand(&state, seed, 19937);
}

PlainLoop PlainLoop::FromParams(uint32_t seed, bool& fits) {
  std::vector<double> p;
  bool uniform = true;
  for (long r = 0; r < Params.R; ++r) {
    p.push_back(Params.p_table(0, r));
    const double tau = Params.tau_table(0, r);
    uniform = uniform && (tau == 1.0 || tau == 0.0);
  }
  fits = uniform && !Params.adhoc && Params.channel == ChannelModel::kNone &&
         Params.node_groups.empty() && (Params.ar_type < 1 || Params.ar_type > 4) &&
         Params.greedy && !Params.unlucky && !Params.peers && Params.M >= 1 && Params.M <= 255 &&
         Code.n_words <= 8;
  return PlainLoop(Params.M, p, Code.n_words, seed);
}

// Words left over are dropped: which ones go depends on counts only, never
// on their values, so the law stays the same.
void PlainLoop::Reserve(long n) {
  if (pos + 2 * n <= kBuffer) return;
  dsfmt_fill_array_close1_open2(&state, buffer, kBuffer);
  pos = 0;
}

void PlainLoop::Cycle() {
  long n = stations;
  for (double coin : p) {
    Reserve(n);
    const double* u = buffer + pos;
    long heads = 0;
    for (long i = 0; i < n; ++i) heads += coin > u[i] - 1.0;
    pos += n;
    if (heads == 0) continue;  // void round: the same contenders again
    // Byte k counts the senders of word k; the lowest non-zero byte wins.
    const double* w = u + n;
    uint64_t senders = 0;
    for (long i = 0; i < heads; ++i) {
      uint64_t bits;
      std::memcpy(&bits, w + i, sizeof bits);
      const uint64_t g = ((bits & UINT32_MAX) * static_cast<uint64_t>(last + 1)) >> 32;
      senders += uint64_t{1} << (8 * (last - g));
    }
    pos += heads;
    n = static_cast<long>((senders >> (__builtin_ctzll(senders) & ~7)) & 0xff);
    if (n == 1) break;  // a lone winner succeeds at once
  }
  ++outcomes[n < 2 ? n : 2];
}
