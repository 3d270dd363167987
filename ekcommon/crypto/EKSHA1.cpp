#include "ekcommon/crypto/EKSHA1.h"

#include "ekcommon/crypto/internal/EKDigestBlocks.h"
#include "ekcommon/crypto/internal/EKSHA1Rounds.h"
#include "ekcommon/crypto/internal/EKShaExtensions.h"

namespace EKCommonNS {

using namespace EKDigestBlocks;

namespace {

// The CPU's SHA instructions where it has them, else the portable rounds.
void compress(uint32_t state[5], const uint8_t* blocks, size_t count) {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::sha())
    return EKShaExtensions::sha1Transform(state, blocks, count);
#endif
  EKSHA1Rounds::transform(state, blocks, count);
}

} // namespace

SHA1_CTX::SHA1_CTX()
    : m_intermediateHash{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0}, m_length(0),
      m_messageBlock{}, m_messageBlockIndex(0), m_computed(false), m_corrupted(SHA_SUCCESS) {}

int SHA1_CTX::Update(const unsigned char* data, unsigned length) {
  if (!length)
    return SHA_SUCCESS;
  if (!data)
    return SHA_NULL;
  if (m_computed)
    m_corrupted = SHA_STATE_ERROR;
  if (m_corrupted)
    return m_corrupted;
  // The length field holds 64 bits, so a message must stay below 2^64 bits: the byte that would
  // carry the count to 2^64 is refused and the context is spoilt for good.
  const uint64_t bits = uint64_t(length) << 3;
  if (bits > ~m_length) {
    m_corrupted = SHA_INPUT_TOO_LONG;
    return m_corrupted;
  }
  m_length += bits;
  absorb<64>(m_messageBlock, m_messageBlockIndex, data, length,
             [this](const uint8_t* blocks, size_t count) {
               compress(m_intermediateHash, blocks, count);
             });
  m_messageBlockIndex = (m_messageBlockIndex + length) & 63;
  return SHA_SUCCESS;
}

int SHA1_CTX::Final(unsigned char digest[DIGEST_LENGTH]) {
  if (m_corrupted)
    return m_corrupted;
  if (!digest)
    return SHA_NULL;
  if (!m_computed) {
    uint8_t lengthField[8];
    store64be(lengthField, m_length);
    pad<64>(m_messageBlock, m_messageBlockIndex, lengthField,
            [this](const uint8_t* blocks, size_t count) {
              compress(m_intermediateHash, blocks, count);
            });
    // The message is not needed any more; keep no copy of it.
    for (uint8_t& byte : m_messageBlock)
      byte = 0;
    m_length = 0;
    m_messageBlockIndex = 0;
    m_computed = true;
  }
  for (int i = 0; i < 5; ++i)
    store32be(digest + 4 * i, m_intermediateHash[i]);
  return SHA_SUCCESS;
}

} // namespace EKCommonNS
