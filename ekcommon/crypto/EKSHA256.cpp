#include "ekcommon/crypto/EKSHA256.h"

#include "ekcommon/crypto/internal/EKDigestBlocks.h"
#include "ekcommon/crypto/internal/EKSHA2Rounds.h"
#include "ekcommon/crypto/internal/EKShaExtensions.h"

namespace EKCommonNS {

using namespace EKDigestBlocks;

namespace {

// The CPU's SHA instructions where it has them, else the portable rounds.
void compress(uint32_t state[8], const uint8_t* blocks, size_t count) {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::sha())
    return EKShaExtensions::sha256Transform(state, blocks, count);
#endif
  EKSHA2Rounds::transform<EKSHA2Rounds::SHA256Traits>(state, blocks, count);
}

} // namespace

SHA256_CTX::SHA256_CTX() { init(); }

void SHA256_CTX::init() {
  for (int i = 0; i < 8; ++i)
    m_state[i] = EKSHA2Rounds::SHA256Traits::IV[i];
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
