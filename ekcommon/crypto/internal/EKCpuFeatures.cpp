#include "ekcommon/crypto/internal/EKCpuFeatures.h"

#include <atomic>

#if EKCOMMON_X86_EXTENSIONS
#include <cpuid.h>
#endif

namespace EKCommonNS {
namespace EKCpuFeatures {

namespace {

std::atomic<bool> s_enabled{true};

#if EKCOMMON_X86_EXTENSIONS
struct Features {
  bool sha = false, aes = false, vaes = false, avx2 = false;
};

// The YMM registers are usable only when the operating system saves them on a context switch,
// which it reports through XCR0 (SSE and AVX state bits).
bool ymmStateSaved() {
  unsigned low, high;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (low & 6) == 6;
}

Features detect() {
  Features f;
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
    return f;
  const bool base = (ecx & bit_SSSE3) && (ecx & bit_SSE4_1);
  const bool avx = (ecx & bit_OSXSAVE) && (ecx & bit_AVX) && ymmStateSaved();
  f.aes = base && (ecx & bit_AES);
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
    return f;
  f.sha = base && (ebx & bit_SHA);
  f.avx2 = avx && (ebx & bit_AVX2) && (ebx & bit_BMI2);
  f.vaes = f.aes && avx && (ebx & bit_AVX2) && (ecx & bit_VAES);
  return f;
}

const Features& features() {
  static const Features s_features = detect();
  return s_features;
}
#endif

} // namespace

void setAcceleration(bool enabled) { s_enabled.store(enabled, std::memory_order_relaxed); }

#if EKCOMMON_X86_EXTENSIONS
bool sha() { return s_enabled.load(std::memory_order_relaxed) && features().sha; }
bool aes() { return s_enabled.load(std::memory_order_relaxed) && features().aes; }
bool vaes() { return s_enabled.load(std::memory_order_relaxed) && features().vaes; }
bool avx2() { return s_enabled.load(std::memory_order_relaxed) && features().avx2; }
#endif

} // namespace EKCpuFeatures
} // namespace EKCommonNS
