#include "ekcommon/crypto/EKUUID.h"

#include "ekcommon/platform/EKRandom.h"

#include <cstring>

namespace EKCommonNS {

static_assert(sizeof(EKUUID) == 16, "EKUUID must be exactly the 16 bytes of a UUID");

EKUUID::EKUUID() {
  unsigned char bytes[16];
  EKPlatform::fillRandom(bytes, sizeof bytes);
  *this = EKUUID(bytes);
  // The version sits in the top four bits of the time-high field and the variant (10) in the
  // top two bits of the clock sequence, as for any RFC 4122 UUID.
  m_data3 = uint16_t((m_data3 & 0x0fff) | 0x4000);
  m_data4[0] = uint8_t((m_data4[0] & 0x3f) | 0x80);
}

EKUUID::EKUUID(const unsigned char bytes[16]) : m_data1(0), m_data2(0), m_data3(0), m_data4{} {
  if (bytes) {
    std::memcpy(&m_data1, bytes, 4);
    std::memcpy(&m_data2, bytes + 4, 2);
    std::memcpy(&m_data3, bytes + 6, 2);
    std::memcpy(m_data4, bytes + 8, 8);
  }
}

void EKUUID::getBytes(unsigned char bytes[16]) const {
  std::memcpy(bytes, &m_data1, 4);
  std::memcpy(bytes + 4, &m_data2, 2);
  std::memcpy(bytes + 6, &m_data3, 2);
  std::memcpy(bytes + 8, m_data4, 8);
}

UnicodeString EKUUID::toString(bool hyphens) const {
  static const char16_t DIGITS[] = u"0123456789ABCDEF";
  unsigned char bytes[16];
  getBytes(bytes);
  char16_t text[36];
  int length = 0;
  for (int i = 0; i < 16; ++i) {
    if (hyphens && (i == 4 || i == 6 || i == 8 || i == 10))
      text[length++] = u'-';
    text[length++] = DIGITS[bytes[i] >> 4];
    text[length++] = DIGITS[bytes[i] & 15];
  }
  return UnicodeString(text, length);
}

uint32_t EKUUID::toUint32() const {
  unsigned char bytes[16];
  getBytes(bytes);
  uint32_t hash = 0;
  for (int i = 0; i < 16; i += 4)
    hash ^= uint32_t(bytes[i]) | uint32_t(bytes[i + 1]) << 8 | uint32_t(bytes[i + 2]) << 16 |
            uint32_t(bytes[i + 3]) << 24;
  return hash;
}

bool EKUUID::operator==(const EKUUID& other) const {
  unsigned char mine[16], theirs[16];
  getBytes(mine);
  other.getBytes(theirs);
  return std::memcmp(mine, theirs, 16) == 0;
}

} // namespace EKCommonNS
