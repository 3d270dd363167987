// SHA-1 and SHA-256 block functions on the x86-64 SHA instructions, chosen at run time when the
// CPU has them; elsewhere EKCOMMON_SHA_EXTENSIONS is 0 and the portable rounds run. Not
// installed.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define EKCOMMON_SHA_EXTENSIONS 1
#else
#define EKCOMMON_SHA_EXTENSIONS 0
#endif

#if EKCOMMON_SHA_EXTENSIONS
namespace EKCommonNS {
namespace EKShaExtensions {

// True when the CPU has the SHA, SSSE3 and SSE4.1 instructions (asked once).
bool available();
// Process count 64-byte blocks; call only when available().
void sha1Transform(uint32_t state[5], const uint8_t* blocks, size_t count);
void sha256Transform(uint32_t state[8], const uint8_t* blocks, size_t count);

} // namespace EKShaExtensions
} // namespace EKCommonNS
#endif
