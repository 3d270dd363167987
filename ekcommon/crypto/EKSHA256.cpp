#include "ekcommon/crypto/EKSHA256.h"

#include "ekcommon/crypto/internal/EKDigestBlocks.h"
#include "ekcommon/crypto/internal/EKSHA2Rounds.h"

namespace EKCommonNS {

using namespace EKDigestBlocks;

namespace {

struct SHA256Traits {
  using Word = uint32_t;
  static constexpr int ROUNDS = 64;
  static constexpr Word K[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
      0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
      0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
      0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
      0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
      0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
      0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2  };
  static Word bigSigma0(Word x) { return rotr32(x, 2) ^ rotr32(x, 13) ^ rotr32(x, 22); }
  static Word bigSigma1(Word x) { return rotr32(x, 6) ^ rotr32(x, 11) ^ rotr32(x, 25); }
  static Word sigma0(Word x) { return rotr32(x, 7) ^ rotr32(x, 18) ^ (x >> 3); }
  static Word sigma1(Word x) { return rotr32(x, 17) ^ rotr32(x, 19) ^ (x >> 10); }
  static Word load(const uint8_t* p) { return load32be(p); }
};

void compress(uint32_t state[8], const uint8_t* blocks, size_t count) {
  EKSHA2Rounds::transform<SHA256Traits>(state, blocks, count);
}

} // namespace

SHA256_CTX::SHA256_CTX() { init(); }

void SHA256_CTX::init() {
  static constexpr uint32_t IV[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  for (int i = 0; i < 8; ++i)
    m_state[i] = IV[i];
  m_bitCount = 0;
}

void SHA256_CTX::Update(const unsigned char* data, size_t length) {
  update64(m_buffer, m_bitCount, data, length,
           [this](const uint8_t* blocks, size_t count) { compress(m_state, blocks, count); });
}

void SHA256_CTX::Final(unsigned char digest[DIGEST_LENGTH]) {
  final64<true>(m_buffer, m_bitCount,
                [this](const uint8_t* blocks, size_t count) { compress(m_state, blocks, count); });
  if (digest)
    for (int i = 0; i < 8; ++i)
      store32be(digest + 4 * i, m_state[i]);
  init();
}

} // namespace EKCommonNS
