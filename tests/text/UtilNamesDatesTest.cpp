#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

using namespace EKCommonNS;

namespace {

TEST(UtilEncoding, StandardNames) {
  const struct {
    const char* name;
    const char* standard;
  } rows[] = {
      {"", "UTF-8"},                            {"  utf-8 ", "UTF-8"},
      {"latin1", "ISO_8859-1:1987"},            {"ChineseBig5", "BIG5"},
      {"chinesegbk", "GBK"},                    {"shift_jis", "Shift_JIS"},
      {"cp1252", "windows-1252"},               {"no-such-encoding", "NO-SUCH-ENCODING"},
      {"caf\xC3\xA9", "CAF\xC3\x89"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(EKUtil::getStandardEncoding(u(row.name))), row.standard) << row.name;
}

TEST(UtilEncoding, CanonicalNames) {
  const struct {
    const char* name;
    const char* canonical;
  } rows[] = {
      {"iso_8859-1", "ISO-8859-1"},        {"ISO8859 1", "ISO-8859-1"},
      {"latin-1", "ISO-8859-1"},           {"ISO-8859-01", "ISO-8859-1"},
      {"iso-8859-11", "ISO-8859-11"},      {"ISO_8859-10:1992", "ISO-8859-10"},
      {"shift-jis", "WINDOWS31J"},         {"utf16", "ISO-10646-UCS-2"},
      {"UTF-16le", "UTF-16LE"},            {"ANSI_X3.4-1968", "US-ASCII"},
      {"ks_c_5601-1987", "KoreanKSC"},     {"gb2312", "ChineseGBK"},
      {"Latin 9", "ISO-8859-15"},          {"windows-1252", "windows-1252"},
      {"utf-8\xC3\xA9", "UTF-8"}, // non-ASCII letters are dropped from the key
      {"ISO-8859-100", "ISO-8859-100"},    {"", ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(EKUtil::getCanonicalEncoding(u(row.name))), row.canonical) << row.name;
}

TEST(UtilSpaces, NormalizeAndOmit) {
  EXPECT_EQ(utf8(EKUtil::normalizeSpaces(u("  a \n b "))), "a b");
  EXPECT_EQ(utf8(EKUtil::normalizeSpaces(u("\t\r\n"))), "");
  EXPECT_EQ(utf8(EKUtil::normalizeSpaces(u("a\fb\xC2\xA0 c"))), "a\fb\xC2\xA0 c");
  EXPECT_EQ(utf8(EKUtil::omitSpace(u(" a\tb\r\nc \xC2\xA0"))), "abc\xC2\xA0");
}

TEST(UtilDates, ModifiedJulianDays) {
  const struct {
    int y, m, d, mjd, weekDay;
  } rows[] = {
      {1858, 11, 17, 0, 3},      {2000, 1, 1, 51544, 6},    {2000, 2, 29, 51603, 2},
      {2000, 3, 1, 51604, 3},    {1900, 3, 1, 15079, 4},    {1582, 10, 15, -100840, 5},
      {1582, 10, 4, -100841, 4}, // Julian calendar before the reform
      {1, 1, 1, -678577, 6},     {2024, 12, 31, 60675, 2},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(EKUtil::modifiedJulianDay(row.y, row.m, row.d), row.mjd) << row.y << "-" << row.m;
    EXPECT_EQ(EKUtil::mjd2WeekDay(row.mjd), row.weekDay) << row.mjd;
    int y = 0, m = 0, d = 0;
    EKUtil::mjd2Date(row.mjd, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, row.y * 10000 + row.m * 100 + row.d) << row.mjd;
  }
  // Every day of four centuries on both sides of the reform converts back to itself.
  for (int mjd = -250000; mjd < -250000 + 4 * 146097; mjd += 7) {
    int y = 0, m = 0, d = 0;
    EKUtil::mjd2Date(mjd, y, m, d);
    ASSERT_EQ(EKUtil::modifiedJulianDay(y, m, d), mjd) << y << "-" << m << "-" << d;
  }
  EXPECT_EQ(EKUtil::mjd2WeekDay(-1), 2);
}

TEST(UtilBase64, EncodeLayouts) {
  const struct {
    std::string data;
    int lineLength;
    const char* encoded;
  } rows[] = {
      {"", 0, ""},           {"f", 0, "Zg=="},        {"fo", 0, "Zm8="},
      {"foo", 0, "Zm9v"},    {"foobar", 4, "Zm9v\nYmFy"}, {"foob", 4, "Zm9v\nYg=="},
      {std::string("\0\xFF\xFE", 3), 0, "AP/+"},
  };
  for (const auto& row : rows) {
    std::istringstream in(row.data);
    EXPECT_EQ(utf8(EKUtil::encodeBase64(in, row.lineLength)), row.encoded) << row.data;
  }
  std::istringstream in("foobar!");
  EXPECT_EQ(utf8(EKUtil::encodeBase64(in, 6, u("\r\n"), u("  "))), "  Zm9vYm\r\n  FyIQ==");
}

TEST(UtilBase64, DecodeAndRoundTripAcrossBlocks) {
  const struct {
    const char* text;
    bool ok;
    std::string data;
  } rows[] = {
      {"Zm9vYmFy", true, "foobar"},  {" Zm9v\r\nYg== ", true, "foob"}, {"Zm9vYg", true, "foob"},
      {"Zm8", true, "fo"},           {"Zm9vY", false, "foo"},         {"Zm9v!mFy", false, "foo"},
      {"Zg==Zg==", false, "f"},      {"=Zg", false, ""},              {"", true, ""},
  };
  for (const auto& row : rows) {
    std::ostringstream out;
    EXPECT_EQ(EKUtil::decodeBase64(u(row.text), out), row.ok) << row.text;
    EXPECT_EQ(out.str(), row.data) << row.text;
  }

  // Several input blocks and every tail length survive a round trip.
  std::mt19937 random(7);
  for (size_t size : {3071u, 3072u, 3073u, 10000u}) {
    std::string data(size, '\0');
    for (char& c : data)
      c = static_cast<char>(random());
    std::istringstream in(data);
    const UnicodeString encoded = EKUtil::encodeBase64(in, 76);
    std::ostringstream out;
    ASSERT_TRUE(EKUtil::decodeBase64(encoded, out)) << size;
    EXPECT_EQ(out.str(), data) << size;
  }
}

TEST(UtilNth, ParseAndMatch) {
  const struct {
    const char* text;
    bool ok;
    int a, b;
    const char* matches; // members among 0..9, as digits
  } rows[] = {
      {"even", true, 2, 0, "02468"},  {" ODD ", true, 2, 1, "13579"}, {"3", true, 0, 3, "3"},
      {"-n+3", true, -1, 3, "0123"},  {"2n + 1", true, 2, 1, "13579"}, {"n", true, 1, 0, "0123456789"},
      {"+3N-2", true, 3, -2, "147"},  {"-2n- 1", true, -2, -1, ""},    {"0n+5", true, 0, 5, "5"},
      {"2n+", false, 0, 0, ""},       {"+ n", false, 0, 0, ""},        {"2 n", false, 0, 0, ""},
      {"n+-1", false, 0, 0, ""},      {"", false, 0, 0, ""},           {"9999999999n", false, 0, 0, ""},
      {"3n+1x", false, 0, 0, ""},
  };
  for (const auto& row : rows) {
    EKUtil::Nth nth(7, 7);
    ASSERT_EQ(nth.parse(u(row.text)), row.ok) << row.text;
    if (!row.ok) {
      EXPECT_EQ(nth, EKUtil::Nth(7, 7)) << "failure leaves the value alone: " << row.text;
      continue;
    }
    EXPECT_EQ(nth, EKUtil::Nth(row.a, row.b)) << row.text;
    std::string members;
    for (int n = 0; n <= 9; ++n)
      if (nth.match(n))
        members += static_cast<char>('0' + n);
    EXPECT_EQ(members, row.matches) << row.text;
  }
  EXPECT_TRUE(EKUtil::Nth(1, 5) < EKUtil::Nth(2, 0));
  EXPECT_TRUE(EKUtil::Nth(2, 0) < EKUtil::Nth(2, 1));
  EXPECT_FALSE(EKUtil::Nth(2, 1) < EKUtil::Nth(2, 1));
  EXPECT_TRUE(EKUtil::Nth(-2147483647 - 1, 0).match(0));
  EXPECT_FALSE(EKUtil::Nth(2147483647, -2147483647 - 1).match(2147483647));
}

} // namespace
