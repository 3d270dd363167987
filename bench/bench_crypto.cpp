// Digest and cipher throughput: the library's portable MD5, SHA-1, SHA-256/384/512 and
// AES-128-CBC against OpenSSL's EVP interface (which may use assembly and CPU extensions) on the
// same 1 KiB and 1 MiB buffers. Compare the bytes_per_second of each Library/OpenSSL pair.
#include <ekcommon/crypto/EKAES.h>
#include <ekcommon/crypto/EKMD5.h>
#include <ekcommon/crypto/EKSHA1.h>
#include <ekcommon/crypto/EKSHA256.h>
#include <ekcommon/crypto/EKSHA512.h>

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <vector>

namespace ek = EKCommonNS;

namespace {

std::vector<unsigned char> input(size_t length) {
  std::vector<unsigned char> bytes(length);
  uint32_t x = 12345;
  for (unsigned char& b : bytes) {
    x = x * 1103515245 + 12345;
    b = static_cast<unsigned char>(x >> 24);
  }
  return bytes;
}

template <class Ctx>
void BM_Library(benchmark::State& state) {
  const auto data = input(size_t(state.range(0)));
  unsigned char digest[Ctx::DIGEST_LENGTH];
  for (auto _ : state) {
    Ctx ctx;
    ctx.Update(data.data(), static_cast<unsigned>(data.size()));
    ctx.Final(digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

template <const EVP_MD* (*md)()>
void BM_OpenSSL(benchmark::State& state) {
  const auto data = input(size_t(state.range(0)));
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  for (auto _ : state) {
    EVP_DigestInit_ex(ctx, md(), nullptr);
    EVP_DigestUpdate(ctx, data.data(), data.size());
    EVP_DigestFinal_ex(ctx, digest, &length);
    benchmark::DoNotOptimize(digest);
  }
  EVP_MD_CTX_free(ctx);
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

const unsigned char KEY[16] = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6,
                               0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
const unsigned char IV[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

void BM_Library_AES128CBC(benchmark::State& state) {
  const auto data = input(size_t(state.range(0)));
  std::vector<unsigned char> out(data.size());
  const ek::AES_Encryption aes(ek::AES_MODE_CBC, KEY, 16, IV);
  for (auto _ : state) {
    aes.blockEncrypt(data.data(), int(data.size() * 8), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void BM_OpenSSL_AES128CBC(benchmark::State& state) {
  const auto data = input(size_t(state.range(0)));
  std::vector<unsigned char> out(data.size() + 16);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  int n = 0;
  for (auto _ : state) {
    EVP_EncryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, KEY, IV);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_EncryptUpdate(ctx, out.data(), &n, data.data(), int(data.size()));
    benchmark::DoNotOptimize(out.data());
  }
  EVP_CIPHER_CTX_free(ctx);
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

} // namespace

#define EK_BENCH_PAIR(name, ctx, md)                                                             \
  BENCHMARK(BM_Library<ctx>)->Name("BM_Library_" name)->Arg(1024)->Arg(1 << 20);               \
  BENCHMARK(BM_OpenSSL<md>)->Name("BM_OpenSSL_" name)->Arg(1024)->Arg(1 << 20)

EK_BENCH_PAIR("MD5", ek::MD5_CTX, EVP_md5);
EK_BENCH_PAIR("SHA1", ek::SHA1_CTX, EVP_sha1);
EK_BENCH_PAIR("SHA256", ek::SHA256_CTX, EVP_sha256);
EK_BENCH_PAIR("SHA384", ek::SHA384_CTX, EVP_sha384);
EK_BENCH_PAIR("SHA512", ek::SHA512_CTX, EVP_sha512);
BENCHMARK(BM_Library_AES128CBC)->Arg(1024)->Arg(1 << 20);
BENCHMARK(BM_OpenSSL_AES128CBC)->Arg(1024)->Arg(1 << 20);

BENCHMARK_MAIN();
