#include "ekcommon/crypto/EKRC4.h"

namespace EKCommonNS {

RC4_KEY::RC4_KEY(int keyLength, const unsigned char* key) : m_x(0), m_y(0) {
  static const unsigned char zeroKey = 0;
  if (!key || keyLength <= 0) {
    key = &zeroKey;
    keyLength = 1;
  }
  for (int i = 0; i < 256; ++i)
    m_data[i] = uint8_t(i);
  uint8_t j = 0;
  for (int i = 0, k = 0; i < 256; ++i) {
    const uint8_t t = m_data[i];
    j = uint8_t(j + t + key[k]);
    m_data[i] = m_data[j];
    m_data[j] = t;
    if (++k == keyLength)
      k = 0;
  }
}

void RC4_KEY::RC4(int length, const unsigned char* in, unsigned char* out) {
  if (!in || !out || length <= 0)
    return;
  uint8_t x = m_x, y = m_y;
  for (int i = 0; i < length; ++i) {
    x = uint8_t(x + 1);
    const uint8_t tx = m_data[x];
    y = uint8_t(y + tx);
    const uint8_t ty = m_data[y];
    m_data[x] = ty;
    m_data[y] = tx;
    out[i] = in[i] ^ m_data[uint8_t(tx + ty)];
  }
  m_x = x;
  m_y = y;
}

} // namespace EKCommonNS
