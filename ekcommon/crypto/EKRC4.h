// The RC4 stream cipher: reads and writes the legacy formats that still use it. RC4 is broken;
// it is here for compatibility, not for protecting new data.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API RC4_KEY {
public:
  // Runs the key schedule over keyLength bytes of key; bytes beyond the 256th do not matter.
  // A null key or a length of 0 or less schedules as the one-byte key 00.
  RC4_KEY(int keyLength, const unsigned char* key);

  // XORs length bytes of the key stream onto in and writes them to out (encryption and
  // decryption are the same), continuing the stream where the last call left it. in and out
  // may be the same buffer. Nothing happens for a null pointer or a length of 0 or less.
  void RC4(int length, const unsigned char* in, unsigned char* out);

private:
  uint8_t m_data[256];
  uint8_t m_x;
  uint8_t m_y;
};

} // namespace EKCommonNS
