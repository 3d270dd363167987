// MD5 message digest (RFC 1321): checksums and the identifiers of formats that use it. MD5 is
// broken for collision resistance; nothing security-relevant should rely on it.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API MD5_CTX {
public:
  static constexpr size_t DIGEST_LENGTH = 16;

  MD5_CTX();

  // Adds length bytes to the message. The digest does not depend on how the message is split
  // into calls. Null data adds nothing.
  void Update(const unsigned char* data, size_t length);
  // Writes the 16-byte digest of the message, then starts a new, empty message. A null digest
  // pointer only starts over.
  void Final(unsigned char digest[DIGEST_LENGTH]);

private:
  void init();

  uint32_t m_state[4];
  uint64_t m_bitCount; // modulo 2^64, as the padding stores it
  uint8_t m_buffer[64];
};

} // namespace EKCommonNS
