#include "CryptoTestUtil.h"

#include <ekcommon/crypto/EKMD5.h>
#include <ekcommon/crypto/EKSHA1.h>
#include <ekcommon/crypto/EKSHA256.h>
#include <ekcommon/crypto/EKSHA512.h>

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <functional>

namespace ek = EKCommonNS;
using namespace EKCryptoTest;

namespace {

// The message as pieces, each handed to one Update call.
using Pieces = std::vector<std::string>;

template <class Ctx>
std::string digestPieces(Ctx& ctx, const Pieces& pieces) {
  for (const std::string& piece : pieces) {
    const auto* data = reinterpret_cast<const unsigned char*>(piece.data());
    if constexpr (std::is_same_v<Ctx, ek::SHA1_CTX>)
      EXPECT_EQ(ctx.Update(data, unsigned(piece.size())), 0);
    else
      ctx.Update(data, piece.size());
  }
  uint8_t digest[Ctx::DIGEST_LENGTH];
  if constexpr (std::is_same_v<Ctx, ek::SHA1_CTX>)
    EXPECT_EQ(ctx.Final(digest), 0);
  else
    ctx.Final(digest);
  return toHex(digest, sizeof digest);
}

template <class Ctx>
std::string digestOf(const Pieces& pieces) {
  Ctx ctx;
  return digestPieces(ctx, pieces);
}

struct Algorithm {
  const char* name;
  std::function<std::string(const Pieces&)> digest;
  const EVP_MD* (*reference)();
};

const Algorithm ALGORITHMS[] = {
    {"md5", digestOf<ek::MD5_CTX>, EVP_md5},
    {"sha1", digestOf<ek::SHA1_CTX>, EVP_sha1},
    {"sha256", digestOf<ek::SHA256_CTX>, EVP_sha256},
    {"sha384", digestOf<ek::SHA384_CTX>, EVP_sha384},
    {"sha512", digestOf<ek::SHA512_CTX>, EVP_sha512},
};

const Algorithm& algorithm(const std::string& name) {
  return *std::find_if(std::begin(ALGORITHMS), std::end(ALGORITHMS),
                       [&](const Algorithm& a) { return a.name == name; });
}

const std::string MILLION_A = "<a million times 'a'>";

class Digest : public BothPaths {};
INSTANTIATE_TEST_SUITE_P(, Digest, ::testing::Bool(), pathName);

// The examples of RFC 1321 and FIPS 180-2: the empty message, "abc", a message whose padding
// spills into a second block, and a million 'a's; the random comparison below covers the rest.
TEST_P(Digest, PublishedVectors) {
  const std::string abc448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  const std::string abc896 = "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmno"
                             "ijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";
  const struct {
    const char* algorithm;
    std::string message;
    const char* hex;
  } rows[] = {
      {"md5", "", "d41d8cd98f00b204e9800998ecf8427e"},
      {"md5", "abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"md5", "1234567890123456789012345678901234567890123456789012345678901234567890"
              "1234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {"sha1", "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"sha1", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"sha1", abc448, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {"sha1", MILLION_A, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      {"sha256", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"sha256", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"sha256", abc448, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"sha256", MILLION_A, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {"sha384", "abc",
       "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca1"
       "34c825a7"},
      {"sha384", abc896,
       "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa"
       "91746039"},
      {"sha512", "abc",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23"
       "a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {"sha512", abc896,
       "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99de"
       "c4b5433ac7d329eeb6dd26545e96e55b874be909"},
  };
  for (const auto& row : rows) {
    // The long message goes in uneven pieces, so that buffered and direct blocks both occur.
    Pieces pieces{row.message};
    if (row.message == MILLION_A) {
      pieces.clear();
      for (size_t done = 0, n = 1; done < 1000000; done += n, n = n * 7 % 9973 + 1)
        pieces.emplace_back(std::min(n, 1000000 - done), 'a');
    }
    EXPECT_EQ(algorithm(row.algorithm).digest(pieces), row.hex)
        << row.algorithm << " of '" << row.message.substr(0, 40) << "'";
  }
}

std::string referenceDigest(const EVP_MD* md, const std::string& message) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  EVP_Digest(message.data(), message.size(), digest, &length, md, nullptr);
  return toHex(digest, length);
}

// Random messages, lengths clustered around the block and padding boundaries, cut into random
// pieces: the digest must match OpenSSL's whatever the split.
TEST_P(Digest, MatchesOpenSSLForRandomSplits) {
  std::mt19937 rng(20240611);
  for (const Algorithm& algo : ALGORITHMS) {
    for (int round = 0; round < 300; ++round) {
      size_t length = rng() % 1100;
      if (round < 40)
        length = size_t(round % 4 < 2 ? 55 : 111) + size_t(round / 4) % 20; // 55..74, 111..130
      const std::vector<uint8_t> bytes = randomBytes(rng, length);
      const std::string message(bytes.begin(), bytes.end());
      Pieces pieces;
      for (size_t at = 0; at < length;) {
        const size_t n = std::min<size_t>(length - at, rng() % 3 == 0 ? rng() % 300 : rng() % 9);
        pieces.push_back(message.substr(at, n));
        at += n;
      }
      EXPECT_EQ(algo.digest(pieces), referenceDigest(algo.reference(), message))
          << algo.name << ", " << length << " bytes in " << pieces.size() << " pieces";
    }
  }
}

// Whole runs of 0 to 20 blocks in one Update, after 0 to 3 buffered bytes: every count of blocks
// handed to the block functions at once, on and off the buffer.
TEST_P(Digest, LongUpdatesMatchOpenSSL) {
  std::mt19937 rng(5);
  for (const Algorithm& algo : ALGORITHMS) {
    for (size_t blocks = 0; blocks <= 20; ++blocks) {
      const size_t lead = blocks % 4, length = lead + blocks * 128 + rng() % 128;
      const std::vector<uint8_t> bytes = randomBytes(rng, length);
      const std::string message(bytes.begin(), bytes.end());
      EXPECT_EQ(algo.digest({message.substr(0, lead), message.substr(lead)}),
                referenceDigest(algo.reference(), message))
          << algo.name << ", " << length << " bytes";
    }
  }
}

// After Final the context starts a new message (SHA-1 instead keeps its digest, as RFC 3174
// has it).
template <class Ctx>
void expectFinalStartsOver() {
  Ctx ctx, copy;
  digestPieces(ctx, {"first message, long enough to fill one block of sixty-four bytes..."});
  EXPECT_EQ(digestPieces(ctx, {"second", " message"}), digestOf<Ctx>({"second message"}));
  copy.Update(nullptr, 5); // null data adds nothing
  EXPECT_EQ(digestPieces(copy, {"x"}), digestOf<Ctx>({"x"}));
}

TEST_P(Digest, FinalStartsOver) {
  expectFinalStartsOver<ek::MD5_CTX>();
  expectFinalStartsOver<ek::SHA256_CTX>();
  expectFinalStartsOver<ek::SHA384_CTX>();
  expectFinalStartsOver<ek::SHA512_CTX>();
}

// Exposes the RFC 3174 length field so that a message can start just below 2^64 bits.
class SHA1NearLimit : public ek::SHA1_CTX {
public:
  explicit SHA1NearLimit(uint64_t bytesLeft) { m_length = 0 - bytesLeft * 8; }
};

TEST(SHA1, StateCodes) {
  const unsigned char data[8] = {};
  unsigned char digest[20];
  const struct {
    const char* what;
    uint64_t bytesLeft; // before the length field overflows; 0: a fresh context
    std::vector<int> updates;
    std::vector<int> codes; // of each Update, then of Final
  } rows[] = {
      {"eight bytes fit into the last eight", 8, {7}, {0, 0}},
      {"the byte reaching 2^64 bits is refused", 8, {7, 1, 1}, {0, 2, 2, 2}},
      {"one update crossing the limit", 8, {8}, {2, 2}},
      {"a long update far from the limit", 1ull << 40, {8, 8, 8}, {0, 0, 0, 0}},
      {"null data", 0, {-1}, {1, 0}},
      {"null data of length 0", 0, {-2}, {0, 0}},
      {"update after final", 0, {3, -3, 3}, {0, 0, 3, 3}},
  };
  for (const auto& row : rows) {
    SHA1NearLimit ctx(row.bytesLeft);
    std::vector<int> codes;
    for (int update : row.updates) {
      if (update == -1)
        codes.push_back(ctx.Update(nullptr, 4));
      else if (update == -2)
        codes.push_back(ctx.Update(nullptr, 0));
      else if (update == -3)
        codes.push_back(ctx.Final(digest));
      else
        codes.push_back(ctx.Update(data, unsigned(update)));
    }
    codes.push_back(ctx.Final(digest));
    EXPECT_EQ(codes, row.codes) << row.what;
  }

  ek::SHA1_CTX ctx;
  unsigned char again[20];
  EXPECT_EQ(ctx.Final(nullptr), 1);
  EXPECT_EQ(ctx.Update(data, 3), 0) << "a null digest buffer does not spoil the context";
  EXPECT_EQ(ctx.Final(digest), 0);
  EXPECT_EQ(ctx.Final(again), 0);
  EXPECT_EQ(toHex(digest, 20), toHex(again, 20)) << "Final repeats the digest";
  EXPECT_EQ(toHex(digest, 20), referenceDigest(EVP_sha1(), std::string(3, '\0')));
}

// The 128-bit length of SHA-512 must carry from its low into its high word.
class SHA512Count : public ek::SHA512_CTX {
public:
  SHA512Count(uint64_t low, uint64_t high) {
    m_bitCount[0] = low;
    m_bitCount[1] = high;
  }
  uint64_t low() const { return m_bitCount[0]; }
  uint64_t high() const { return m_bitCount[1]; }
};

TEST(SHA512, LengthCarries) {
  const unsigned char data[16] = {};
  const struct {
    uint64_t low, high;
    size_t bytes;
    uint64_t wantLow, wantHigh;
  } rows[] = {
      {0, 0, 16, 128, 0},
      {0xffffffffffffff80ull, 0, 16, 0, 1},
      {0xffffffffffffff80ull, 0, 15, 0xfffffffffffffff8ull, 0},
      {0xfffffffffffffff8ull, 7, 2, 8, 8},
  };
  for (const auto& row : rows) {
    SHA512Count ctx(row.low, row.high);
    ctx.Update(data, row.bytes);
    EXPECT_EQ(ctx.low(), row.wantLow);
    EXPECT_EQ(ctx.high(), row.wantHigh);
  }
}

} // namespace
