// The block function shared by SHA-256 and SHA-512, which differ only in word size, round count,
// constants and rotation amounts; Traits supplies those. Not installed.
#pragma once

#include "ekcommon/crypto/internal/EKDigestBlocks.h"

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {
namespace EKSHA2Rounds {

using namespace EKDigestBlocks;

struct SHA256Traits {
  using Word = uint32_t;
  static constexpr int ROUNDS = 64;
  static constexpr Word IV[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  static constexpr Word K[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  static Word bigSigma0(Word x) { return rotr32(x, 2) ^ rotr32(x, 13) ^ rotr32(x, 22); }
  static Word bigSigma1(Word x) { return rotr32(x, 6) ^ rotr32(x, 11) ^ rotr32(x, 25); }
  static Word sigma0(Word x) { return rotr32(x, 7) ^ rotr32(x, 18) ^ (x >> 3); }
  static Word sigma1(Word x) { return rotr32(x, 17) ^ rotr32(x, 19) ^ (x >> 10); }
  static Word load(const uint8_t* p) { return load32be(p); }
};

struct SHA512Traits {
  using Word = uint64_t;
  static constexpr int ROUNDS = 80;
  static constexpr Word K[80] = {
      0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc,
      0x3956c25bf348b538, 0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118,
      0xd807aa98a3030242, 0x12835b0145706fbe, 0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2,
      0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235, 0xc19bf174cf692694,
      0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
      0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5,
      0x983e5152ee66dfab, 0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4,
      0xc6e00bf33da88fc2, 0xd5a79147930aa725, 0x06ca6351e003826f, 0x142929670a0e6e70,
      0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed, 0x53380d139d95b3df,
      0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
      0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30,
      0xd192e819d6ef5218, 0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8,
      0x19a4c116b8d2d0c8, 0x1e376c085141ab53, 0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8,
      0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373, 0x682e6ff3d6b2b8a3,
      0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
      0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b,
      0xca273eceea26619c, 0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178,
      0x06f067aa72176fba, 0x0a637dc5a2c898a6, 0x113f9804bef90dae, 0x1b710b35131c471b,
      0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc, 0x431d67c49c100d4c,
      0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817  };
  static Word bigSigma0(Word x) { return rotr64(x, 28) ^ rotr64(x, 34) ^ rotr64(x, 39); }
  static Word bigSigma1(Word x) { return rotr64(x, 14) ^ rotr64(x, 18) ^ rotr64(x, 41); }
  static Word sigma0(Word x) { return rotr64(x, 1) ^ rotr64(x, 8) ^ (x >> 7); }
  static Word sigma1(Word x) { return rotr64(x, 19) ^ rotr64(x, 61) ^ (x >> 6); }
  static Word load(const uint8_t* p) { return load64be(p); }
};

// One round with the roles of a..h passed in rotated order: d += t1, h = t1 + t2. bc carries
// b ^ c from round to round (this round's a ^ b is the next one's b ^ c), which makes the
// majority b ^ ((a ^ b) & (b ^ c)) two operations.
template <class Traits, typename Word = typename Traits::Word>
inline void round(Word a, Word b, Word& bc, Word& d, Word e, Word f, Word g, Word& h, Word kw) {
  const Word t1 = h + kw + (g ^ (e & (f ^ g))) + Traits::bigSigma1(e);
  const Word ab = a ^ b;
  const Word t2 = Traits::bigSigma0(a) + (b ^ (ab & bc));
  bc = ab;
  d += t1;
  h = t1 + t2;
}

// w[i] for i >= 16 from the 16-word ring holding w[i-16 .. i-1].
template <class Traits, typename Word = typename Traits::Word>
inline Word expand(Word w[16], int i) {
  w[i & 15] += Traits::sigma1(w[(i + 14) & 15]) + w[(i + 9) & 15] + Traits::sigma0(w[(i + 1) & 15]);
  return w[i & 15];
}

// The working variables a..h of one block, with b ^ c carried for the majority.
template <class Traits, typename Word = typename Traits::Word>
struct Working {
  Word v[8];
  Word bc;

  explicit Working(const Word state[8]) {
    for (int i = 0; i < 8; ++i)
      v[i] = state[i];
    bc = v[1] ^ v[2];
  }

  // Eight rounds from round i, kw(j) giving K[j] + W[j]; after them the roles of a..h are back
  // where they started.
  template <typename KW>
  void eightRounds(int i, KW&& kw) {
    Word &a = v[0], &b = v[1], &c = v[2], &d = v[3], &e = v[4], &f = v[5], &g = v[6], &h = v[7];
    round<Traits>(a, b, bc, d, e, f, g, h, kw(i));
    round<Traits>(h, a, bc, c, d, e, f, g, kw(i + 1));
    round<Traits>(g, h, bc, b, c, d, e, f, kw(i + 2));
    round<Traits>(f, g, bc, a, b, c, d, e, kw(i + 3));
    round<Traits>(e, f, bc, h, a, b, c, d, kw(i + 4));
    round<Traits>(d, e, bc, g, h, a, b, c, kw(i + 5));
    round<Traits>(c, d, bc, f, g, h, a, b, kw(i + 6));
    round<Traits>(b, c, bc, e, f, g, h, a, kw(i + 7));
  }

  void addTo(Word state[8]) const {
    for (int i = 0; i < 8; ++i)
      state[i] += v[i];
  }
};

// Processes count blocks of 16 words each, expanding the message schedule as the rounds go.
template <class Traits, typename Word = typename Traits::Word>
void transform(Word state[8], const uint8_t* block, size_t count) {
  for (; count; --count, block += 16 * sizeof(Word)) {
    Word w[16];
    for (int i = 0; i < 16; ++i)
      w[i] = Traits::load(block + sizeof(Word) * i);
    Working<Traits> x(state);
    auto given = [&w](int j) { return Traits::K[j] + w[j]; };
    x.eightRounds(0, given);
    x.eightRounds(8, given);
    for (int i = 16; i < Traits::ROUNDS; i += 8)
      x.eightRounds(i, [&w](int j) { return Traits::K[j] + expand<Traits>(w, j); });
    x.addTo(state);
  }
}

} // namespace EKSHA2Rounds
} // namespace EKCommonNS
