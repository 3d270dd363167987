// Digest and cipher throughput: the library's MD5, SHA-1, SHA-256/384/512 and AES-128 (CBC both
// ways, ECB decryption) against OpenSSL's EVP interface on the same 1 KiB, 1 MiB and 8 MiB
// buffers. Each library figure comes twice: Library_ on the CPU's extensions where it has them,
// Portable_ with them switched off. Compare the bytes_per_second of each triple.
#include <ekcommon/crypto/EKAES.h>
#include <ekcommon/crypto/EKMD5.h>
#include <ekcommon/crypto/EKSHA1.h>
#include <ekcommon/crypto/EKSHA256.h>
#include <ekcommon/crypto/EKSHA512.h>
#include <ekcommon/crypto/internal/EKCpuFeatures.h>

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

// Holds the acceleration switch in one position for one benchmark.
class Path {
public:
  explicit Path(bool accelerated) { ek::EKCpuFeatures::setAcceleration(accelerated); }
  ~Path() { ek::EKCpuFeatures::setAcceleration(true); }
  Path(const Path&) = delete;
  Path& operator=(const Path&) = delete;
};

template <class Ctx, bool Accelerated>
void BM_Library(benchmark::State& state) {
  const Path path(Accelerated);
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

// Whole blocks, no padding: the pure cipher and chaining.
template <ek::AES_Mode Mode, bool Decrypt, bool Accelerated>
void BM_LibraryAES(benchmark::State& state) {
  const Path path(Accelerated);
  const auto data = input(size_t(state.range(0)));
  std::vector<unsigned char> out(data.size());
  const int bits = int(data.size() * 8);
  const ek::AES_Encryption enc(Mode, KEY, 16, IV);
  const ek::AES_Decryption dec(Mode, KEY, 16, IV);
  for (auto _ : state) {
    if (Decrypt)
      dec.blockDecrypt(data.data(), bits, out.data());
    else
      enc.blockEncrypt(data.data(), bits, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

template <const EVP_CIPHER* (*cipher)(), bool Decrypt>
void BM_OpenSSLAES(benchmark::State& state) {
  const auto data = input(size_t(state.range(0)));
  std::vector<unsigned char> out(data.size() + 16);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  int n = 0;
  for (auto _ : state) {
    EVP_CipherInit_ex(ctx, cipher(), nullptr, KEY, IV, Decrypt ? 0 : 1);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_CipherUpdate(ctx, out.data(), &n, data.data(), int(data.size()));
    benchmark::DoNotOptimize(out.data());
  }
  EVP_CIPHER_CTX_free(ctx);
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void sizes(benchmark::internal::Benchmark* b) { b->Arg(1024)->Arg(1 << 20)->Arg(8 << 20); }

} // namespace

#define EK_BENCH_DIGEST(name, ctx, md)                                                           \
  BENCHMARK(BM_Library<ctx, true>)->Name("BM_Library_" name)->Apply(sizes);                    \
  BENCHMARK(BM_Library<ctx, false>)->Name("BM_Portable_" name)->Apply(sizes);                  \
  BENCHMARK(BM_OpenSSL<md>)->Name("BM_OpenSSL_" name)->Apply(sizes)

#define EK_BENCH_AES(name, mode, decrypt, evp)                                                   \
  BENCHMARK(BM_LibraryAES<mode, decrypt, true>)->Name("BM_Library_" name)->Apply(sizes);       \
  BENCHMARK(BM_LibraryAES<mode, decrypt, false>)->Name("BM_Portable_" name)->Apply(sizes);     \
  BENCHMARK(BM_OpenSSLAES<evp, decrypt>)->Name("BM_OpenSSL_" name)->Apply(sizes)

EK_BENCH_DIGEST("MD5", ek::MD5_CTX, EVP_md5);
EK_BENCH_DIGEST("SHA1", ek::SHA1_CTX, EVP_sha1);
EK_BENCH_DIGEST("SHA256", ek::SHA256_CTX, EVP_sha256);
EK_BENCH_DIGEST("SHA384", ek::SHA384_CTX, EVP_sha384);
EK_BENCH_DIGEST("SHA512", ek::SHA512_CTX, EVP_sha512);
EK_BENCH_AES("AES128CBC_Encrypt", ek::AES_MODE_CBC, false, EVP_aes_128_cbc);
EK_BENCH_AES("AES128CBC_Decrypt", ek::AES_MODE_CBC, true, EVP_aes_128_cbc);
EK_BENCH_AES("AES128ECB_Decrypt", ek::AES_MODE_ECB, true, EVP_aes_128_ecb);

BENCHMARK_MAIN();
