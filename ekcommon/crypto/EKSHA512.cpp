#include "ekcommon/crypto/EKSHA512.h"

#include "ekcommon/crypto/internal/EKDigestBlocks.h"
#include "ekcommon/crypto/internal/EKSHA2Rounds.h"
#include "ekcommon/crypto/internal/EKSHA512Avx2.h"

namespace EKCommonNS {

using namespace EKDigestBlocks;

namespace {

constexpr uint64_t SHA512_IV[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                   0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                   0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};
constexpr uint64_t SHA384_IV[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
                                   0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511,
                                   0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};

} // namespace

SHA512_CTX::SHA512_CTX() { init(SHA512_IV); }

SHA512_CTX::SHA512_CTX(const uint64_t (&initialValues)[8]) { init(initialValues); }

void SHA512_CTX::init(const uint64_t (&initialValues)[8]) {
  for (int i = 0; i < 8; ++i)
    m_state[i] = initialValues[i];
  m_bitCount[0] = m_bitCount[1] = 0;
}

void SHA512_CTX::Transform(const uint8_t* blocks, size_t count) {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::avx2())
    return EKSHA512Avx2::transform(m_state, blocks, count);
#endif
  EKSHA2Rounds::transform<EKSHA2Rounds::SHA512Traits>(m_state, blocks, count);
}

void SHA512_CTX::Update(const unsigned char* data, size_t length) {
  if (!data || !length)
    return;
  const size_t used = size_t(m_bitCount[0] >> 3) & 127;
  const uint64_t bits = uint64_t(length) << 3;
  m_bitCount[0] += bits;
  m_bitCount[1] += (uint64_t(length) >> 61) + (m_bitCount[0] < bits ? 1 : 0);
  absorb<128>(m_buffer, used, data, length,
              [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
}

void SHA512_CTX::Last() {
  uint8_t lengthField[16];
  store64be(lengthField, m_bitCount[1]);
  store64be(lengthField + 8, m_bitCount[0]);
  pad<128>(m_buffer, size_t(m_bitCount[0] >> 3) & 127, lengthField,
           [this](const uint8_t* blocks, size_t count) { Transform(blocks, count); });
}

void SHA512_CTX::finish(unsigned char* digest, size_t digestLength) {
  Last();
  if (digest)
    for (size_t i = 0; i < digestLength / 8; ++i)
      store64be(digest + 8 * i, m_state[i]);
}

void SHA512_CTX::Final(unsigned char digest[DIGEST_LENGTH]) {
  finish(digest, DIGEST_LENGTH);
  init(SHA512_IV);
}

SHA384_CTX::SHA384_CTX() : SHA512_CTX(SHA384_IV) {}

void SHA384_CTX::Final(unsigned char digest[DIGEST_LENGTH]) {
  finish(digest, DIGEST_LENGTH);
  init(SHA384_IV);
}

} // namespace EKCommonNS
