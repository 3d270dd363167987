// The portable SHA-1 block function; the SHA-1 context uses it where the CPU has no SHA
// instructions. Not installed.
#pragma once

#include "ekcommon/crypto/internal/EKDigestBlocks.h"

namespace EKCommonNS {
namespace EKSHA1Rounds {

using namespace EKDigestBlocks;

// w[i] for i >= 16 from the 16-word ring holding w[i-16 .. i-1].
inline uint32_t expand(uint32_t w[16], int i) {
  w[i & 15] = rotl32(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
  return w[i & 15];
}

// One round: e += (a <<< 5) + f + k + w, b <<<= 30; callers rotate the roles of a..e.
inline void round(uint32_t a, uint32_t& b, uint32_t& e, uint32_t f, uint32_t kw) {
  e += rotl32(a, 5) + f + kw;
  b = rotl32(b, 30);
}

// Five rounds over w[i .. i+4], after which the roles of a..e are back where they started.
template <bool Expand, typename F>
inline void fiveRounds(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e,
                       uint32_t w[16], int i, F f, uint32_t k) {
  auto kw = [&](int j) { return k + (Expand && j >= 16 ? expand(w, j) : w[j & 15]); };
  round(a, b, e, f(b, c, d), kw(i));
  round(e, a, d, f(a, b, c), kw(i + 1));
  round(d, e, c, f(e, a, b), kw(i + 2));
  round(c, d, b, f(d, e, a), kw(i + 3));
  round(b, c, a, f(c, d, e), kw(i + 4));
}

inline void transform(uint32_t state[5], const uint8_t* block, size_t count) {
  auto ch = [](uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); };
  auto parity = [](uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; };
  auto maj = [](uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); };
  for (; count; --count, block += 64) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i)
      w[i] = load32be(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (int i = 0; i < 15; i += 5)
      fiveRounds<false>(a, b, c, d, e, w, i, ch, 0x5a827999);
    fiveRounds<true>(a, b, c, d, e, w, 15, ch, 0x5a827999);
    for (int i = 20; i < 40; i += 5)
      fiveRounds<true>(a, b, c, d, e, w, i, parity, 0x6ed9eba1);
    for (int i = 40; i < 60; i += 5)
      fiveRounds<true>(a, b, c, d, e, w, i, maj, 0x8f1bbcdc);
    for (int i = 60; i < 80; i += 5)
      fiveRounds<true>(a, b, c, d, e, w, i, parity, 0xca62c1d6);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
  }
}

} // namespace EKSHA1Rounds
} // namespace EKCommonNS
