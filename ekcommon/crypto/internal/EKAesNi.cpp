#include "ekcommon/crypto/internal/EKAesNi.h"

#if EKCOMMON_X86_EXTENSIONS

#include <immintrin.h>

// The functions below are compiled for the AES instructions only (the rest of the library keeps
// the baseline instruction set) and run only after EKCpuFeatures::aes() has said yes.
#define EK_AES_TARGET __attribute__((target("aes,sse4.1,ssse3")))
// Likewise for two blocks in each AVX2 register, after EKCpuFeatures::vaes().
#define EK_VAES_TARGET __attribute__((target("vaes,avx2,aes,sse4.1,ssse3")))

namespace EKCommonNS {
namespace EKAesNi {

namespace {

// Blocks in flight in the modes whose blocks are independent: enough to keep the AES units busy
// through the latency of each round, few enough that blocks and a key fit the 16 registers.
constexpr int LANES = 8;

EK_AES_TARGET inline __m128i load(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
EK_AES_TARGET inline void store(void* p, __m128i v) {
  _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

// The round keys in the byte order of the instructions.
struct Keys {
  __m128i k[15];
  int rounds;
};

EK_AES_TARGET inline Keys loadKeys(const Schedule& schedule) {
  const __m128i wordSwap = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
  Keys keys;
  keys.rounds = schedule.rounds;
  for (int i = 0; i <= schedule.rounds; ++i)
    keys.k[i] = _mm_shuffle_epi8(load(schedule.roundKeys + 4 * i), wordSwap);
  return keys;
}

// Rounds 1 to the last on N blocks already XORed with round key 0, round by round so that the
// N blocks overlap in the pipeline.
template <bool Decrypt, int N>
EK_AES_TARGET inline void rounds(const Keys& keys, __m128i (&x)[N]) {
  for (int r = 1; r < keys.rounds; ++r) {
    const __m128i key = keys.k[r];
    for (int j = 0; j < N; ++j)
      x[j] = Decrypt ? _mm_aesdec_si128(x[j], key) : _mm_aesenc_si128(x[j], key);
  }
  const __m128i last = keys.k[keys.rounds];
  for (int j = 0; j < N; ++j)
    x[j] = Decrypt ? _mm_aesdeclast_si128(x[j], last) : _mm_aesenclast_si128(x[j], last);
}

template <bool Decrypt, int N>
EK_AES_TARGET inline void cipher(const Keys& keys, __m128i (&x)[N]) {
  for (int j = 0; j < N; ++j)
    x[j] = _mm_xor_si128(x[j], keys.k[0]);
  rounds<Decrypt>(keys, x);
}

// The round keys repeated in both halves of an AVX2 register.
struct WideKeys {
  __m256i k[15];
  int rounds;
};

EK_VAES_TARGET inline WideKeys widen(const Keys& keys) {
  WideKeys wide;
  wide.rounds = keys.rounds;
  for (int i = 0; i <= keys.rounds; ++i)
    wide.k[i] = _mm256_broadcastsi128_si256(keys.k[i]);
  return wide;
}

EK_VAES_TARGET inline __m256i loadWide(const void* p) {
  return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

// The whole cipher on N pairs of blocks, round by round: cipher() on the wide registers, which
// need a target of their own and so a function of their own.
template <bool Decrypt, int N>
EK_VAES_TARGET inline void wideCipher(const WideKeys& keys, __m256i (&x)[N]) {
  for (int j = 0; j < N; ++j)
    x[j] = _mm256_xor_si256(x[j], keys.k[0]);
  for (int r = 1; r < keys.rounds; ++r) {
    const __m256i key = keys.k[r];
    for (int j = 0; j < N; ++j)
      x[j] = Decrypt ? _mm256_aesdec_epi128(x[j], key) : _mm256_aesenc_epi128(x[j], key);
  }
  const __m256i last = keys.k[keys.rounds];
  for (int j = 0; j < N; ++j)
    x[j] = Decrypt ? _mm256_aesdeclast_epi128(x[j], last) : _mm256_aesenclast_epi128(x[j], last);
}

// ECB over as many whole groups of 2 * LANES blocks as count holds; returns the blocks done.
template <bool Decrypt>
EK_VAES_TARGET size_t wideEcb(const Keys& narrow, const uint8_t* in, size_t count, uint8_t* out) {
  const WideKeys keys = widen(narrow);
  size_t done = 0;
  for (; count - done >= 2 * LANES; done += 2 * LANES) {
    __m256i x[LANES];
    for (int j = 0; j < LANES; ++j)
      x[j] = loadWide(in + 16 * done + 32 * j);
    wideCipher<Decrypt>(keys, x);
    for (int j = 0; j < LANES; ++j)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16 * done + 32 * j), x[j]);
  }
  return done;
}

// CBC decryption likewise, from chain, which it leaves at the last cipher block done.
EK_VAES_TARGET size_t wideCbcDecrypt(const Keys& narrow, __m128i& chain, const uint8_t* in,
                                     size_t count, uint8_t* out) {
  const WideKeys keys = widen(narrow);
  size_t done = 0;
  for (; count - done >= 2 * LANES; done += 2 * LANES) {
    const uint8_t* from = in + 16 * done;
    __m256i x[LANES], previous[LANES];
    // The cipher blocks each pair chains from, read before out may overwrite in.
    previous[0] = _mm256_inserti128_si256(_mm256_castsi128_si256(chain), load(from), 1);
    for (int j = 0; j < LANES; ++j) {
      x[j] = loadWide(from + 32 * j);
      if (j)
        previous[j] = loadWide(from + 32 * j - 16);
    }
    chain = load(from + 16 * (2 * LANES - 1));
    wideCipher<true>(keys, x);
    for (int j = 0; j < LANES; ++j)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16 * done + 32 * j),
                          _mm256_xor_si256(x[j], previous[j]));
  }
  return done;
}

template <bool Decrypt>
EK_AES_TARGET void ecb(const Schedule& schedule, const uint8_t* in, size_t count, uint8_t* out) {
  const Keys keys = loadKeys(schedule);
  if (EKCpuFeatures::vaes()) {
    const size_t done = wideEcb<Decrypt>(keys, in, count, out);
    in += 16 * done;
    out += 16 * done;
    count -= done;
  }
  for (; count >= LANES; count -= LANES, in += 16 * LANES, out += 16 * LANES) {
    __m128i x[LANES];
    for (int j = 0; j < LANES; ++j)
      x[j] = load(in + 16 * j);
    cipher<Decrypt>(keys, x);
    for (int j = 0; j < LANES; ++j)
      store(out + 16 * j, x[j]);
  }
  for (; count; --count, in += 16, out += 16) {
    __m128i x[1] = {load(in)};
    cipher<Decrypt>(keys, x);
    store(out, x[0]);
  }
}

} // namespace

void ecbEncrypt(const Schedule& keys, const uint8_t* in, size_t count, uint8_t* out) {
  ecb<false>(keys, in, count, out);
}

void ecbDecrypt(const Schedule& keys, const uint8_t* in, size_t count, uint8_t* out) {
  ecb<true>(keys, in, count, out);
}

EK_AES_TARGET void cbcEncrypt(const Schedule& schedule, const uint8_t iv[16], const uint8_t* in,
                              size_t count, uint8_t* out) {
  const Keys keys = loadKeys(schedule);
  __m128i chain = load(iv);
  for (; count; --count, in += 16, out += 16) {
    // Round key 0 goes into the plain block first, off the chain's critical path.
    __m128i x[1] = {_mm_xor_si128(chain, _mm_xor_si128(load(in), keys.k[0]))};
    rounds<false>(keys, x);
    chain = x[0];
    store(out, chain);
  }
}

EK_AES_TARGET void cbcDecrypt(const Schedule& schedule, const uint8_t iv[16], const uint8_t* in,
                              size_t count, uint8_t* out) {
  const Keys keys = loadKeys(schedule);
  __m128i chain = load(iv);
  if (EKCpuFeatures::vaes()) {
    const size_t done = wideCbcDecrypt(keys, chain, in, count, out);
    in += 16 * done;
    out += 16 * done;
    count -= done;
  }
  for (; count >= LANES; count -= LANES, in += 16 * LANES, out += 16 * LANES) {
    // The cipher blocks are kept aside, as out may overwrite in.
    __m128i c[LANES], x[LANES];
    for (int j = 0; j < LANES; ++j)
      x[j] = c[j] = load(in + 16 * j);
    cipher<true>(keys, x);
    store(out, _mm_xor_si128(x[0], chain));
    for (int j = 1; j < LANES; ++j)
      store(out + 16 * j, _mm_xor_si128(x[j], c[j - 1]));
    chain = c[LANES - 1];
  }
  for (; count; --count, in += 16, out += 16) {
    const __m128i c = load(in);
    __m128i x[1] = {c};
    cipher<true>(keys, x);
    store(out, _mm_xor_si128(x[0], chain));
    chain = c;
  }
}

EK_AES_TARGET void cfb1(const Schedule& schedule, const uint8_t iv[16], const uint8_t* in,
                        size_t count, uint8_t* out, bool decrypt) {
  const Keys keys = loadKeys(schedule);
  const __m128i byteReverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  // The shift register held byte-reversed, as a little-endian 128-bit number, so that shifting a
  // bit in is an integer shift.
  __m128i shift = _mm_shuffle_epi8(load(iv), byteReverse);
  for (size_t i = 0; i < 16 * count; ++i) {
    const unsigned inByte = in[i];
    unsigned outByte = 0;
    for (int bit = 7; bit >= 0; --bit) {
      __m128i x[1] = {_mm_shuffle_epi8(shift, byteReverse)};
      cipher<false>(keys, x);
      // The key stream bit is the top bit of the first byte of the encrypted register.
      const unsigned inBit = (inByte >> bit) & 1;
      const unsigned outBit = inBit ^ (unsigned(_mm_movemask_epi8(x[0])) & 1);
      outByte |= outBit << bit;
      const __m128i carry = _mm_srli_epi64(_mm_slli_si128(shift, 8), 63);
      shift = _mm_or_si128(_mm_or_si128(_mm_slli_epi64(shift, 1), carry),
                           _mm_cvtsi32_si128(int(decrypt ? inBit : outBit)));
    }
    out[i] = uint8_t(outByte);
  }
}

} // namespace EKAesNi
} // namespace EKCommonNS

#endif
