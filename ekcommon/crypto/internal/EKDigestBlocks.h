// Building blocks shared by the digests (and, for byte order, AES): loads and stores,
// rotations, and the block buffering and final padding common to every Merkle-Damgard hash.
// Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace EKCommonNS {
namespace EKDigestBlocks {

// Byte-wise composition keeps these independent of host byte order and alignment; compilers
// turn each into one load or store (plus a byte swap where needed).
inline uint32_t load32le(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint32_t load32be(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline uint64_t load64be(const uint8_t* p) {
  return uint64_t(load32be(p)) << 32 | load32be(p + 4);
}
inline void store32le(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void store32be(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}
inline void store64be(uint8_t* p, uint64_t v) {
  store32be(p, uint32_t(v >> 32));
  store32be(p + 4, uint32_t(v));
}
inline void store64le(uint8_t* p, uint64_t v) {
  store32le(p, uint32_t(v));
  store32le(p + 4, uint32_t(v >> 32));
}

// The masked forms are recognised as single rotate instructions and stay defined for n == 0.
inline uint32_t rotl32(uint32_t x, unsigned n) { return (x << (n & 31)) | (x >> (-n & 31)); }
inline uint32_t rotr32(uint32_t x, unsigned n) { return (x >> (n & 31)) | (x << (-n & 31)); }
inline uint64_t rotr64(uint64_t x, unsigned n) { return (x >> (n & 63)) | (x << (-n & 63)); }

// Feeds length bytes to compress(blocks, count) through buffer, which already holds `used`
// bytes of an incomplete block. Whole blocks go straight from the input without copying; the
// tail stays in buffer. compress must accept any block count of at least one.
template <size_t BlockSize, typename Compress>
void absorb(uint8_t* buffer, size_t used, const uint8_t* data, size_t length, Compress&& compress) {
  if (used) {
    const size_t take = length < BlockSize - used ? length : BlockSize - used;
    std::memcpy(buffer + used, data, take);
    data += take;
    length -= take;
    if (used + take < BlockSize)
      return;
    compress(buffer, size_t(1));
  }
  if (length >= BlockSize) {
    compress(data, length / BlockSize);
    data += length - length % BlockSize;
    length %= BlockSize;
  }
  if (length)
    std::memcpy(buffer, data, length);
}

// Appends the 0x80 marker, zeros and the encoded message length (the last lengthField.size
// bytes of the final block) to the `used` bytes in buffer and compresses the result.
template <size_t BlockSize, size_t LengthBytes, typename Compress>
void pad(uint8_t* buffer, size_t used, const uint8_t (&lengthField)[LengthBytes],
         Compress&& compress) {
  buffer[used++] = 0x80;
  if (used > BlockSize - LengthBytes) {
    std::memset(buffer + used, 0, BlockSize - used);
    compress(buffer, size_t(1));
    used = 0;
  }
  std::memset(buffer + used, 0, BlockSize - LengthBytes - used);
  std::memcpy(buffer + BlockSize - LengthBytes, lengthField, LengthBytes);
  compress(buffer, size_t(1));
}

// Update and final step of the digests whose state is a 64-byte buffer and a 64-bit bit count
// (MD5, SHA-256): the fill of the buffer follows from the count. Null data adds nothing.
template <typename Compress>
void update64(uint8_t (&buffer)[64], uint64_t& bitCount, const uint8_t* data, size_t length,
              Compress&& compress) {
  if (!data || !length)
    return;
  const size_t used = size_t(bitCount >> 3) & 63;
  bitCount += uint64_t(length) << 3;
  absorb<64>(buffer, used, data, length, compress);
}

template <bool BigEndianLength, typename Compress>
void final64(uint8_t (&buffer)[64], uint64_t bitCount, Compress&& compress) {
  uint8_t lengthField[8];
  if (BigEndianLength)
    store64be(lengthField, bitCount);
  else
    store64le(lengthField, bitCount);
  pad<64>(buffer, size_t(bitCount >> 3) & 63, lengthField, compress);
}

} // namespace EKDigestBlocks
} // namespace EKCommonNS
