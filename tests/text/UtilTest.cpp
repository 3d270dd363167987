#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <string>

using namespace EKCommonNS;

namespace {

EKUtil::QuoteMode mode(unsigned bits) {
  return static_cast<EKUtil::QuoteMode>(bits);
}

TEST(UtilQuoting, ParseString) {
  const struct {
    const char* text;
    unsigned mode;
    const char* content; // nullptr: bogus
    int consumed;        // characters up to *end when not bogus
  } rows[] = {
      {"  'it''s' x", 7, "it's", 9},
      {"'it''s'", 3, "it", 4},
      {"\"a'b\"", 3, "a'b", 5},
      {"'a\"b'", 1, nullptr, 0},        // the apostrophe is not allowed to open
      {"\"abc", 7, nullptr, 0},         // unterminated
      {"x\"", 3, nullptr, 0},           // no opening quote
      {"\"a\\\"b\"", 3, "a\\", 4},      // without escape bits a backslash is plain
      {"\"\\41 x\"", 43, "Ax", 7},      // one space after hex digits is swallowed
      {"\"\\41  x\"", 43, "A x", 8},
      {"\"\\0000411\"", 43, "A1", 10}, // at most six hex digits
      {"\"a\\\r\nb\"", 43, "ab", 7},    // CR LF continuation drops all three
      {"\"a\\\nb\"", 43, "a\nb", 6},    // LF continuation drops only the backslash
      {"\"a\\\"b\"", 43, "a\"b", 6},
      {"\"\\110000\"", 43, "\xEF\xBF\xBD", 9}, // beyond Unicode: replacement character
      {"\"\\D800\"", 43, "\xEF\xBF\xBD", 7},
      {"\"\\", 43, nullptr, 0},
      {"\"\\u0041\\u00e9\"", 19, "A\xC3\xA9", 14},
      {"\"\\u41z\"", 17, "Az", 7},
      {"\"\\x41\"", 17, nullptr, 0}, // only \u is an escape
      {"\"\\u\"", 17, nullptr, 0},
      {" plain text", 0, "plain text", 11}, // no quote bit: the rest is taken
      {"\f\t\"x\"", 1, "x", 5},
  };
  for (const auto& row : rows) {
    const UnicodeString text = u(row.text);
    UnicodeString copy(text);
    const char16_t* p = copy.getTerminatedBuffer();
    const char16_t* end = nullptr;
    const UnicodeString result = EKUtil::parseString(p, &end, mode(row.mode));
    if (!row.content) {
      EXPECT_TRUE(result.isBogus()) << row.text << " gave " << utf8(result);
      EXPECT_EQ(end, p) << row.text;
    } else {
      EXPECT_EQ(utf8(result), row.content) << row.text;
      EXPECT_EQ(end - p, row.consumed) << row.text;
    }
  }
}

TEST(UtilQuoting, QuoteStringAndRoundTrip) {
  const struct {
    const char* text;
    unsigned mode;
    const char* quoted;
  } rows[] = {
      {"plain", 3, "\"plain\""},
      {"say \"hi\"", 3, "'say \"hi\"'"},
      {"both \" and '", 3, "\"both \" and '\""},
      {"say \"hi\"", 7, "'say \"hi\"'"},
      {"both \" and '", 7, "\"both \"\" and '\""},
      {"it's", 6, "'it''s'"},
      {"a\n1", 43, "\"a\\A 1\""},
      {"a\nz", 43, "\"a\\Az\""},
      {"a\n b", 43, "\"a\\A  b\""},
      {"both \" and '", 43, "\"both \\22  and '\""},
      {"c:\\dir", 43, "\"c:\\5C dir\""},
      {"f\f\r", 41, "\"f\\C\\D\""},
      {"it'a", 42, "'it\\27 a'"},
      {"x\xC3\xA9\"`\\", 17, "\"x\\u00E9\\u0022\\u0060\\u005C\""},
      {"\xF0\x9F\x98\x80", 16, "\\uD83D\\uDE00"},
      {"bare", 0, "bare"},
  };
  for (const auto& row : rows) {
    const UnicodeString quoted = EKUtil::quoteString(u(row.text), mode(row.mode));
    EXPECT_EQ(utf8(quoted), row.quoted) << row.text << " mode " << row.mode;
    if ((row.mode & 3) != 0) {
      EXPECT_EQ(utf8(EKUtil::unquoteString(quoted, mode(row.mode))), row.text)
          << "round trip of " << row.quoted;
    }
  }
  EXPECT_EQ(utf8(EKUtil::quoteUri(u("a\"b c"))), "url(\"a%22b c\")");
}

TEST(UtilQuoting, UnquoteString) {
  const struct {
    const char* text;
    unsigned mode;
    const char* result; // nullptr: bogus
  } rows[] = {
      {"  \"abc\"\n", 7, "abc"},
      {"'it''s'", 3, "it''s"}, // not consumed whole: first and last dropped
      {"'it''s'", 7, "it's"},
      {"'abc", 3, nullptr},
      {"'abc", 7, nullptr},
      {"\"a\" b", 7, nullptr},
      {"\"a\" b\"", 3, "a\" b"},
      {"xax", 3, "a"}, // no quote at all, but the ends agree
      {"\"a\" b\"", 43, nullptr},
      {"'", 3, nullptr},
      {"", 3, nullptr},
  };
  for (const auto& row : rows) {
    const UnicodeString result = EKUtil::unquoteString(u(row.text), mode(row.mode));
    if (!row.result)
      EXPECT_TRUE(result.isBogus()) << row.text << " gave " << utf8(result);
    else
      EXPECT_EQ(utf8(result), row.result) << row.text;
  }
}

TEST(UtilNumbers, ParseNumber) {
  const std::string longInteger(97, '9');
  const std::string tooLong(98, '9');
  const struct {
    std::string text;
    double value;
    int consumed; // -1: not a number
    bool point;
  } rows[] = {
      {"  -1.5x", -1.5, 6, true},
      {".x", 0, -1, false},
      {"+.5", 0.5, 3, true},
      {"7.", 7, 2, true},
      {"7.e3", 7, 2, true},
      {"12e3", 12, 2, false},
      {"-", 0, -1, false},
      {"+x", 0, -1, false},
      {"", 0, -1, false},
      {"\f1", 0, -1, false}, // form feed is not skipped here
      {"0.1", 0.1, 3, true},
      {"-0", -0.0, 2, false},
      {"1.5.5", 1.5, 3, true},
      {longInteger, 1e97, 97, false},
      {"-" + std::string(96, '9'), -1e96, 97, false},
      {"-" + longInteger, 0, 98, false},
      {tooLong + ".5", 0, 100, true},
      {"0." + std::string(60, '3') + "z", 1.0 / 3, 62, true},
  };
  for (const auto& row : rows) {
    UnicodeString text = u(row.text.c_str());
    const char16_t* p = text.getTerminatedBuffer();
    const char16_t* end = nullptr;
    bool point = true;
    bool notNumber = false;
    const double value = EKUtil::parseNumber(p, &end, &point, &notNumber);
    EXPECT_EQ(notNumber, row.consumed < 0) << row.text;
    EXPECT_EQ(end - p, row.consumed < 0 ? 0 : row.consumed) << row.text;
    EXPECT_DOUBLE_EQ(value, row.value) << row.text;
    EXPECT_EQ(point, row.point) << row.text;
  }
  // Out-pointers are optional.
  UnicodeString text(u"42");
  EXPECT_EQ(EKUtil::parseNumber(text.getTerminatedBuffer(), nullptr, nullptr, nullptr), 42);
}

TEST(UtilNumbers, HexAndDigits) {
  const struct {
    const char* text;
    int maxDigits;
    uint32_t value;
    int consumed;
  } hexRows[] = {
      {" 1aF!", 0, 0x1AF, 4},   {"fffff", 4, 0xFFFF, 4}, {"zz", 0, 0, 0},
      {"  zz", 0, 0, 2},        {"123456789", 0, 0xFFFFFFFF, 9},
      {"0000000000ff", 0, 0xFF, 12},
  };
  for (const auto& row : hexRows) {
    UnicodeString text = u(row.text);
    const char16_t* p = text.getTerminatedBuffer();
    const char16_t* end = nullptr;
    EXPECT_EQ(EKUtil::parseHexNum(p, &end, row.maxDigits), row.value) << row.text;
    EXPECT_EQ(end - p, row.consumed) << row.text;
  }

  const struct {
    const char* text;
    int start;
    int count;
    int value;
  } digitRows[] = {
      {"2024-03", 0, 4, 2024}, {"2024-03", 5, 2, 3},  {"2024-03", 5, 9, 3},
      {"2024-03", 0, 0, -1},   {"2024-03", 7, 1, -1}, {"2024-03", -1, 2, -1},
      {"", 0, 0, -1},          {"99999999999", 0, 0, 2147483647},
  };
  for (const auto& row : digitRows)
    EXPECT_EQ(EKUtil::parseDigits(u(row.text), row.start, row.count), row.value)
        << row.text << " " << row.start;

  UnicodeString text(u" 0042x");
  const char16_t* p = text.getTerminatedBuffer();
  const char16_t* end = nullptr;
  EXPECT_EQ(EKUtil::parseDigits(p, &end), 42);
  EXPECT_EQ(end - p, 5);
  UnicodeString none(u" x");
  p = none.getTerminatedBuffer();
  EXPECT_EQ(EKUtil::parseDigits(p, &end), -1);
  EXPECT_EQ(end, p);
}

TEST(UtilNumbers, Printing) {
  const struct {
    double value;
    const char* text;
  } doubles[] = {
      {1.5, "1.5"},       {-0.25, "-0.25"},     {100000, "100000"}, {1000000, "1e+06"},
      {0.0001, "0.0001"}, {0.00001, "1e-05"},   {1.0 / 3, "0.333333"},
      {123456.7, "123457"}, {0, "0"},           {INFINITY, "inf"},
  };
  for (const auto& row : doubles)
    EXPECT_EQ(utf8(EKUtil::toString(row.value)), row.text);
  EXPECT_EQ(utf8(EKUtil::toString(-2147483647 - 1)), "-2147483648");
  EXPECT_EQ(utf8(EKUtil::toString(int64_t(-9223372036854775807LL - 1))), "-9223372036854775808");
  EXPECT_EQ(utf8(EKUtil::toHexString(0xABC, 6)), "000ABC");
  EXPECT_EQ(utf8(EKUtil::toHexString(0xFFFFFFFF, 2)), "FFFFFFFF");
  EXPECT_EQ(utf8(EKUtil::toHexString(0, 0)), "0");

  const struct {
    double value;
    int rounded;
  } rounding[] = {{2.5, 3}, {-2.5, -3}, {0.49999999999999994, 0}, {-0.4, 0},
                  {1e20, 2147483647}, {-1e20, -2147483647 - 1}, {NAN, 0}};
  for (const auto& row : rounding) {
    EXPECT_EQ(EKUtil::roundToInteger(row.value), row.rounded) << row.value;
    if (static_cast<double>(static_cast<float>(row.value)) == row.value) {
      EXPECT_EQ(EKUtil::roundToInteger(static_cast<float>(row.value)), row.rounded) << row.value;
    }
  }
  EXPECT_TRUE(EKUtil::isNaN(EKUtil::getNaN()));
  EXPECT_TRUE(EKUtil::isNaN(EKUtil::getNaNf()));
  EXPECT_FALSE(EKUtil::isNaN(1.0));
}

TEST(UtilNumbers, IgnoreTheProcessLocale) {
  // scripts/install-deps.sh generates this locale where it can.
  locale_t loc = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
  if (!loc)
    GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const locale_t previous = uselocale(loc);
  char check[16];
  std::snprintf(check, sizeof check, "%g", 1.5);
  EXPECT_STREQ(check, "1,5") << "the locale is in effect for the C library";

  EXPECT_EQ(utf8(EKUtil::toString(1.5)), "1.5");
  EXPECT_EQ(utf8(EKUtil::toString(-1234567.0)), "-1.23457e+06");
  UnicodeString text(u"3.25 4,5");
  const char16_t* p = text.getTerminatedBuffer();
  const char16_t* end = nullptr;
  EXPECT_EQ(EKUtil::parseNumber(p, &end, nullptr, nullptr), 3.25);
  EXPECT_EQ(EKUtil::parseNumber(end, &end, nullptr, nullptr), 4);
  EXPECT_EQ(*end, u',');

  uselocale(previous);
  freelocale(loc);

  EKUtil::setLocaleC();
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(UtilBits, FixedWidthFields) {
  const uint8_t data[] = {0xA5, 0x3C, 0x0F, 0xF0, 0x12, 0x34};
  EXPECT_EQ(EKUtil::fetchBit1(data, 0), 1u);
  EXPECT_EQ(EKUtil::fetchBit1(data, 1), 0u);
  EXPECT_EQ(EKUtil::fetchBit1(data, 7), 1u);
  EXPECT_EQ(EKUtil::fetchBit1(data, 10), 1u);
  EXPECT_EQ(EKUtil::fetchBit2(data, 0), 2u);
  EXPECT_EQ(EKUtil::fetchBit2(data, 3), 1u);
  EXPECT_EQ(EKUtil::fetchBit2(data, 5), 3u);
  EXPECT_EQ(EKUtil::fetchBit4(data, 0), 0xAu);
  EXPECT_EQ(EKUtil::fetchBit4(data, 3), 0xCu);
  EXPECT_EQ(EKUtil::fetchBit8(data, 2), 0x0Fu);
  EXPECT_EQ(EKUtil::fetchBit12(data, 0), 0xA53u);
  EXPECT_EQ(EKUtil::fetchBit12(data, 1), 0xC0Fu);
  EXPECT_EQ(EKUtil::fetchBit12(data, 2), 0xF01u);
  EXPECT_EQ(EKUtil::fetchBit12(data, 3), 0x234u);
  EXPECT_EQ(EKUtil::fetchBit16(data, 1), 0x0FF0u);
  EXPECT_EQ(EKUtil::fetchBit24(data, 1), 0xF01234u);
  EXPECT_EQ(EKUtil::fetchBit32(data, 0), 0xA53C0FF0u);

  uint8_t out[2] = {0xFF, 0x00};
  EKUtil::patchBit1(out, 1, 0);
  EKUtil::patchBit2(out, 3, 2);
  EKUtil::patchBit4(out, 3, 0x1F); // only the low four bits
  EXPECT_EQ(out[0], 0xBE);
  EXPECT_EQ(out[1], 0x0F);
}

TEST(UtilBits, IteratorReadsWritesAndGrows) {
  uint8_t data[] = {0xF0, 0x81};
  EKUtil::BitIterator it(data, sizeof data);
  EXPECT_EQ(it.countRun(1, 100), 4u);
  EXPECT_EQ(it.countRun(1, 3), 3u);
  EXPECT_EQ(it.countRun(0, 100), 0u);
  EXPECT_EQ(it.fetch(4), 0xFu);
  EXPECT_EQ(it.countRun(0, 100), 4u);
  EXPECT_EQ(it.fetch(9), 0x10u);
  EXPECT_EQ(it.getFetchPos(), 13u);
  EXPECT_FALSE(it.endFetch());
  EXPECT_EQ(it.fetch(6), 0x8u) << "bits past the end read as 0";
  EXPECT_TRUE(it.endFetch());
  it.seekFetch(8);
  EXPECT_EQ(it.fetch(8), 0x81u);
  it.seekFetch(15);
  EXPECT_EQ(it.countRun(1, 100), 1u) << "a run stops at the end of the buffer";

  // Writes stay in the caller's buffer while they fit.
  it.seekPatch(4);
  it.patch(0x5, 3);
  it.patch(1);
  EXPECT_EQ(data[0], 0xFB);
  EXPECT_EQ(it.getData(), data);
  // Past the end the iterator takes over a grown copy.
  it.seekPatch(12);
  it.patchFill(1, 10);
  EXPECT_NE(it.getData(), data);
  ASSERT_EQ(it.getSize(), 3u);
  EXPECT_EQ(it.getData()[0], 0xFB);
  EXPECT_EQ(it.getData()[1], 0x8F);
  EXPECT_EQ(it.getData()[2], 0xFC);
  EXPECT_FALSE(it.endPatch());
  it.resizeData(1);
  EXPECT_EQ(it.getSize(), 1u);
  EXPECT_TRUE(it.endPatch());

  EKUtil::BitIterator fresh;
  EXPECT_TRUE(fresh.endFetch());
  EXPECT_EQ(fresh.fetch(32), 0u);
  fresh.patch(0xDEADBEEF, 32);
  fresh.patch(0xFFFFFFFF, 0);
  EXPECT_EQ(fresh.getSize(), 4u);
  EXPECT_EQ(fresh.fetch(32), 0u) << "the read cursor already stood past the old end";
  fresh.seekFetch(0);
  EXPECT_EQ(fresh.fetch(32), 0xDEADBEEFu);
}

} // namespace
