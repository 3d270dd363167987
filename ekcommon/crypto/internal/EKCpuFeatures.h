// The x86-64 instruction set extensions the digests and ciphers may use: asked of the CPU once,
// and behind a switch that the tests and benchmarks turn off to run the portable code on any
// machine. Elsewhere EKCOMMON_X86_EXTENSIONS is 0 and only the switch exists. Not installed.
#pragma once

#include "ekcommon/core/EKExport.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define EKCOMMON_X86_EXTENSIONS 1
#else
#define EKCOMMON_X86_EXTENSIONS 0
#endif

namespace EKCommonNS {
namespace EKCpuFeatures {

// On (the default): each of the queries below says whether the CPU has the extension. Off: they
// all say no, so every digest and cipher runs its portable code. Takes effect at the next call
// of a digest or cipher, in every thread.
EKCOMMON_API void setAcceleration(bool enabled);

#if EKCOMMON_X86_EXTENSIONS
// The SHA instructions with SSSE3 and SSE4.1.
bool sha();
// AES-NI with SSSE3 and SSE4.1.
bool aes();
// The AES instructions on two blocks in one AVX2 register, with AES-NI.
bool vaes();
// AVX2 with the operating system saving its registers, and BMI2.
bool avx2();
#endif

} // namespace EKCpuFeatures
} // namespace EKCommonNS
