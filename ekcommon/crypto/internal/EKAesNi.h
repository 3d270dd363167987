// AES on the x86-64 AES instructions, chosen at run time when EKCpuFeatures::aes() says yes;
// elsewhere the portable rounds run. The round keys are those the portable code expands, in its
// layout (each word a column, byte 0 in the top bits), so both paths share one key schedule:
// encryption keys, or for ECB and CBC decryption those of the equivalent inverse cipher.
// Not installed.
#pragma once

#include "ekcommon/crypto/internal/EKCpuFeatures.h"

#include <cstddef>
#include <cstdint>

#if EKCOMMON_X86_EXTENSIONS
namespace EKCommonNS {
namespace EKAesNi {

// A key schedule of rounds + 1 round keys (rounds is 10, 12 or 14).
struct Schedule {
  const uint32_t* roundKeys;
  int rounds;
};

// Each processes count 16-byte blocks; in and out may be the same buffer. Independent blocks
// (ECB both ways, CBC decryption) run several at a time to fill the CPU's AES pipeline, two to
// a register where EKCpuFeatures::vaes() says yes.
void ecbEncrypt(const Schedule& keys, const uint8_t* in, size_t count, uint8_t* out);
void ecbDecrypt(const Schedule& keys, const uint8_t* in, size_t count, uint8_t* out);
void cbcEncrypt(const Schedule& keys, const uint8_t iv[16], const uint8_t* in, size_t count,
                uint8_t* out);
void cbcDecrypt(const Schedule& keys, const uint8_t iv[16], const uint8_t* in, size_t count,
                uint8_t* out);
// 1-bit CFB over count blocks: one forward cipher call per bit, both ways.
void cfb1(const Schedule& keys, const uint8_t iv[16], const uint8_t* in, size_t count,
          uint8_t* out, bool decrypt);

} // namespace EKAesNi
} // namespace EKCommonNS
#endif
