#include "ekcommon/crypto/EKAES.h"

#include "ekcommon/crypto/internal/EKAesNi.h"
#include "ekcommon/crypto/internal/EKDigestBlocks.h"

#include <climits>
#include <cstring>

namespace EKCommonNS {

using namespace EKDigestBlocks;

namespace {

// The S-boxes and the round tables are computed at compile time from their definitions in
// GF(2^8), so no hand-copied table can hide a typo. Words hold a column big-endian: byte 0 of
// the column in the top eight bits.
constexpr uint8_t xtime(uint8_t x) { return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1b : 0)); }

constexpr uint8_t gmul(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  for (; b; b >>= 1, a = xtime(a))
    if (b & 1)
      product ^= a;
  return product;
}

constexpr uint32_t word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  return uint32_t(b0) << 24 | uint32_t(b1) << 16 | uint32_t(b2) << 8 | b3;
}

// n in 8, 16, 24: the table for the next row position is the column rotated by a byte.
constexpr uint32_t rotr(uint32_t x, unsigned n) { return (x >> n) | (x << (32 - n)); }

struct Tables {
  uint8_t sbox[256];
  uint8_t invSbox[256];
  uint32_t te[4][256]; // SubBytes + MixColumns, one table per row position
  uint32_t td[4][256]; // InvSubBytes + InvMixColumns
};

constexpr Tables makeTables() {
  Tables t{};
  // Powers of the generator 3 give every non-zero element and, through its logarithm, its
  // multiplicative inverse.
  uint8_t power[255] = {};
  uint8_t logarithm[256] = {};
  uint8_t p = 1;
  for (int i = 0; i < 255; ++i) {
    power[i] = p;
    logarithm[p] = uint8_t(i);
    p ^= xtime(p);
  }
  for (int x = 0; x < 256; ++x) {
    const uint8_t inverse = x ? power[(255 - logarithm[x]) % 255] : 0;
    uint8_t s = inverse;
    for (int r = 1; r <= 4; ++r)
      s ^= uint8_t(inverse << r | inverse >> (8 - r));
    s ^= 0x63;
    t.sbox[x] = s;
    t.invSbox[s] = uint8_t(x);
  }
  for (int x = 0; x < 256; ++x) {
    const uint8_t s = t.sbox[x], i = t.invSbox[x];
    const uint32_t e = word(gmul(s, 2), s, s, gmul(s, 3));
    const uint32_t d = word(gmul(i, 14), gmul(i, 9), gmul(i, 13), gmul(i, 11));
    t.te[0][x] = e;
    t.td[0][x] = d;
    for (int r = 1; r < 4; ++r) {
      t.te[r][x] = rotr(e, 8 * r);
      t.td[r][x] = rotr(d, 8 * r);
    }
  }
  return t;
}

constexpr Tables T = makeTables();

inline uint32_t subWord(uint32_t w) {
  return word(T.sbox[w >> 24], T.sbox[(w >> 16) & 0xff], T.sbox[(w >> 8) & 0xff],
              T.sbox[w & 0xff]);
}

// The key expansion of FIPS 197; returns the number of rounds.
int expandKey(const uint8_t* key, int keyBytes, uint32_t* w) {
  const int nk = keyBytes / 4, rounds = nk + 6, words = 4 * (rounds + 1);
  for (int i = 0; i < nk; ++i)
    w[i] = load32be(key + 4 * i);
  uint8_t rcon = 1;
  for (int i = nk; i < words; ++i) {
    uint32_t temp = w[i - 1];
    if (i % nk == 0) {
      temp = subWord(temp << 8 | temp >> 24) ^ uint32_t(rcon) << 24;
      rcon = xtime(rcon);
    } else if (nk > 6 && i % nk == 4) {
      temp = subWord(temp);
    }
    w[i] = w[i - nk] ^ temp;
  }
  return rounds;
}

// Turns encryption round keys into those of the equivalent inverse cipher: reversed order, and
// InvMixColumns applied to every round key but the first and the last.
void invertKey(uint32_t* w, int rounds) {
  for (int i = 0, j = 4 * rounds; i < j; i += 4, j -= 4)
    for (int k = 0; k < 4; ++k) {
      const uint32_t swap = w[i + k];
      w[i + k] = w[j + k];
      w[j + k] = swap;
    }
  for (int i = 4; i < 4 * rounds; ++i) {
    const uint32_t k = w[i];
    w[i] = T.td[0][T.sbox[k >> 24]] ^ T.td[1][T.sbox[(k >> 16) & 0xff]] ^
           T.td[2][T.sbox[(k >> 8) & 0xff]] ^ T.td[3][T.sbox[k & 0xff]];
  }
}

// One block of the table-driven cipher, for CPUs without AES instructions.
void encryptPortable(const uint32_t* rk, int rounds, const uint8_t in[16], uint8_t out[16]) {
  uint32_t s0 = load32be(in) ^ rk[0], s1 = load32be(in + 4) ^ rk[1];
  uint32_t s2 = load32be(in + 8) ^ rk[2], s3 = load32be(in + 12) ^ rk[3];
  const auto& te = T.te;
  for (int r = 1; r < rounds; ++r) {
    rk += 4;
    const uint32_t t0 = te[0][s0 >> 24] ^ te[1][(s1 >> 16) & 0xff] ^ te[2][(s2 >> 8) & 0xff] ^
                        te[3][s3 & 0xff] ^ rk[0];
    const uint32_t t1 = te[0][s1 >> 24] ^ te[1][(s2 >> 16) & 0xff] ^ te[2][(s3 >> 8) & 0xff] ^
                        te[3][s0 & 0xff] ^ rk[1];
    const uint32_t t2 = te[0][s2 >> 24] ^ te[1][(s3 >> 16) & 0xff] ^ te[2][(s0 >> 8) & 0xff] ^
                        te[3][s1 & 0xff] ^ rk[2];
    const uint32_t t3 = te[0][s3 >> 24] ^ te[1][(s0 >> 16) & 0xff] ^ te[2][(s1 >> 8) & 0xff] ^
                        te[3][s2 & 0xff] ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  const uint8_t* s = T.sbox;
  store32be(out,
            word(s[s0 >> 24], s[(s1 >> 16) & 0xff], s[(s2 >> 8) & 0xff], s[s3 & 0xff]) ^ rk[0]);
  store32be(out + 4,
            word(s[s1 >> 24], s[(s2 >> 16) & 0xff], s[(s3 >> 8) & 0xff], s[s0 & 0xff]) ^ rk[1]);
  store32be(out + 8,
            word(s[s2 >> 24], s[(s3 >> 16) & 0xff], s[(s0 >> 8) & 0xff], s[s1 & 0xff]) ^ rk[2]);
  store32be(out + 12,
            word(s[s3 >> 24], s[(s0 >> 16) & 0xff], s[(s1 >> 8) & 0xff], s[s2 & 0xff]) ^ rk[3]);
}

void decryptPortable(const uint32_t* rk, int rounds, const uint8_t in[16], uint8_t out[16]) {
  uint32_t s0 = load32be(in) ^ rk[0], s1 = load32be(in + 4) ^ rk[1];
  uint32_t s2 = load32be(in + 8) ^ rk[2], s3 = load32be(in + 12) ^ rk[3];
  const auto& td = T.td;
  for (int r = 1; r < rounds; ++r) {
    rk += 4;
    const uint32_t t0 = td[0][s0 >> 24] ^ td[1][(s3 >> 16) & 0xff] ^ td[2][(s2 >> 8) & 0xff] ^
                        td[3][s1 & 0xff] ^ rk[0];
    const uint32_t t1 = td[0][s1 >> 24] ^ td[1][(s0 >> 16) & 0xff] ^ td[2][(s3 >> 8) & 0xff] ^
                        td[3][s2 & 0xff] ^ rk[1];
    const uint32_t t2 = td[0][s2 >> 24] ^ td[1][(s1 >> 16) & 0xff] ^ td[2][(s0 >> 8) & 0xff] ^
                        td[3][s3 & 0xff] ^ rk[2];
    const uint32_t t3 = td[0][s3 >> 24] ^ td[1][(s2 >> 16) & 0xff] ^ td[2][(s1 >> 8) & 0xff] ^
                        td[3][s0 & 0xff] ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  const uint8_t* s = T.invSbox;
  store32be(out,
            word(s[s0 >> 24], s[(s3 >> 16) & 0xff], s[(s2 >> 8) & 0xff], s[s1 & 0xff]) ^ rk[0]);
  store32be(out + 4,
            word(s[s1 >> 24], s[(s0 >> 16) & 0xff], s[(s3 >> 8) & 0xff], s[s2 & 0xff]) ^ rk[1]);
  store32be(out + 8,
            word(s[s2 >> 24], s[(s1 >> 16) & 0xff], s[(s0 >> 8) & 0xff], s[s3 & 0xff]) ^ rk[2]);
  store32be(out + 12,
            word(s[s3 >> 24], s[(s2 >> 16) & 0xff], s[(s1 >> 8) & 0xff], s[s0 & 0xff]) ^ rk[3]);
}

#if EKCOMMON_X86_EXTENSIONS
// A mode's chaining over whole blocks on the CPU's AES instructions.
void acceleratedBlocks(AES_Mode mode, const EKAesNi::Schedule& keys, const uint8_t* iv,
                       const uint8_t* in, int blocks, uint8_t* out, bool decrypt) {
  const size_t count = size_t(blocks);
  switch (mode) {
  case AES_MODE_ECB:
    return decrypt ? EKAesNi::ecbDecrypt(keys, in, count, out)
                   : EKAesNi::ecbEncrypt(keys, in, count, out);
  case AES_MODE_CBC:
    return decrypt ? EKAesNi::cbcDecrypt(keys, iv, in, count, out)
                   : EKAesNi::cbcEncrypt(keys, iv, in, count, out);
  case AES_MODE_CFB1:
    return EKAesNi::cfb1(keys, iv, in, count, out, decrypt);
  }
}
#endif

inline void xorBlock(uint8_t* x, const uint8_t* y) {
  for (int i = 0; i < 16; ++i)
    x[i] ^= y[i];
}

} // namespace

AES_Base::AES_Base(int direction, AES_Mode mode, const unsigned char* key, int keyBytes,
                   const unsigned char* iv) {
  m_initialised = init(direction, mode, key, keyBytes, iv) == 0;
}

AES_Base::~AES_Base() = default;

int AES_Base::init(int direction, AES_Mode mode, const unsigned char* key, int keyBytes,
                   const unsigned char* iv) {
  if (unsigned(mode) > AES_MODE_CFB1)
    return BAD_MODE;
  if (unsigned(direction) > DIRECTION_DECRYPT)
    return BAD_DIRECTION;
  if (!key)
    return BAD_KEY;
  if (keyBytes != 16 && keyBytes != 24 && keyBytes != 32)
    return BAD_KEY_LENGTH;
  m_mode = mode;
  m_direction = direction;
  if (iv)
    std::memcpy(m_iv, iv, 16);
  m_rounds = expandKey(key, keyBytes, m_roundKeys);
  // CFB runs the forward cipher in both directions.
  if (direction == DIRECTION_DECRYPT && mode != AES_MODE_CFB1)
    invertKey(m_roundKeys, m_rounds);
  return 0;
}

int AES_Base::callState(Direction direction) const {
  if (!m_initialised)
    return NOT_INITIALISED;
  return m_direction == direction ? 0 : WRONG_DIRECTION;
}

void AES_Base::encryptBlock(const uint8_t in[16], uint8_t out[16]) const {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::aes())
    return EKAesNi::ecbEncrypt({m_roundKeys, m_rounds}, in, 1, out);
#endif
  encryptPortable(m_roundKeys, m_rounds, in, out);
}

void AES_Base::decryptBlock(const uint8_t in[16], uint8_t out[16]) const {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::aes())
    return EKAesNi::ecbDecrypt({m_roundKeys, m_rounds}, in, 1, out);
#endif
  decryptPortable(m_roundKeys, m_rounds, in, out);
}

// 1-bit CFB: each bit is XORed with the top bit of the encrypted shift register, and the
// ciphertext bit is shifted into the register.
void AES_Base::cfb1(const uint8_t* in, int blocks, uint8_t* out, bool decrypt) const {
  uint8_t shift[16], keyStream[16];
  std::memcpy(shift, m_iv, 16);
  for (int n = 0; n < blocks; ++n, in += 16, out += 16) {
    for (int k = 0; k < 128; ++k) {
      encryptPortable(m_roundKeys, m_rounds, shift, keyStream);
      const int byte = k >> 3, bit = 7 - (k & 7);
      const unsigned inBit = (in[byte] >> bit) & 1;
      const unsigned outBit = inBit ^ (keyStream[0] >> 7);
      out[byte] = uint8_t((out[byte] & ~(1u << bit)) | outBit << bit);
      const unsigned feedback = decrypt ? inBit : outBit;
      for (int i = 0; i < 15; ++i)
        shift[i] = uint8_t(shift[i] << 1 | shift[i + 1] >> 7);
      shift[15] = uint8_t(shift[15] << 1 | feedback);
    }
  }
}

void AES_Base::encryptBlocks(const uint8_t* in, int blocks, uint8_t* out) const {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::aes())
    return acceleratedBlocks(m_mode, {m_roundKeys, m_rounds}, m_iv, in, blocks, out, false);
#endif
  switch (m_mode) {
  case AES_MODE_ECB:
    for (int n = 0; n < blocks; ++n)
      encryptPortable(m_roundKeys, m_rounds, in + 16 * n, out + 16 * n);
    break;
  case AES_MODE_CBC: {
    uint8_t chain[16];
    std::memcpy(chain, m_iv, 16);
    for (int n = 0; n < blocks; ++n) {
      xorBlock(chain, in + 16 * n);
      encryptPortable(m_roundKeys, m_rounds, chain, chain);
      std::memcpy(out + 16 * n, chain, 16);
    }
    break;
  }
  case AES_MODE_CFB1:
    cfb1(in, blocks, out, false);
    break;
  }
}

void AES_Base::decryptBlocks(const uint8_t* in, int blocks, uint8_t* out) const {
#if EKCOMMON_X86_EXTENSIONS
  if (EKCpuFeatures::aes())
    return acceleratedBlocks(m_mode, {m_roundKeys, m_rounds}, m_iv, in, blocks, out, true);
#endif
  switch (m_mode) {
  case AES_MODE_ECB:
    for (int n = 0; n < blocks; ++n)
      decryptPortable(m_roundKeys, m_rounds, in + 16 * n, out + 16 * n);
    break;
  case AES_MODE_CBC: {
    uint8_t chain[16], cipher[16];
    std::memcpy(chain, m_iv, 16);
    for (int n = 0; n < blocks; ++n) {
      std::memcpy(cipher, in + 16 * n, 16); // out may overwrite in
      decryptPortable(m_roundKeys, m_rounds, cipher, out + 16 * n);
      xorBlock(out + 16 * n, chain);
      std::memcpy(chain, cipher, 16);
    }
    break;
  }
  case AES_MODE_CFB1:
    cfb1(in, blocks, out, true);
    break;
  }
}

int AES_Base::blockEncrypt(const unsigned char* in, int inputBits, unsigned char* out) const {
  if (const int state = callState(DIRECTION_ENCRYPT))
    return state;
  if (!in || !out || inputBits <= 0)
    return 0;
  encryptBlocks(in, inputBits / 128, out);
  return inputBits / 128 * 128;
}

int AES_Base::blockDecrypt(const unsigned char* in, int inputBits, unsigned char* out) const {
  if (const int state = callState(DIRECTION_DECRYPT))
    return state;
  if (!in || !out || inputBits <= 0)
    return 0;
  decryptBlocks(in, inputBits / 128, out);
  return inputBits / 128 * 128;
}

int AES_Base::padEncrypt(const unsigned char* in, int inputBytes, unsigned char* out) const {
  if (const int state = callState(DIRECTION_ENCRYPT))
    return state;
  if (m_mode == AES_MODE_CFB1)
    return BAD_MODE;
  if (!out || inputBytes < 0 || (!in && inputBytes > 0))
    return 0;
  if (inputBytes > INT_MAX - 16)
    return BAD_DATA;
  const int blocks = inputBytes / 16, whole = 16 * blocks, rest = inputBytes - whole;
  uint8_t last[16];
  if (rest)
    std::memcpy(last, in + whole, size_t(rest)); // before out may overwrite in
  std::memset(last + rest, 16 - rest, size_t(16 - rest));
  encryptBlocks(in, blocks, out);
  // CBC chains the padded block to the last ciphertext block, or to the IV when it is alone.
  if (m_mode == AES_MODE_CBC)
    xorBlock(last, whole ? out + whole - 16 : m_iv);
  encryptBlock(last, out + whole);
  return whole + 16;
}

int AES_Base::padDecrypt(const unsigned char* in, int inputBytes, unsigned char* out) const {
  if (const int state = callState(DIRECTION_DECRYPT))
    return state;
  if (m_mode == AES_MODE_CFB1)
    return BAD_MODE;
  if (!in || !out)
    return 0;
  if (inputBytes <= 0 || inputBytes % 16)
    return BAD_DATA;
  // The last block is decrypted aside and checked before anything is written to out.
  const int whole = inputBytes - 16;
  uint8_t last[16];
  decryptBlock(in + whole, last);
  if (m_mode == AES_MODE_CBC)
    xorBlock(last, whole ? in + whole - 16 : m_iv);
  const int pad = last[15];
  int kept = 16;
  if (pad >= 1 && pad <= 16) {
    uint8_t mismatch = 0;
    for (int i = 16 - pad; i < 16; ++i)
      mismatch |= uint8_t(last[i] ^ pad);
    if (mismatch)
      return BAD_DATA;
    kept = 16 - pad;
  } else {
    // Out of range: ECB takes a last byte of 0 and CBC one above 16 as unpadded data.
    const bool unpadded = m_mode == AES_MODE_ECB ? pad == 0 : pad > 16;
    if (!unpadded)
      return BAD_DATA;
  }
  decryptBlocks(in, whole / 16, out);
  std::memcpy(out + whole, last, size_t(kept));
  return whole + kept;
}

AES_Encryption::AES_Encryption(AES_Mode mode, const unsigned char* key, int keyBytes,
                               const unsigned char* iv)
    : AES_Base(DIRECTION_ENCRYPT, mode, key, keyBytes, iv) {}

AES_Decryption::AES_Decryption(AES_Mode mode, const unsigned char* key, int keyBytes,
                               const unsigned char* iv)
    : AES_Base(DIRECTION_DECRYPT, mode, key, keyBytes, iv) {}

} // namespace EKCommonNS
