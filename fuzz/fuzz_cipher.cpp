// Digests and ciphers on arbitrary bytes, checked against themselves: a digest must not depend
// on where the input is split nor on whether the CPU's extensions or the portable code computes
// it, AES must decrypt what it encrypted in every mode and key size, both paths must produce the
// same bytes, and unpadding hostile ciphertext must stay within its buffers and report a sane
// length.
// Byte 0 picks the mode and key size, byte 1 the split point; the rest is key, IV and data.
#include <ekcommon/crypto/internal/EKCpuFeatures.h>
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

// The whole message on the portable code, the same in two parts on the accelerated path.
template <class Ctx>
void splitInvariance(const uint8_t* data, size_t size, size_t split) {
  Ctx whole, parts;
  unsigned char a[Ctx::DIGEST_LENGTH], b[Ctx::DIGEST_LENGTH];
  EKCpuFeatures::setAcceleration(false);
  whole.Update(data, static_cast<unsigned>(size));
  whole.Final(a);
  EKCpuFeatures::setAcceleration(true);
  parts.Update(data, static_cast<unsigned>(split));
  parts.Update(data + split, static_cast<unsigned>(size - split));
  parts.Final(b);
  check(std::memcmp(a, b, sizeof a) == 0);
}

// Runs call on the portable code and on the accelerated path, each writing into zeroed bytes,
// checks that both return the same and write the same, and leaves the bytes in out.
template <typename Call>
int samePaths(size_t size, std::vector<uint8_t>& out, Call call) {
  std::vector<uint8_t> accelerated(size);
  out.assign(size, 0);
  EKCpuFeatures::setAcceleration(false);
  const int expected = call(out.data());
  EKCpuFeatures::setAcceleration(true);
  check(call(accelerated.data()) == expected);
  check(out == accelerated);
  return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 + 32 + 16)
    return 0;
  const auto mode = static_cast<AES_Mode>(data[0] % 3);
  const int keyBytes = 16 + 8 * (data[0] / 3 % 3);
  const uint8_t* key = data + 2;
  const uint8_t* iv = data + 34;
  const uint8_t* body = data + 50;
  const size_t length = size - 50;
  const size_t split = length ? data[1] % (length + 1) : 0;

  splitInvariance<MD5_CTX>(body, length, split);
  splitInvariance<SHA1_CTX>(body, length, split);
  splitInvariance<SHA256_CTX>(body, length, split);
  splitInvariance<SHA512_CTX>(body, length, split);

  const AES_Encryption enc(mode, key, keyBytes, iv);
  const AES_Decryption dec(mode, key, keyBytes, iv);
  const int n = static_cast<int>(length);
  const size_t room = length + 16;
  std::vector<uint8_t> out, back;
  if (mode == AES_MODE_CFB1) {
    const int bits = samePaths(room, out, [&](uint8_t* to) {
      return enc.blockEncrypt(body, n * 8, to);
    });
    check(bits == n / 16 * 128);
    check(samePaths(room, back, [&](uint8_t* to) {
      return dec.blockDecrypt(out.data(), bits, to);
    }) == bits);
    check(std::memcmp(back.data(), body, size_t(bits / 8)) == 0);
    return 0;
  }
  const int padded = samePaths(room, out, [&](uint8_t* to) {
    return enc.padEncrypt(body, n, to);
  });
  check(padded == n / 16 * 16 + 16);
  check(samePaths(room, back, [&](uint8_t* to) {
    return dec.padDecrypt(out.data(), padded, to);
  }) == n);
  check(std::memcmp(back.data(), body, length) == 0);

  // The body taken as ciphertext: any result but a length within the input is a fault.
  const int plain = samePaths(room, back, [&](uint8_t* to) {
    return dec.padDecrypt(body, n, to);
  });
  check(plain == AES_Base::BAD_DATA || (plain >= 0 && plain <= n && n % 16 == 0));

  RC4_KEY rc4(keyBytes, key);
  rc4.RC4(n, body, out.data());
  return 0;
}
