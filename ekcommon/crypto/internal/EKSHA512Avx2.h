// The SHA-512 block function with its message schedule computed in AVX2 registers, chosen at
// run time when EKCpuFeatures::avx2() says yes; elsewhere the portable rounds run. Not installed.
#pragma once

#include "ekcommon/crypto/internal/EKCpuFeatures.h"

#include <cstddef>
#include <cstdint>

#if EKCOMMON_X86_EXTENSIONS
namespace EKCommonNS {
namespace EKSHA512Avx2 {

// Processes count 128-byte blocks; call only when EKCpuFeatures::avx2().
void transform(uint64_t state[8], const uint8_t* blocks, size_t count);

} // namespace EKSHA512Avx2
} // namespace EKCommonNS
#endif
