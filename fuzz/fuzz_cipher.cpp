// Digests and ciphers on arbitrary bytes, checked against themselves: a digest must not depend
// on where the input is split, AES must decrypt what it encrypted in every mode and key size,
// and unpadding hostile ciphertext must stay within its buffers and report a sane length.
// Byte 0 picks the mode and key size, byte 1 the split point; the rest is key, IV and data.
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

template <class Ctx>
void splitInvariance(const uint8_t* data, size_t size, size_t split) {
  Ctx whole, parts;
  unsigned char a[Ctx::DIGEST_LENGTH], b[Ctx::DIGEST_LENGTH];
  whole.Update(data, static_cast<unsigned>(size));
  parts.Update(data, static_cast<unsigned>(split));
  parts.Update(data + split, static_cast<unsigned>(size - split));
  whole.Final(a);
  parts.Final(b);
  check(std::memcmp(a, b, sizeof a) == 0);
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
  std::vector<uint8_t> out(length + 16), back(length + 16);
  if (mode == AES_MODE_CFB1) {
    const int bits = enc.blockEncrypt(body, n * 8, out.data());
    check(bits == n / 16 * 128);
    check(dec.blockDecrypt(out.data(), bits, back.data()) == bits);
    check(std::memcmp(back.data(), body, size_t(bits / 8)) == 0);
    return 0;
  }
  const int padded = enc.padEncrypt(body, n, out.data());
  check(padded == n / 16 * 16 + 16);
  check(dec.padDecrypt(out.data(), padded, back.data()) == n);
  check(std::memcmp(back.data(), body, length) == 0);

  // The body taken as ciphertext: any result but a length within the input is a fault.
  const int plain = dec.padDecrypt(body, n, back.data());
  check(plain == AES_Base::BAD_DATA || (plain >= 0 && plain <= n && n % 16 == 0));

  RC4_KEY rc4(keyBytes, key);
  rc4.RC4(n, body, out.data());
  return 0;
}
