#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <string>
#include <tuple>
#include <vector>

using namespace EKCommonNS;

namespace {

EKUtil::QuoteMode mode(unsigned bits) {
  return static_cast<EKUtil::QuoteMode>(bits);
}

// Bogus results print as "<bogus>" and leave the end pointer at the start.
TEST(UtilQuoting, ParseString) {
  const struct {
    const char* text;
    unsigned mode;
    const char* content;
    int consumed;
  } rows[] = {
      {"  'it''s' x", 7, "it's", 9},         {"'it''s'", 3, "it", 4},
      {"\"a'b\"", 3, "a'b", 5},              {"'a\"b'", 1, "<bogus>", 0},
      {"\"abc", 7, "<bogus>", 0},            {"x\"", 3, "<bogus>", 0},
      {"\"a\\\"b\"", 3, "a\\", 4},           {"\"\\41 x\"", 43, "Ax", 7},
      {"\"\\41  x\"", 43, "A x", 8},         {"\"\\0000411\"", 43, "A1", 10},
      {"\"a\\\r\nb\"", 43, "ab", 7},         {"\"a\\\nb\"", 43, "a\nb", 6},
      {"\"a\\\"b\"", 43, "a\"b", 6},         {"\"\\110000\"", 43, "\xEF\xBF\xBD", 9},
      {"\"\\D800\"", 43, "\xEF\xBF\xBD", 7},  {"\"\\", 43, "<bogus>", 0},
      {"\"\\u41z\"", 17, "Az", 7},           {"\"\\u0041\\u00e9\"", 19, "A\xC3\xA9", 14},
      {"\"\\x41\"", 17, "<bogus>", 0},       {"\"\\u\"", 17, "<bogus>", 0},
      {" plain text", 0, "plain text", 11},  {"\f\t\"x\"", 1, "x", 5},
  };
  for (const auto& row : rows) {
    UnicodeString text = u(row.text);
    const char16_t* p = text.getTerminatedBuffer();
    const char16_t* end = nullptr;
    EXPECT_EQ(utf8(EKUtil::parseString(p, &end, mode(row.mode))), row.content) << row.text;
    EXPECT_EQ(end - p, row.consumed) << row.text;
  }
}

TEST(UtilQuoting, QuoteStringAndRoundTrip) {
  const struct {
    const char* text;
    unsigned mode;
    const char* quoted;
  } rows[] = {
      {"plain", 3, "\"plain\""},                   {"say \"hi\"", 3, "'say \"hi\"'"},
      {"both \" and '", 3, "\"both \" and '\""},   {"say \"hi\"", 7, "'say \"hi\"'"},
      {"both \" and '", 7, "\"both \"\" and '\""}, {"it's", 6, "'it''s'"},
      {"a\n1", 43, "\"a\\A 1\""},                  {"a\nz", 43, "\"a\\Az\""},
      {"a\n b", 43, "\"a\\A  b\""},                {"both \" and '", 43, "\"both \\22  and '\""},
      {"c:\\dir", 43, "\"c:\\5C dir\""},           {"f\f\r", 41, "\"f\\C\\D\""},
      {"it'a", 42, "'it\\27 a'"},                  {"\xF0\x9F\x98\x80", 16, "\\uD83D\\uDE00"},
      {"x\xC3\xA9\"`\\", 17, "\"x\\u00E9\\u0022\\u0060\\u005C\""},
      {"bare", 0, "bare"},
  };
  for (const auto& row : rows) {
    const UnicodeString quoted = EKUtil::quoteString(u(row.text), mode(row.mode));
    EXPECT_EQ(utf8(quoted), row.quoted) << row.text << " mode " << row.mode;
    if ((row.mode & 3) != 0) {
      EXPECT_EQ(utf8(EKUtil::unquoteString(quoted, mode(row.mode))), row.text) << row.quoted;
    }
  }
  EXPECT_EQ(utf8(EKUtil::quoteUri(u("a\"b c"))), "url(\"a%22b c\")");
  for (const char* text : {"url(\"pic.png\")", "url( 'pic.png' )", "url(pic.png)", "'pic.png'"})
    EXPECT_EQ(utf8(EKUtil::unquoteUri(u(text))), "pic.png") << text;
  EXPECT_EQ(utf8(EKUtil::unquoteUri(EKUtil::quoteUri(u("a%20b\".png")))), "a%20b%22.png");
  EXPECT_EQ(utf8(EKUtil::unquoteUri(u("url(a b.png)"))), "a%20b.png");
}

TEST(UtilQuoting, UnquoteString) {
  const struct {
    const char* text;
    unsigned mode;
    const char* result;
  } rows[] = {
      {"  \"abc\"\n", 7, "abc"},     {"'it''s'", 3, "it''s"}, // first and last dropped
      {"'it''s'", 7, "it's"},        {"'abc", 3, "<bogus>"},
      {"'abc", 7, "<bogus>"},        {"\"a\" b", 7, "<bogus>"},
      {"\"a\" b\"", 3, "a\" b"},     {"xax", 3, "a"},
      {"\"a\" b\"", 43, "<bogus>"},  {"'", 3, "<bogus>"},
      {"", 3, "<bogus>"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(EKUtil::unquoteString(u(row.text), mode(row.mode))), row.result) << row.text;
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
      {"  -1.5x", -1.5, 6, true}, {".x", 0, -1, false},       {"+.5", 0.5, 3, true},
      {"7.", 7, 2, true},         {"7.e3", 7, 2, true},       {"12e3", 12, 2, false},
      {"-", 0, -1, false},        {"", 0, -1, false},
      {"\f1", 0, -1, false}, // form feed is not skipped here
      {"0.1", 0.1, 3, true},      {"-0", -0.0, 2, false},     {"1.5.5", 1.5, 3, true},
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
  } hexRows[] = {{" 1aF!", 0, 0x1AF, 4}, {"fffff", 4, 0xFFFF, 4}, {"zz", 0, 0, 0}, {"  zz", 0, 0, 2},
                 {"123456789", 0, 0xFFFFFFFF, 9}, {"0000000000ff", 0, 0xFF, 12}};
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

  for (const auto& [text, value, consumed] : {std::tuple(u" 0042x", 42, 5), std::tuple(u" x", -1, 0)}) {
    const char16_t* end = nullptr;
    EXPECT_EQ(EKUtil::parseDigits(text, &end), value);
    EXPECT_EQ(end - text, consumed);
  }
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

TEST(UtilBits, FixedWidthFieldsAgreeWithTheIterator) {
  using Fetch = uint32_t (*)(const uint8_t*, size_t);
  const struct {
    int width;
    Fetch fetch;
  } widths[] = {{1, EKUtil::fetchBit1},   {2, EKUtil::fetchBit2},   {4, EKUtil::fetchBit4},
                {8, EKUtil::fetchBit8},   {12, EKUtil::fetchBit12}, {16, EKUtil::fetchBit16},
                {24, EKUtil::fetchBit24}, {32, EKUtil::fetchBit32}};
  const uint8_t known[] = {0xA5, 0x3C, 0x0F, 0xF0, 0x12, 0x34};
  EXPECT_EQ(EKUtil::fetchBit12(known, 1), 0xC0Fu) << "the second field of a shared byte triple";
  EXPECT_EQ(EKUtil::fetchBit24(known, 1), 0xF01234u);
  // Fields written one after another by the iterator read back at their index.
  for (const auto& w : widths) {
    EKUtil::BitIterator it;
    std::vector<uint32_t> values;
    for (uint32_t i = 0; i < 9; ++i) {
      values.push_back((0x9E3779B9u * (i + 1)) >> (32 - w.width));
      it.patch(values.back(), w.width);
    }
    for (size_t i = 0; i < values.size(); ++i) {
      EXPECT_EQ(w.fetch(it.getData(), i), values[i]) << w.width << " bits, field " << i;
      EXPECT_EQ(it.fetch(w.width), values[i]) << w.width << " bits, field " << i;
    }
  }
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
  EXPECT_EQ(EKUtil::fetchBit24(it.getData(), 0), 0xFB8FFCu);
  EXPECT_FALSE(it.endPatch());
  it.resizeData(1);
  EXPECT_EQ(it.getSize(), 1u);
  EXPECT_TRUE(it.endPatch());

  EKUtil::BitIterator fresh;
  EXPECT_EQ(fresh.fetch(32), 0u);
  fresh.patch(0xFFFFFFFF, 0);
  EXPECT_EQ(fresh.getSize(), 0u);
}

} // namespace
