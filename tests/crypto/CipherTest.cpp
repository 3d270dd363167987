#include "CryptoTestUtil.h"

#include <ekcommon/crypto/EKAES.h>
#include <ekcommon/crypto/EKRC4.h>

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <memory>

namespace ek = EKCommonNS;
using namespace EKCryptoTest;

namespace {

using Bytes = std::vector<uint8_t>;

const std::string KEY128 = "2b7e151628aed2a6abf7158809cf4f3c";
const std::string KEY192 = "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b";
const std::string KEY256 = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const std::string IV = "000102030405060708090a0b0c0d0e0f";

class AES : public BothPaths {};
INSTANTIATE_TEST_SUITE_P(, AES, ::testing::Bool(), pathName);

// The four-block ECB and CBC examples of NIST SP 800-38A for each key size, both ways, again
// from the IV on a second call, and in place.
TEST_P(AES, PublishedVectors) {
  const std::string nistPlain = "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
                                "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
  const struct {
    ek::AES_Mode mode;
    std::string key, plain, cipher;
  } rows[] = {
      {ek::AES_MODE_ECB, KEY128, nistPlain,
       "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
       "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4"},
      {ek::AES_MODE_ECB, KEY192, nistPlain,
       "bd334f1d6e45f25ff712a214571fa5cc974104846d0ad3ad7734ecb3ecee4eef"
       "ef7afd2270e2e60adce0ba2face6444e9a4b41ba738d6c72fb16691603c18e0e"},
      {ek::AES_MODE_ECB, KEY256, nistPlain,
       "f3eed1bdb5d2a03c064b5a7e3db181f8591ccb10d410ed26dc5ba74a31362870"
       "b6ed21b99ca6f4f9f153e7b1beafed1d23304b7a39f9f3ff067d8d8f9e24ecc7"},
      {ek::AES_MODE_CBC, KEY128, nistPlain,
       "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
       "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
      {ek::AES_MODE_CBC, KEY192, nistPlain,
       "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
       "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd"},
      {ek::AES_MODE_CBC, KEY256, nistPlain,
       "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
       "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
  };
  const Bytes iv = fromHex(IV);
  for (const auto& row : rows) {
    const Bytes key = fromHex(row.key), p = fromHex(row.plain);
    const int bits = int(p.size() * 8);
    const ek::AES_Encryption enc(row.mode, key.data(), int(key.size()), iv.data());
    const ek::AES_Decryption dec(row.mode, key.data(), int(key.size()), iv.data());
    Bytes c(p.size()), back(p.size());
    for (int call = 0; call < 2; ++call) {
      EXPECT_EQ(enc.blockEncrypt(p.data(), bits, c.data()), bits);
      EXPECT_EQ(toHex(c), row.cipher) << row.mode << " " << row.key << ", call " << call;
    }
    EXPECT_EQ(dec.blockDecrypt(c.data(), bits, back.data()), bits);
    EXPECT_EQ(back, p);
    EXPECT_EQ(dec.blockDecrypt(c.data(), bits, c.data()), bits);
    EXPECT_EQ(c, p) << "in place";
  }

  // The CFB1 example: its 16 plaintext bits lead a block, as 1-bit CFB output depends only on
  // the bits before it.
  const Bytes key = fromHex(KEY128), block = fromHex("6bc1" + std::string(28, '0'));
  Bytes out(16);
  const ek::AES_Encryption enc(ek::AES_MODE_CFB1, key.data(), 16, iv.data());
  EXPECT_EQ(enc.blockEncrypt(block.data(), 128, out.data()), 128);
  EXPECT_EQ(toHex(out).substr(0, 4), "68b3");
}

struct EvpCtx {
  std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx{EVP_CIPHER_CTX_new(),
                                                                  EVP_CIPHER_CTX_free};
};

Bytes referenceCipher(const EVP_CIPHER* cipher, const Bytes& key, const Bytes& iv,
                      const Bytes& in, bool padding) {
  EvpCtx e;
  Bytes out(in.size() + 32);
  int n = 0, tail = 0;
  EVP_EncryptInit_ex(e.ctx.get(), cipher, nullptr, key.data(), iv.data());
  EVP_CIPHER_CTX_set_padding(e.ctx.get(), padding ? 1 : 0);
  EVP_EncryptUpdate(e.ctx.get(), out.data(), &n, in.data(), int(in.size()));
  EVP_EncryptFinal_ex(e.ctx.get(), out.data() + n, &tail);
  out.resize(size_t(n + tail));
  return out;
}

const EVP_CIPHER* evpCipher(ek::AES_Mode mode, size_t keyBytes) {
  const EVP_CIPHER* table[3][3] = {
      {EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb()},
      {EVP_aes_128_cbc(), EVP_aes_192_cbc(), EVP_aes_256_cbc()},
      {EVP_aes_128_cfb1(), EVP_aes_192_cfb1(), EVP_aes_256_cfb1()},
  };
  return table[mode][keyBytes / 8 - 2];
}

// Random keys, IVs and messages in every key size and mode: padded ECB and CBC and whole-block
// CFB1 must match OpenSSL and decrypt back.
TEST_P(AES, MatchesOpenSSL) {
  std::mt19937 rng(7);
  for (ek::AES_Mode mode : {ek::AES_MODE_ECB, ek::AES_MODE_CBC, ek::AES_MODE_CFB1}) {
    for (size_t keyBytes : {16, 24, 32}) {
      for (int round = 0; round < 25; ++round) {
        const Bytes key = randomBytes(rng, keyBytes), iv = randomBytes(rng, 16);
        const bool cfb = mode == ek::AES_MODE_CFB1;
        const size_t length = cfb ? 16 * (rng() % 5) : rng() % 100;
        const Bytes plain = randomBytes(rng, length);
        const ek::AES_Encryption enc(mode, key.data(), int(keyBytes), iv.data());
        const ek::AES_Decryption dec(mode, key.data(), int(keyBytes), iv.data());
        Bytes cipher(length + 16), back(length + 16);
        const int n = cfb ? enc.blockEncrypt(plain.data(), int(length * 8), cipher.data()) / 8
                          : enc.padEncrypt(plain.data(), int(length), cipher.data());
        ASSERT_GE(n, 0);
        cipher.resize(size_t(n));
        EXPECT_EQ(cipher, referenceCipher(evpCipher(mode, keyBytes), key, iv, plain, !cfb))
            << "mode " << mode << ", key " << keyBytes << ", " << length << " bytes";
        const int m = cfb ? dec.blockDecrypt(cipher.data(), n * 8, back.data()) / 8
                          : dec.padDecrypt(cipher.data(), n, back.data());
        back.resize(size_t(std::max(m, 0)));
        EXPECT_EQ(back, plain);
      }
    }
  }
}

// Long messages in every mode and key size, unpadded so that the block count is exact: 0 to 40
// blocks cover every remainder after the groups of blocks the accelerated code runs together.
// Decryption runs in place as well.
TEST_P(AES, LongMessagesMatchOpenSSL) {
  std::mt19937 rng(11);
  for (ek::AES_Mode mode : {ek::AES_MODE_ECB, ek::AES_MODE_CBC, ek::AES_MODE_CFB1}) {
    for (size_t keyBytes : {16, 24, 32}) {
      for (size_t blocks = 0; blocks <= 40; blocks += mode == ek::AES_MODE_CFB1 ? 13 : 1) {
        const Bytes key = randomBytes(rng, keyBytes), iv = randomBytes(rng, 16);
        const Bytes plain = randomBytes(rng, 16 * blocks);
        const int bits = int(128 * blocks);
        const ek::AES_Encryption enc(mode, key.data(), int(keyBytes), iv.data());
        const ek::AES_Decryption dec(mode, key.data(), int(keyBytes), iv.data());
        Bytes cipher(plain.size());
        EXPECT_EQ(enc.blockEncrypt(plain.data(), bits, cipher.data()), bits);
        EXPECT_EQ(cipher, referenceCipher(evpCipher(mode, keyBytes), key, iv, plain, false))
            << "mode " << mode << ", key " << keyBytes << ", " << blocks << " blocks";
        EXPECT_EQ(dec.blockDecrypt(cipher.data(), bits, cipher.data()), bits);
        EXPECT_EQ(cipher, plain) << "mode " << mode << ", key " << keyBytes << ", " << blocks;
      }
    }
  }
}

// Result codes of set-up failures, wrong directions, modes and lengths.
TEST_P(AES, ResultCodes) {
  const Bytes key = fromHex(KEY256);
  unsigned char in[48] = {}, out[64];
  using Method = int (ek::AES_Base::*)(const unsigned char*, int, unsigned char*) const;
  const Method BLOCK_ENC = &ek::AES_Base::blockEncrypt, BLOCK_DEC = &ek::AES_Base::blockDecrypt,
               PAD_ENC = &ek::AES_Base::padEncrypt, PAD_DEC = &ek::AES_Base::padDecrypt;
  const struct {
    const char* what;
    bool decrypt;
    int mode, keyBytes; // keyBytes -1: a null key said to have 16 bytes
    Method call;
    int length, expected;
  } rows[] = {
      {"20-byte key", false, 0, 20, BLOCK_ENC, 128, -5},
      {"0-byte key", true, 1, 0, BLOCK_DEC, 128, -5},
      {"negative key length", true, 0, -16, PAD_DEC, 16, -5},
      {"null key", false, 0, -1, BLOCK_ENC, 128, -5},
      {"mode 3", false, 3, 16, BLOCK_ENC, 128, -5},
      {"mode -1", true, -1, 16, BLOCK_DEC, 128, -5},
      {"uninitialised beats direction", false, 0, 20, BLOCK_DEC, 128, -5},
      {"decrypt on encryptor", false, 1, 16, BLOCK_DEC, 128, -6},
      {"pad-decrypt on encryptor", false, 0, 24, PAD_DEC, 16, -6},
      {"encrypt on decryptor", true, 2, 32, BLOCK_ENC, 128, -6},
      {"padding in CFB1", false, 2, 16, PAD_ENC, 16, -1},
      {"unpadding in CFB1", true, 2, 16, PAD_DEC, 16, -1},
      {"negative bits", true, 1, 16, BLOCK_DEC, -128, 0},
      {"part of a block", false, 2, 16, BLOCK_ENC, 127, 0},
      {"whole blocks only", false, 1, 16, BLOCK_ENC, 300, 256},
      {"pad 16 bytes", false, 1, 16, PAD_ENC, 16, 32},
      {"pad 15 bytes", false, 0, 16, PAD_ENC, 15, 16},
      {"pad 0 bytes", false, 1, 16, PAD_ENC, 0, 16},
      {"pad negative", false, 1, 16, PAD_ENC, -1, 0},
      {"unpad 15 bytes", true, 0, 16, PAD_DEC, 15, -7},
      {"unpad 0 bytes", true, 1, 16, PAD_DEC, 0, -7},
      {"unpad 17 bytes", true, 1, 16, PAD_DEC, 17, -7},
  };
  for (const auto& row : rows) {
    const unsigned char* k = row.keyBytes == -1 ? nullptr : key.data();
    const int keyBytes = row.keyBytes == -1 ? 16 : row.keyBytes;
    const auto mode = static_cast<ek::AES_Mode>(row.mode);
    std::unique_ptr<ek::AES_Base> aes;
    if (row.decrypt)
      aes = std::make_unique<ek::AES_Decryption>(mode, k, keyBytes, nullptr);
    else
      aes = std::make_unique<ek::AES_Encryption>(mode, k, keyBytes, nullptr);
    EXPECT_EQ(((*aes).*row.call)(in, row.length, out), row.expected) << row.what;
    EXPECT_EQ(aes->isInitialised(), row.expected != -5) << row.what;
  }
  const ek::AES_Encryption enc(ek::AES_MODE_CBC, key.data(), 32, nullptr);
  EXPECT_EQ(enc.blockEncrypt(nullptr, 128, out), 0);
  EXPECT_EQ(enc.padEncrypt(in, 16, nullptr), 0);
}

// padDecrypt's treatment of the pad byte, per mode: the plain last block is made to order,
// encrypted raw and then unpadded. A refused padding leaves out untouched.
TEST_P(AES, PadDecryptRules) {
  const Bytes key = fromHex(KEY128), iv = fromHex(IV);
  const struct {
    ek::AES_Mode mode;
    const char* lastBlock;
    int expected;
  } rows[] = {
      {ek::AES_MODE_ECB, "0102030405060708090a0b0c0d0e0f01", 31},
      {ek::AES_MODE_CBC, "0102030405060708090a0b0c0d0e0f01", 31},
      {ek::AES_MODE_CBC, "01020304050607090909090909090909", 23},
      {ek::AES_MODE_ECB, "10101010101010101010101010101010", 16},
      {ek::AES_MODE_CBC, "01020304050607080909090909090809", -7},
      {ek::AES_MODE_ECB, "00101010101010101010101010101010", -7},
      {ek::AES_MODE_ECB, "0102030405060708090a0b0c0d0e0f00", 32},
      {ek::AES_MODE_CBC, "0102030405060708090a0b0c0d0e0f00", -7},
      {ek::AES_MODE_ECB, "0102030405060708090a0b0c0d0e0f11", -7},
      {ek::AES_MODE_CBC, "0102030405060708090a0b0c0d0e0f11", 32},
  };
  for (const auto& row : rows) {
    Bytes plain = fromHex(std::string(32, 'a') + row.lastBlock), cipher(32), out(32, 0xee);
    const ek::AES_Encryption enc(row.mode, key.data(), 16, iv.data());
    const ek::AES_Decryption dec(row.mode, key.data(), 16, iv.data());
    ASSERT_EQ(enc.blockEncrypt(plain.data(), 256, cipher.data()), 256);
    EXPECT_EQ(dec.padDecrypt(cipher.data(), 32, out.data()), row.expected)
        << row.mode << " " << row.lastBlock;
    if (row.expected < 0)
      EXPECT_EQ(out, Bytes(32, 0xee)) << row.lastBlock;
    else
      EXPECT_TRUE(std::equal(out.begin(), out.begin() + row.expected, plain.begin()));
  }
  // A lone padded block chains from the IV.
  const ek::AES_Encryption enc(ek::AES_MODE_CBC, key.data(), 16, iv.data());
  const ek::AES_Decryption dec(ek::AES_MODE_CBC, key.data(), 16, iv.data());
  unsigned char one[16], back[16];
  ASSERT_EQ(enc.padEncrypt(reinterpret_cast<const unsigned char*>("abc"), 3, one), 16);
  ASSERT_EQ(dec.padDecrypt(one, 16, back), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(back), 3), "abc");
}

// RFC 6229 key streams at several offsets, produced in uneven pieces.
TEST(RC4, RFC6229KeyStreams) {
  const struct {
    const char* key;
    size_t offset;
    const char* stream;
  } rows[] = {
      {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
      {"0102030405", 4096, "ff25b58995996707e51fbdf08b34d875"},
      {"01020304050607", 0, "293f02d47f37c9b633f2af5285feb46b"},
      {"0102030405060708", 0, "97ab8a1bf0afb96132f2f67258da15a8"},
      {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
      {"0102030405060708090a0b0c0d0e0f10", 4096, "a36a4c301ae8ac13610ccbc12256cacc"},
  };
  for (const auto& row : rows) {
    const Bytes key = fromHex(row.key);
    ek::RC4_KEY rc4(int(key.size()), key.data());
    Bytes stream(row.offset + 16);
    for (size_t at = 0, n = 1; at < stream.size(); at += n, n = n * 3 % 37 + 1) {
      n = std::min(n, stream.size() - at);
      rc4.RC4(int(n), stream.data() + at, stream.data() + at);
    }
    EXPECT_EQ(toHex(stream.data() + row.offset, 16), row.stream) << row.key << "@" << row.offset;
  }
}

// Random keys of every length against OpenSSL's RC4 (in its legacy provider), and the
// degenerate keys, which schedule as the key 00.
TEST(RC4, MatchesOpenSSLAndDegenerateKeys) {
  // A library context of its own, so that the other tests keep the default provider whatever
  // the order they run in.
  OSSL_LIB_CTX* library = OSSL_LIB_CTX_new();
  OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(library, "legacy");
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(library, "RC4", nullptr);
  ASSERT_NE(cipher, nullptr) << "OpenSSL's legacy provider has no RC4";
  std::mt19937 rng(99);
  for (int round = 0; round < 50; ++round) {
    const Bytes key = randomBytes(rng, 1 + rng() % 256), plain = randomBytes(rng, rng() % 700);
    EvpCtx e;
    Bytes expected(plain.size() + 1), got(plain.size() + 1);
    int n = 0;
    EVP_EncryptInit_ex(e.ctx.get(), cipher, nullptr, nullptr, nullptr);
    EVP_CIPHER_CTX_set_key_length(e.ctx.get(), int(key.size()));
    EVP_EncryptInit_ex(e.ctx.get(), nullptr, nullptr, key.data(), nullptr);
    EVP_EncryptUpdate(e.ctx.get(), expected.data(), &n, plain.data(), int(plain.size()));
    ek::RC4_KEY(int(key.size()), key.data()).RC4(int(plain.size()), plain.data(), got.data());
    EXPECT_EQ(got, expected) << key.size() << "-byte key";
  }
  EVP_CIPHER_free(cipher);
  OSSL_PROVIDER_unload(legacy);
  OSSL_LIB_CTX_free(library);

  const unsigned char zero = 0;
  unsigned char a[8] = {}, b[8] = {}, c[8] = {};
  ek::RC4_KEY(1, &zero).RC4(8, a, a);
  ek::RC4_KEY(0, &zero).RC4(8, b, b);
  ek::RC4_KEY(-3, nullptr).RC4(8, c, c);
  EXPECT_EQ(toHex(a, 8), toHex(b, 8));
  EXPECT_EQ(toHex(a, 8), toHex(c, 8));
}

} // namespace
