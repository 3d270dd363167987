// The block function shared by SHA-256 and SHA-512, which differ only in word size, round count,
// constants and rotation amounts; Traits supplies those. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {
namespace EKSHA2Rounds {

// One round with the roles of a..h passed in rotated order: d += t1, h = t1 + t2.
template <class Traits, typename Word = typename Traits::Word>
inline void round(Word a, Word b, Word c, Word& d, Word e, Word f, Word g, Word& h, Word kw) {
  const Word t1 = h + Traits::bigSigma1(e) + (g ^ (e & (f ^ g))) + kw;
  const Word t2 = Traits::bigSigma0(a) + ((a & b) | (c & (a | b)));
  d += t1;
  h = t1 + t2;
}

// w[i] for i >= 16 from the 16-word ring holding w[i-16 .. i-1].
template <class Traits, typename Word = typename Traits::Word>
inline Word expand(Word w[16], int i) {
  w[i & 15] += Traits::sigma1(w[(i + 14) & 15]) + w[(i + 9) & 15] + Traits::sigma0(w[(i + 1) & 15]);
  return w[i & 15];
}

// Eight rounds, after which the roles of a..h are back where they started.
template <class Traits, bool Expand, typename Word = typename Traits::Word>
inline void eightRounds(Word& a, Word& b, Word& c, Word& d, Word& e, Word& f, Word& g, Word& h,
                        Word w[16], int i) {
  const Word* k = Traits::K;
  auto kw = [&](int j) { return k[j] + (Expand ? expand<Traits>(w, j) : w[j & 15]); };
  round<Traits>(a, b, c, d, e, f, g, h, kw(i));
  round<Traits>(h, a, b, c, d, e, f, g, kw(i + 1));
  round<Traits>(g, h, a, b, c, d, e, f, kw(i + 2));
  round<Traits>(f, g, h, a, b, c, d, e, kw(i + 3));
  round<Traits>(e, f, g, h, a, b, c, d, kw(i + 4));
  round<Traits>(d, e, f, g, h, a, b, c, kw(i + 5));
  round<Traits>(c, d, e, f, g, h, a, b, kw(i + 6));
  round<Traits>(b, c, d, e, f, g, h, a, kw(i + 7));
}

// Processes count blocks of 16 words each.
template <class Traits, typename Word = typename Traits::Word>
void transform(Word state[8], const uint8_t* block, size_t count) {
  for (; count; --count, block += 16 * sizeof(Word)) {
    Word w[16];
    for (int i = 0; i < 16; ++i)
      w[i] = Traits::load(block + sizeof(Word) * i);
    Word a = state[0], b = state[1], c = state[2], d = state[3];
    Word e = state[4], f = state[5], g = state[6], h = state[7];
    eightRounds<Traits, false>(a, b, c, d, e, f, g, h, w, 0);
    eightRounds<Traits, false>(a, b, c, d, e, f, g, h, w, 8);
    for (int i = 16; i < Traits::ROUNDS; i += 8)
      eightRounds<Traits, true>(a, b, c, d, e, f, g, h, w, i);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
  }
}

} // namespace EKSHA2Rounds
} // namespace EKCommonNS
