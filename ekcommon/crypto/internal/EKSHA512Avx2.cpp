#include "ekcommon/crypto/internal/EKSHA512Avx2.h"

#if EKCOMMON_X86_EXTENSIONS

#include "ekcommon/crypto/internal/EKSHA2Rounds.h"

#include <immintrin.h>

// The functions below are compiled for AVX2 and BMI2 only (the rest of the library keeps the
// baseline instruction set) and run only after EKCpuFeatures::avx2() has said yes. BMI2 gives
// the scalar rounds rotations that leave their source intact.
#define EK_AVX2_TARGET __attribute__((target("avx2,bmi,bmi2")))

namespace EKCommonNS {
namespace EKSHA512Avx2 {

namespace {

using Traits = EKSHA2Rounds::SHA512Traits;

// The schedule of four blocks at once, one block to each 64-bit lane: the four are independent,
// so every word of the schedule is one vector step with no shuffling between lanes.
constexpr size_t LANES = 4;

template <int N>
EK_AVX2_TARGET inline __m256i rotr(__m256i x) {
  return _mm256_or_si256(_mm256_srli_epi64(x, N), _mm256_slli_epi64(x, 64 - N));
}

EK_AVX2_TARGET inline __m256i sigma0(__m256i x) {
  return _mm256_xor_si256(_mm256_xor_si256(rotr<1>(x), rotr<8>(x)), _mm256_srli_epi64(x, 7));
}

EK_AVX2_TARGET inline __m256i sigma1(__m256i x) {
  return _mm256_xor_si256(_mm256_xor_si256(rotr<19>(x), rotr<61>(x)), _mm256_srli_epi64(x, 6));
}

// Words t .. t+3 of each block, byte-swapped and transposed so that vector i holds word t+i of
// the four blocks.
EK_AVX2_TARGET inline void loadWords(const uint8_t* const (&block)[LANES], int t,
                                     __m256i* words) {
  const __m256i byteSwap = _mm256_set_epi8(8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7,
                                           8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7);
  __m256i r[LANES];
  for (size_t b = 0; b < LANES; ++b)
    r[b] = _mm256_shuffle_epi8(
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block[b] + 8 * t)), byteSwap);
  const __m256i lo01 = _mm256_unpacklo_epi64(r[0], r[1]), hi01 = _mm256_unpackhi_epi64(r[0], r[1]);
  const __m256i lo23 = _mm256_unpacklo_epi64(r[2], r[3]), hi23 = _mm256_unpackhi_epi64(r[2], r[3]);
  words[0] = _mm256_permute2x128_si256(lo01, lo23, 0x20);
  words[1] = _mm256_permute2x128_si256(hi01, hi23, 0x20);
  words[2] = _mm256_permute2x128_si256(lo01, lo23, 0x31);
  words[3] = _mm256_permute2x128_si256(hi01, hi23, 0x31);
}

// The message schedule of up to four blocks, K[t] + W[t] of every round t in kw[t][lane],
// computed a word at a time so that the vector work can run between the scalar rounds of the
// blocks before. Lanes beyond the blocks given repeat the first; nothing reads their results.
struct Scheduler {
  __m256i w[16];
  uint64_t (*kw)[LANES];
  int t;
};

EK_AVX2_TARGET inline void startSchedule(Scheduler& s, const uint8_t* blocks, size_t count,
                                         uint64_t (*kw)[LANES]) {
  const uint8_t* block[LANES];
  for (size_t b = 0; b < LANES; ++b)
    block[b] = blocks + 128 * (b < count ? b : 0);
  for (int t = 0; t < 16; t += 4)
    loadWords(block, t, s.w + t);
  for (int t = 0; t < 16; ++t)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(kw[t]),
                        _mm256_add_epi64(s.w[t], _mm256_set1_epi64x(int64_t(Traits::K[t]))));
  s.kw = kw;
  s.t = 16;
}

EK_AVX2_TARGET inline void scheduleWord(Scheduler& s) {
  const int t = s.t;
  if (t == 80)
    return;
  __m256i& x = s.w[t & 15];
  x = _mm256_add_epi64(_mm256_add_epi64(x, sigma1(s.w[(t + 14) & 15])),
                       _mm256_add_epi64(s.w[(t + 9) & 15], sigma0(s.w[(t + 1) & 15])));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.kw[t]),
                      _mm256_add_epi64(x, _mm256_set1_epi64x(int64_t(Traits::K[t]))));
  s.t = t + 1;
}

// The rounds of one block from its lane of kw, with two words of the next schedule after every
// eight rounds.
EK_AVX2_TARGET void rounds(uint64_t state[8], const uint64_t (*kw)[LANES], size_t lane,
                           Scheduler& next) {
  EKSHA2Rounds::Working<Traits> x(state);
  for (int i = 0; i < Traits::ROUNDS; i += 8) {
    x.eightRounds(i, [kw, lane](int j) { return kw[j][lane]; });
    scheduleWord(next);
    scheduleWord(next);
  }
  x.addTo(state);
}

} // namespace

EK_AVX2_TARGET void transform(uint64_t state[8], const uint8_t* blocks, size_t count) {
  if (!count)
    return; // the schedule would read a first block
  alignas(32) uint64_t kw[2][80][LANES];
  Scheduler schedule;
  size_t group = count < LANES ? count : LANES;
  startSchedule(schedule, blocks, group, kw[0]);
  for (int current = 0; count; current ^= 1) {
    while (schedule.t < 80)
      scheduleWord(schedule);
    const uint8_t* nextBlocks = blocks + 128 * group;
    const size_t left = count - group, nextGroup = left < LANES ? left : LANES;
    if (nextGroup)
      startSchedule(schedule, nextBlocks, nextGroup, kw[current ^ 1]);
    for (size_t lane = 0; lane < group; ++lane)
      rounds(state, kw[current], lane, schedule);
    blocks = nextBlocks;
    count = left;
    group = nextGroup;
  }
}

} // namespace EKSHA512Avx2
} // namespace EKCommonNS

#endif
