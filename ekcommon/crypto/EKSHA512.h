// SHA-512 and SHA-384 message digests (FIPS 180-2). SHA-384 is SHA-512 with other initial
// values and a digest cut to 48 bytes, so it shares SHA512_CTX's state and block function.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API SHA512_CTX {
public:
  static constexpr size_t DIGEST_LENGTH = 64;

  SHA512_CTX();

  // Adds length bytes to the message. The digest does not depend on how the message is split
  // into calls. Null data adds nothing.
  void Update(const unsigned char* data, size_t length);
  // Writes the 64-byte digest of the message, then starts a new, empty message. A null digest
  // pointer only starts over.
  void Final(unsigned char digest[DIGEST_LENGTH]);

protected:
  explicit SHA512_CTX(const uint64_t (&initialValues)[8]);
  void init(const uint64_t (&initialValues)[8]);
  // Appends the padding and the 128-bit length and processes the last block(s).
  void Last();
  // Processes count whole 128-byte blocks.
  void Transform(const uint8_t* blocks, size_t count);
  // Last(), then the first digestLength bytes of the state, big-endian.
  void finish(unsigned char* digest, size_t digestLength);

  uint64_t m_state[8];
  uint64_t m_bitCount[2]; // low and high halves of the 128-bit message length
  uint8_t m_buffer[128];
};

class EKCOMMON_API SHA384_CTX : public SHA512_CTX {
public:
  static constexpr size_t DIGEST_LENGTH = 48;

  SHA384_CTX();

  // Writes the 48-byte digest of the message, then starts a new, empty message.
  void Final(unsigned char digest[DIGEST_LENGTH]);
};

} // namespace EKCommonNS
