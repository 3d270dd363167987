// SHA-1 message digest (FIPS 180) with the interface of RFC 3174: Update and Final return 0 on
// success or a state code, and a context that has failed keeps failing. SHA-1 is broken for
// collision resistance; use it only where a format demands it.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstddef>
#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API SHA1_CTX {
public:
  static constexpr size_t DIGEST_LENGTH = 20;

  // Result codes of Update and Final.
  enum {
    SHA_SUCCESS = 0,
    SHA_NULL = 1,           // a null pointer where data or a digest buffer was needed
    SHA_INPUT_TOO_LONG = 2, // the message reached 2^64 bits, the most SHA-1 can take
    SHA_STATE_ERROR = 3     // Update after Final
  };

  SHA1_CTX();

  // Adds length bytes to the message. Length 0 always succeeds; otherwise null data gives
  // SHA_NULL. Once the message has overflowed or Update has followed Final, the context stays in
  // that state and every call returns its code.
  int Update(const unsigned char* data, unsigned length);
  // Writes the 20-byte digest. The first call completes the message; later calls write the same
  // digest again. Returns the context's state code instead when it has failed.
  int Final(unsigned char digest[DIGEST_LENGTH]);

protected:
  uint32_t m_intermediateHash[5];
  uint64_t m_length; // message length in bits
  uint8_t m_messageBlock[64];
  unsigned m_messageBlockIndex;
  bool m_computed;
  int m_corrupted;
};

} // namespace EKCommonNS
