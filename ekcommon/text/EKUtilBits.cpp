// Bit-field access of EKUtil: fixed-width fields of packed sample buffers and BitIterator.
#include "ekcommon/text/EKUtil.h"

#include <algorithm>

namespace EKCommonNS {

unsigned EKUtil::fetchBit1(const uint8_t* data, size_t index) {
  return (data[index >> 3] >> (7 - (index & 7))) & 1u;
}

unsigned EKUtil::fetchBit2(const uint8_t* data, size_t index) {
  return (data[index >> 2] >> (6 - 2 * (index & 3))) & 3u;
}

unsigned EKUtil::fetchBit4(const uint8_t* data, size_t index) {
  return (data[index >> 1] >> ((index & 1) ? 0 : 4)) & 15u;
}

unsigned EKUtil::fetchBit8(const uint8_t* data, size_t index) {
  return data[index];
}

unsigned EKUtil::fetchBit12(const uint8_t* data, size_t index) {
  const uint8_t* pair = data + (index >> 1) * 3;
  if ((index & 1) == 0)
    return (unsigned(pair[0]) << 4) | (pair[1] >> 4);
  return (unsigned(pair[1] & 15) << 8) | pair[2];
}

unsigned EKUtil::fetchBit16(const uint8_t* data, size_t index) {
  const uint8_t* p = data + index * 2;
  return (unsigned(p[0]) << 8) | p[1];
}

unsigned EKUtil::fetchBit24(const uint8_t* data, size_t index) {
  const uint8_t* p = data + index * 3;
  return (unsigned(p[0]) << 16) | (unsigned(p[1]) << 8) | p[2];
}

uint32_t EKUtil::fetchBit32(const uint8_t* data, size_t index) {
  const uint8_t* p = data + index * 4;
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

namespace {

// Stores a field of `width` bits (1, 2 or 4) in place.
void patchField(uint8_t* data, size_t index, unsigned width, unsigned value) {
  const unsigned perByte = 8 / width;
  const unsigned shift = 8 - width * (1 + unsigned(index % perByte));
  const unsigned mask = ((1u << width) - 1) << shift;
  uint8_t& byte = data[index / perByte];
  byte = static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

} // namespace

void EKUtil::patchBit1(uint8_t* data, size_t index, unsigned value) {
  patchField(data, index, 1, value);
}

void EKUtil::patchBit2(uint8_t* data, size_t index, unsigned value) {
  patchField(data, index, 2, value);
}

void EKUtil::patchBit4(uint8_t* data, size_t index, unsigned value) {
  patchField(data, index, 4, value);
}

EKUtil::BitIterator::BitIterator(uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

unsigned EKUtil::BitIterator::bitAt(size_t pos) const {
  return pos < m_size * 8 ? fetchBit1(m_data, pos) : 0;
}

uint32_t EKUtil::BitIterator::fetch(int n) {
  n = std::clamp(n, 0, 32);
  uint32_t value = 0;
  for (int i = 0; i < n; ++i)
    value = (value << 1) | bitAt(m_fetchPos++);
  return value;
}

size_t EKUtil::BitIterator::countRun(unsigned bit, size_t max) const {
  const size_t last = std::min(m_size * 8, m_fetchPos + std::min(max, m_size * 8));
  size_t pos = m_fetchPos;
  while (pos < last && bitAt(pos) == (bit & 1))
    ++pos;
  return pos > m_fetchPos ? pos - m_fetchPos : 0;
}

void EKUtil::BitIterator::ensureBits(size_t bitCount) {
  if (bitCount > m_size * 8)
    resizeData((bitCount + 7) / 8);
}

void EKUtil::BitIterator::resizeData(size_t size) {
  if (m_data != m_owned.data() || m_owned.empty())
    m_owned.assign(m_data, m_data + m_size);
  m_owned.resize(size);
  m_data = m_owned.data();
  m_size = size;
}

void EKUtil::BitIterator::patch(unsigned bit) {
  ensureBits(m_patchPos + 1);
  patchBit1(m_data, m_patchPos++, bit & 1);
}

void EKUtil::BitIterator::patch(uint32_t value, int n) {
  n = std::clamp(n, 0, 32);
  ensureBits(m_patchPos + static_cast<size_t>(n));
  for (int i = n - 1; i >= 0; --i)
    patchBit1(m_data, m_patchPos++, (value >> i) & 1);
}

void EKUtil::BitIterator::patchFill(unsigned bit, size_t n) {
  ensureBits(m_patchPos + n);
  for (size_t i = 0; i < n; ++i)
    patchBit1(m_data, m_patchPos++, bit & 1);
}

} // namespace EKCommonNS
