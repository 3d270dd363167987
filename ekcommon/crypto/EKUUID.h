// A 16-byte random identifier (RFC 4122 version 4) with a text form: names temporary
// directories and anything else that must not collide across processes and machines.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <cstdint>

namespace EKCommonNS {

class EKCOMMON_API EKUUID {
public:
  // A new version-4 UUID from the operating system's random generator.
  EKUUID();
  // The UUID whose 16 bytes, in memory order, are bytes; a null pointer gives the nil UUID.
  explicit EKUUID(const unsigned char bytes[16]);

  // The 16 bytes in memory order, two upper-case hex digits each; with hyphens, a '-' before
  // the bytes at indexes 4, 6, 8 and 10 (36 characters). The first three fields are shown as
  // stored, least significant byte first, unlike the usual GUID text.
  UnicodeString toString(bool hyphens) const;
  // XOR of the four 32-bit little-endian words of the bytes: a cheap hash.
  uint32_t toUint32() const;
  // Copies the 16 bytes in memory order.
  void getBytes(unsigned char bytes[16]) const;

  bool operator==(const EKUUID& other) const;
  bool operator!=(const EKUUID& other) const { return !(*this == other); }

private:
  // The platform's UUID structure: time-low, time-mid, time-high-and-version, then clock
  // sequence and node bytes.
  uint32_t m_data1;
  uint16_t m_data2;
  uint16_t m_data3;
  uint8_t m_data4[8];
};

} // namespace EKCommonNS
