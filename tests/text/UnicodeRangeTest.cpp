#include "support/TestStrings.h"

#include <gtest/gtest.h>

using namespace EKCommonNS;

namespace {

TEST(UnicodeRange, ParseMergeAndPrint) {
  struct Row {
    const char* text;
    bool valid;
    const char* printed;
  };
  const Row rows[] = {
      {"U+0-7F, U+80-FF", true, "U+00??"},
      {"U+4??", true, "U+04??"},
      {"U+20-7E", true, "U+0020-007E"},
      {"U+30-", true, "U+0030-10FFFF"},
      {"'abc'", true, "U+0061-0063"},
      {"\"a\", \"b\"", true, "U+0061-0062"},
      {"U+41, U+43, U+42", true, "U+0041-0043"},
      {" u+1F600 ,U+10000-1FFFF", true, "U+1????"},
      {"U+3000-3FFF", true, "U+3???"},
      {"U+4E00-4E0F", true, "U+4E0?"},
      {"U+0-10FFFF", true, "U+0000-10FFFF"},
      {"U+100-1FF, U+300-3FF", true, "U+01??, U+03??"},
      {"U+10FFFF-120000", true, "U+10FFFF"},
      {"'\xF0\x9F\x98\x80'", true, "U+1F600"},
      {"", true, ""},
      {"U+100-50", false, ""},
      {"V+100", false, ""},
      {"U100", false, ""},
      {"U+", false, ""},
      {"U+1234567", false, ""},
      {"U+41,", false, "U+0041"},
      {"U+41 U+42", false, "U+0041"},
      {"U+110000", false, ""},
      {"U+41, 'xy", true, "U+0041, U+0078-0079"},
      {"'xy' U+41", false, "U+0078-0079"},
      {"U+4?0", false, ""},
  };
  for (const Row& row : rows) {
    EKUnicodeRange range;
    EXPECT_EQ(range.parseUnicodeRange(u(row.text)), row.valid) << row.text;
    EXPECT_EQ(range.toString(), u(row.printed)) << row.text;
  }

  const char16_t text[] = u"U+41, bogus";
  const char16_t* end = nullptr;
  EKUnicodeRange stopped;
  EXPECT_FALSE(stopped.parseUnicodeRange(text, &end));
  EXPECT_EQ(end - text, 6) << "stops at the bad entry";
}

TEST(UnicodeRange, FromPropertyValues) {
  EKUnicodeRange all;
  EXPECT_TRUE(all.parseUnicodeRange(EKValue(EKName(EKN_all))));
  EXPECT_TRUE(all.isFullRange());
  EKUnicodeRange quoted;
  EXPECT_TRUE(quoted.parseUnicodeRange(EKValue(u("ab"), UNIT_STRING)));
  EXPECT_EQ(quoted.toString(), u("U+0061-0062"));
  EKUnicodeRange parsed;
  EXPECT_TRUE(parsed.parseUnicodeRange(EKValue(u("U+0-7F, U+4??"), UNIT_NONE)));
  EXPECT_EQ(parsed.toString(), u("U+0000-007F, U+04??"));
}

TEST(UnicodeRange, MembershipAndSetOperations) {
  EKUnicodeRange range;
  EXPECT_FALSE(range.inRange(0));
  range.addRange({0x10, 0x1F});
  range.addRange({0x30, 0x3F});
  range.addRange({0x50, 0x5F});
  EXPECT_EQ(range.getRanges().size(), 3u);
  for (int c : {0x10, 0x1F, 0x35, 0x5F})
    EXPECT_TRUE(range.inRange(c)) << c;
  for (int c : {0x0F, 0x20, 0x4F, 0x60, -1})
    EXPECT_FALSE(range.inRange(c)) << c;

  range.addRange({0x1A, 0x52}); // bridges all three
  EXPECT_EQ(range.toString(), u("U+0010-005F"));
  range.addRange({0x60, 0x60}); // touches: merged
  range.addRange({0x08, 0x0E}); // one apart from 0x10: separate
  EXPECT_EQ(range.toString(), u("U+0008-000E, U+0010-0060"));
  range.addRange({5, 4});
  EXPECT_EQ(range.getRanges().size(), 2u) << "reversed ranges are ignored";

  EKUnicodeRange other;
  other.addRange({0x0F, 0x0F});
  range.addRange(other);
  EXPECT_EQ(range.toString(), u("U+0008-0060"));
  EXPECT_FALSE(range.isFullRange());
  EKUnicodeRange copy = range;
  EXPECT_EQ(copy, range);
  copy.fullRange();
  EXPECT_TRUE(copy.isFullRange());
  EXPECT_NE(copy, range);
}

} // namespace
