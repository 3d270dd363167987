#include "ekcommon/crypto/EKMD5.h"

#include "ekcommon/crypto/internal/EKDigestBlocks.h"

namespace EKCommonNS {

using namespace EKDigestBlocks;

namespace {

// The sine-derived additive constants, T[i] = floor(2^32 * |sin(i + 1)|).
constexpr uint32_t T[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

// One step: a = b + ((a + f + x + t) <<< s), with f the round's boolean function of b, c, d.
inline void step(uint32_t& a, uint32_t b, uint32_t f, uint32_t x, uint32_t t, unsigned s) {
  a = b + rotl32(a + f + x + t, s);
}
inline uint32_t fF(uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); }
inline uint32_t fG(uint32_t b, uint32_t c, uint32_t d) { return c ^ (d & (b ^ c)); }
inline uint32_t fH(uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; }
inline uint32_t fI(uint32_t b, uint32_t c, uint32_t d) { return c ^ (b | ~d); }

void transform(uint32_t state[4], const uint8_t* block, size_t count) {
  for (; count; --count, block += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
      x[i] = load32le(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 16; i += 4) {
      step(a, b, fF(b, c, d), x[i], T[i], 7);
      step(d, a, fF(a, b, c), x[i + 1], T[i + 1], 12);
      step(c, d, fF(d, a, b), x[i + 2], T[i + 2], 17);
      step(b, c, fF(c, d, a), x[i + 3], T[i + 3], 22);
    }
    for (int i = 0; i < 16; i += 4) {
      step(a, b, fG(b, c, d), x[(5 * i + 1) & 15], T[16 + i], 5);
      step(d, a, fG(a, b, c), x[(5 * i + 6) & 15], T[17 + i], 9);
      step(c, d, fG(d, a, b), x[(5 * i + 11) & 15], T[18 + i], 14);
      step(b, c, fG(c, d, a), x[(5 * i) & 15], T[19 + i], 20);
    }
    for (int i = 0; i < 16; i += 4) {
      step(a, b, fH(b, c, d), x[(3 * i + 5) & 15], T[32 + i], 4);
      step(d, a, fH(a, b, c), x[(3 * i + 8) & 15], T[33 + i], 11);
      step(c, d, fH(d, a, b), x[(3 * i + 11) & 15], T[34 + i], 16);
      step(b, c, fH(c, d, a), x[(3 * i + 14) & 15], T[35 + i], 23);
    }
    for (int i = 0; i < 16; i += 4) {
      step(a, b, fI(b, c, d), x[(7 * i) & 15], T[48 + i], 6);
      step(d, a, fI(a, b, c), x[(7 * i + 7) & 15], T[49 + i], 10);
      step(c, d, fI(d, a, b), x[(7 * i + 14) & 15], T[50 + i], 15);
      step(b, c, fI(c, d, a), x[(7 * i + 5) & 15], T[51 + i], 21);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
  }
}

} // namespace

MD5_CTX::MD5_CTX() { init(); }

void MD5_CTX::init() {
  m_state[0] = 0x67452301;
  m_state[1] = 0xefcdab89;
  m_state[2] = 0x98badcfe;
  m_state[3] = 0x10325476;
  m_bitCount = 0;
}

void MD5_CTX::Update(const unsigned char* data, size_t length) {
  update64(m_buffer, m_bitCount, data, length,
           [this](const uint8_t* blocks, size_t count) { transform(m_state, blocks, count); });
}

void MD5_CTX::Final(unsigned char digest[DIGEST_LENGTH]) {
  final64<false>(m_buffer, m_bitCount, [this](const uint8_t* blocks, size_t count) {
    transform(m_state, blocks, count);
  });
  if (digest)
    for (int i = 0; i < 4; ++i)
      store32le(digest + 4 * i, m_state[i]);
  init();
}

} // namespace EKCommonNS
