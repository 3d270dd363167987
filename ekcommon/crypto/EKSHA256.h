// SHA-256 message digest (FIPS 180-2): content hashes and integrity checks.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API SHA256_CTX {
public:
  static constexpr size_t DIGEST_LENGTH = 32;

  SHA256_CTX();

  // Adds length bytes to the message. The digest does not depend on how the message is split
  // into calls. Null data adds nothing.
  void Update(const unsigned char* data, size_t length);
  // Writes the 32-byte digest of the message, then starts a new, empty message. A null digest
  // pointer only starts over.
  void Final(unsigned char digest[DIGEST_LENGTH]);

private:
  void init();

  uint32_t m_state[8];
  uint64_t m_bitCount;
  uint8_t m_buffer[64];
};

} // namespace EKCommonNS
