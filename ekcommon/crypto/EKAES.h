// AES block cipher (FIPS 197) with 128-, 192- and 256-bit keys in ECB, CBC and 1-bit CFB modes,
// with PKCS#7-style padding for ECB and CBC. Used to read and write encrypted document formats.
// Where the CPU has AES instructions the cipher runs on them; elsewhere it is table-driven and
// not hardened against cache-timing observers on the same CPU.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstdint>

namespace EKCommonNS {

// A fixed underlying type keeps any int a host casts to AES_Mode a valid value to reject.
enum AES_Mode : int { AES_MODE_ECB = 0, AES_MODE_CBC = 1, AES_MODE_CFB1 = 2 };

// One key, mode, direction and initialisation vector. Every call starts again from the IV given
// at construction, so an object never changes after construction and may be shared by threads.
// in and out may be the same buffer in every call.
class EKCOMMON_API AES_Base {
public:
  static constexpr int BLOCK_BYTES = 16;

  // Result codes: negative values of the calls below.
  enum {
    BAD_MODE = -1,        // a mode the call cannot use (CFB1 with the padding calls)
    BAD_DIRECTION = -2,   // construction only: the object stays uninitialised
    BAD_KEY_LENGTH = -3,  // construction only: the object stays uninitialised
    BAD_KEY = -4,         // construction only (a null key): the object stays uninitialised
    NOT_INITIALISED = -5, // every call on an object whose construction failed
    WRONG_DIRECTION = -6, // an encrypting call on a decrypting object or the other way round
    BAD_DATA = -7         // padded input of a wrong length, or wrong padding
  };

  virtual ~AES_Base();
  AES_Base(const AES_Base&) = default;
  AES_Base& operator=(const AES_Base&) = default;

  // False when the key length, the key or the mode was rejected at construction.
  bool isInitialised() const { return m_initialised; }

  // Encrypt or decrypt inputBits / 128 whole blocks from in to out (any bits of a partial last
  // block are ignored). Returns the number of bits processed, 0 for a null buffer or
  // inputBits <= 0, or NOT_INITIALISED / WRONG_DIRECTION.
  int blockEncrypt(const unsigned char* in, int inputBits, unsigned char* out) const;
  int blockDecrypt(const unsigned char* in, int inputBits, unsigned char* out) const;

  // ECB or CBC: encrypts inputBytes bytes followed by 16 - inputBytes % 16 padding bytes of that
  // value, so out must hold inputBytes / 16 * 16 + 16 bytes (in may be null when inputBytes is
  // 0). Returns the number of bytes written, 0 for a null buffer or inputBytes < 0, BAD_DATA
  // when the result would not fit in an int, or BAD_MODE, NOT_INITIALISED, WRONG_DIRECTION.
  int padEncrypt(const unsigned char* in, int inputBytes, unsigned char* out) const;
  // ECB or CBC: decrypts inputBytes bytes (a positive multiple of 16) and removes the padding;
  // out must hold inputBytes bytes. Returns the number of plain bytes, 0 for a null buffer, or
  // BAD_DATA for a wrong length or wrong padding (out is then left untouched), or BAD_MODE,
  // NOT_INITIALISED, WRONG_DIRECTION. For compatibility with existing data, ECB accepts a last
  // byte of 0 and CBC a last byte above 16 as "no padding": the whole input is returned.
  int padDecrypt(const unsigned char* in, int inputBytes, unsigned char* out) const;

protected:
  enum Direction { DIRECTION_ENCRYPT = 0, DIRECTION_DECRYPT = 1 };

  // keyBytes must be 16, 24 or 32; a null iv is all zeros.
  AES_Base(int direction, AES_Mode mode, const unsigned char* key, int keyBytes,
           const unsigned char* iv);

private:
  int init(int direction, AES_Mode mode, const unsigned char* key, int keyBytes,
           const unsigned char* iv);
  // Checks the object can run a call of the given direction: 0 or a result code.
  int callState(Direction direction) const;
  // One block of the forward or the inverse cipher.
  void encryptBlock(const uint8_t in[16], uint8_t out[16]) const;
  void decryptBlock(const uint8_t in[16], uint8_t out[16]) const;
  // The mode's chaining over whole blocks, with no checks.
  void encryptBlocks(const uint8_t* in, int blocks, uint8_t* out) const;
  void decryptBlocks(const uint8_t* in, int blocks, uint8_t* out) const;
  void cfb1(const uint8_t* in, int blocks, uint8_t* out, bool decrypt) const;

  bool m_initialised = false;
  AES_Mode m_mode = AES_MODE_ECB;
  int m_direction = DIRECTION_ENCRYPT;
  uint8_t m_iv[16] = {};
  int m_rounds = 0;
  // Encryption round keys, or for ECB and CBC decryption those of the equivalent inverse cipher.
  uint32_t m_roundKeys[60] = {};
};

class EKCOMMON_API AES_Encryption : public AES_Base {
public:
  AES_Encryption(AES_Mode mode, const unsigned char* key, int keyBytes, const unsigned char* iv);
};

class EKCOMMON_API AES_Decryption : public AES_Base {
public:
  AES_Decryption(AES_Mode mode, const unsigned char* key, int keyBytes, const unsigned char* iv);
};

} // namespace EKCommonNS
