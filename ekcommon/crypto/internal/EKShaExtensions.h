// SHA-1 and SHA-256 block functions on the x86-64 SHA instructions, chosen at run time when
// EKCpuFeatures::sha() says yes; elsewhere the portable rounds run. Not installed.
#pragma once

#include "ekcommon/crypto/internal/EKCpuFeatures.h"

#include <cstddef>
#include <cstdint>

#if EKCOMMON_X86_EXTENSIONS
namespace EKCommonNS {
namespace EKShaExtensions {

// Process count 64-byte blocks; call only when EKCpuFeatures::sha().
void sha1Transform(uint32_t state[5], const uint8_t* blocks, size_t count);
void sha256Transform(uint32_t state[8], const uint8_t* blocks, size_t count);

} // namespace EKShaExtensions
} // namespace EKCommonNS
#endif
