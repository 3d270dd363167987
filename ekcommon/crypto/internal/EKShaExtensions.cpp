#include "ekcommon/crypto/internal/EKShaExtensions.h"

#if EKCOMMON_X86_EXTENSIONS

#include "ekcommon/crypto/internal/EKSHA2Rounds.h"

#include <immintrin.h>
#include <utility>

// The functions below are compiled for the SHA extension only (the rest of the library keeps
// the baseline instruction set) and run only after EKCpuFeatures::sha() has said yes.
#define EK_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace EKCommonNS {
namespace EKShaExtensions {

namespace {

EK_SHA_TARGET inline __m128i load(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
EK_SHA_TARGET inline void store(void* p, __m128i v) {
  _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

// Rounds 4g .. 4g+3 of SHA-1, with the message schedule for later groups interleaved. m holds
// the last four schedule vectors; e[g % 2] carries E into the group.
template <int G>
EK_SHA_TARGET inline void sha1Group(__m128i& abcd, __m128i (&e)[2], __m128i (&m)[4]) {
  __m128i& x = m[G % 4];
  __m128i& eIn = e[G % 2];
  if (G == 0)
    eIn = _mm_add_epi32(eIn, x);
  else
    eIn = _mm_sha1nexte_epu32(eIn, x);
  e[(G + 1) % 2] = abcd;
  if (G >= 3 && G <= 18)
    m[(G + 1) % 4] = _mm_sha1msg2_epu32(m[(G + 1) % 4], x);
  abcd = _mm_sha1rnds4_epu32(abcd, eIn, G / 5);
  if (G >= 1 && G <= 16)
    m[(G + 3) % 4] = _mm_sha1msg1_epu32(m[(G + 3) % 4], x);
  if (G >= 2 && G <= 17)
    m[(G + 2) % 4] = _mm_xor_si128(m[(G + 2) % 4], x);
}

template <int... G>
EK_SHA_TARGET inline void sha1Groups(__m128i& abcd, __m128i (&e)[2], __m128i (&m)[4],
                                     std::integer_sequence<int, G...>) {
  (sha1Group<G>(abcd, e, m), ...);
}

// Rounds 4g .. 4g+3 of SHA-256 on the ABEF/CDGH state halves, with the message schedule for
// later groups interleaved.
template <int G>
EK_SHA_TARGET inline void sha256Group(__m128i& abef, __m128i& cdgh, __m128i (&m)[4]) {
  const __m128i& x = m[G % 4];
  __m128i kw = _mm_add_epi32(x, load(EKSHA2Rounds::SHA256Traits::K + 4 * G));
  cdgh = _mm_sha256rnds2_epu32(cdgh, abef, kw);
  if (G >= 3 && G <= 14) {
    __m128i& next = m[(G + 1) % 4];
    next = _mm_add_epi32(next, _mm_alignr_epi8(x, m[(G + 3) % 4], 4));
    next = _mm_sha256msg2_epu32(next, x);
  }
  kw = _mm_shuffle_epi32(kw, 0x0e);
  abef = _mm_sha256rnds2_epu32(abef, cdgh, kw);
  if (G >= 1 && G <= 12)
    m[(G + 3) % 4] = _mm_sha256msg1_epu32(m[(G + 3) % 4], x);
}

template <int... G>
EK_SHA_TARGET inline void sha256Groups(__m128i& abef, __m128i& cdgh, __m128i (&m)[4],
                                       std::integer_sequence<int, G...>) {
  (sha256Group<G>(abef, cdgh, m), ...);
}

} // namespace

EK_SHA_TARGET void sha1Transform(uint32_t state[5], const uint8_t* blocks, size_t count) {
  const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  __m128i abcd = _mm_shuffle_epi32(load(state), 0x1b);
  __m128i e0 = _mm_set_epi32(int(state[4]), 0, 0, 0);
  for (; count; --count, blocks += 64) {
    const __m128i abcdSaved = abcd, eSaved = e0;
    __m128i m[4], e[2] = {e0, _mm_setzero_si128()};
    for (int i = 0; i < 4; ++i)
      m[i] = _mm_shuffle_epi8(load(blocks + 16 * i), byteSwap);
    sha1Groups(abcd, e, m, std::make_integer_sequence<int, 20>());
    // After group 19, e[0] holds the state that became E.
    e0 = _mm_sha1nexte_epu32(e[0], eSaved);
    abcd = _mm_add_epi32(abcd, abcdSaved);
  }
  store(state, _mm_shuffle_epi32(abcd, 0x1b));
  state[4] = uint32_t(_mm_extract_epi32(e0, 3));
}

EK_SHA_TARGET void sha256Transform(uint32_t state[8], const uint8_t* blocks, size_t count) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
  // The instructions want the state as ABEF and CDGH.
  const __m128i dcba = _mm_shuffle_epi32(load(state), 0xb1);
  const __m128i efgh = _mm_shuffle_epi32(load(state + 4), 0x1b);
  __m128i abef = _mm_alignr_epi8(dcba, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, dcba, 0xf0);
  for (; count; --count, blocks += 64) {
    const __m128i abefSaved = abef, cdghSaved = cdgh;
    __m128i m[4];
    for (int i = 0; i < 4; ++i)
      m[i] = _mm_shuffle_epi8(load(blocks + 16 * i), byteSwap);
    sha256Groups(abef, cdgh, m, std::make_integer_sequence<int, 16>());
    abef = _mm_add_epi32(abef, abefSaved);
    cdgh = _mm_add_epi32(cdgh, cdghSaved);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1b);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xb1);
  store(state, _mm_blend_epi16(feba, dchg, 0xf0));
  store(state + 4, _mm_alignr_epi8(dchg, feba, 8));
}

} // namespace EKShaExtensions
} // namespace EKCommonNS

#endif
