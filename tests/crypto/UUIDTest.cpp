#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace EKCommonNS;

namespace {

TEST(EKUUID, TextAndHashOfKnownBytes) {
  unsigned char bytes[16];
  for (int i = 0; i < 16; ++i)
    bytes[i] = uint8_t(i);
  const EKUUID counting(bytes);
  EXPECT_EQ(utf8(counting.toString(false)), "000102030405060708090A0B0C0D0E0F");
  EXPECT_EQ(utf8(counting.toString(true)), "00010203-0405-0607-0809-0A0B0C0D0E0F");
  EXPECT_EQ(counting.toUint32(), 0u);

  const unsigned char mixed[16] = {0xff, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xab, 0x80};
  EXPECT_EQ(utf8(EKUUID(mixed).toString(true)), "FF000000-0000-0000-0000-00000000AB80");
  EXPECT_EQ(EKUUID(mixed).toUint32(), 0x80ab00ffu);
  EXPECT_EQ(utf8(EKUUID(nullptr).toString(false)), std::string(32, '0'));

  unsigned char back[16];
  counting.getBytes(back);
  EXPECT_EQ(EKUUID(back), counting);
  EXPECT_NE(EKUUID(mixed), counting);
}

// New UUIDs carry version 4 (in the time-high field, stored little-endian at bytes 6 and 7) and
// the RFC 4122 variant, and do not repeat, also when made on several threads at once.
TEST(EKUUID, RandomVersion4Unique) {
  constexpr int THREADS = 4, EACH = 500;
  std::vector<std::vector<std::string>> made(THREADS);
  std::vector<std::thread> threads;
  for (int t = 0; t < THREADS; ++t)
    threads.emplace_back([&made, t] {
      for (int i = 0; i < EACH; ++i)
        made[t].push_back(utf8(EKUUID().toString(false)));
    });
  for (auto& thread : threads)
    thread.join();
  std::set<std::string> seen;
  for (const auto& list : made)
    for (const std::string& text : list) {
      ASSERT_EQ(text.size(), 32u);
      EXPECT_EQ(text[14], '4') << text; // high nibble of byte 7
      EXPECT_NE(std::string("89AB").find(text[16]), std::string::npos) << text;
      seen.insert(text);
    }
  EXPECT_EQ(seen.size(), size_t(THREADS * EACH));
}

} // namespace
