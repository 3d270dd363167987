#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

using Predicate = bool (*)(int);

struct PredicateRow {
  const char* name;
  Predicate predicate;
  std::vector<int> in;
  std::vector<int> out;
};

void checkPredicates(const std::vector<PredicateRow>& rows) {
  for (const auto& row : rows) {
    for (int c : row.in)
      EXPECT_TRUE(row.predicate(c)) << row.name << " U+" << std::hex << c;
    for (int c : row.out)
      EXPECT_FALSE(row.predicate(c)) << row.name << " U+" << std::hex << c;
  }
}

// Each table is checked just inside and just outside its ends.
TEST(Char, FixedSetBoundaries) {
  checkPredicates({
      {"isArabicScript", EKChar::isArabicScript, {0x600, 0x65F, 0x66A, 0x6EF, 0x6FA, 0x6FF},
       {0x5FF, 0x660, 0x669, 0x6F0, 0x6F9, 0x700}},
      {"isAmbiguousHan", EKChar::isAmbiguousHan, {0x2E80, 0x2FDF, 0x3400, 0x4DB5, 0xFF60, 0x2FFFF},
       {0x2E7F, 0x2FE0, 0x33FF, 0x4DB6, 0xFF61, 0x30000}},
      {"isKanaKanjiCJK", EKChar::isKanaKanjiCJK, {0x3000, 0x4DBF, 0xFFE0, 0xFFE7, 0x20000},
       {0x2FFF, 0x4DC0, 0xFF61, 0xFFE8, 0x1FFFF}},
      {"isRadical", EKChar::isRadical, {0x2E80, 0x2EF3, 0x2F00, 0x2FD5}, {0x2EF4, 0x2EFF, 0x2FD6}},
      {"isMathOperator", EKChar::isMathOperator, {0x2200, 0x22FF, 0x27C0, 0x2AFF, 0x1D7FF},
       {0x21FF, 0x2300, 0x27BF, 0x2B00, 0x1D800}},
      {"isBullet", EKChar::isBullet, {0x2022, 0x2023, 0x2043, 0x204D, 0x25E6, 0x29BF},
       {0x2021, 0x2024, 0x204B, 0x204E, 0x29C0}},
      {"isCurrencySymbol", EKChar::isCurrencySymbol, {0x24, 0xA2, 0xA5, 0x20A0, 0x20BD, 0xFFE6},
       {0x23, 0xA1, 0xA6, 0x20BE, 0xFFE7}},
      {"isHalf", EKChar::isHalf, {0x00, 0xFF, 0x152, 0x2018, 0x201A, 0x20AC, 0x2122},
       {0x100, 0x154, 0x2017, 0x201B, 0x2123, -1}},
      {"isNoVerticalChar", EKChar::isNoVerticalChar, {0x0, 0x10FF, 0x1200, 0x2031, 0xFFE8, 0x1FFFF},
       {0x1100, 0x2018, 0x2032, 0x2642, 0x3000, 0xFFE7, 0x20000}},
      {"isNonStarterJIS", EKChar::isNonStarterJIS, {0x3005, 0x3041, 0x3096, 0x30FE, 0x31FF, 0xFF70},
       {0x3042, 0x3097, 0x30FF, 0x31EF, 0xFF66, 0xFF71}},
      {"isSymbolJIS", EKChar::isSymbolJIS, {0xA7, 0xA8, 0x2160, 0x2169, 0x2473, 0x266F},
       {0xA9, 0x215F, 0x216A, 0x2474, 0x2670}},
      {"isNCNameStartChar", EKChar::isNCNameStartChar, {'A', '_', 0xC0, 0x37F, 0x3001, 0xEFFFF},
       {':', '-', '0', 0xD7, 0x37E, 0x2000, 0x3000, 0xD800, 0xF0000}},
      {"isNCNameChar", EKChar::isNCNameChar, {'-', '.', '9', 0xB7, 0x300, 0x36F, 0x203F, 0x2040},
       {':', ' ', 0xB6, 0x2041, 0xFFFE}},
      {"isMIMETokenChar", EKChar::isMIMETokenChar, {'!', '#', '~', '*', '+', '.'},
       {' ', '"', '(', ',', '/', ':', '@', '[', '\\', ']', 0x7F}},
      {"isValidChar", EKChar::isValidChar, {0x9, 0xA, 0xD, 0x20, 0xD7FF, 0xE000, 0xFFFD, 0x10FFFF},
       {0x0, 0x8, 0x1F, 0xD800, 0xFFFE, 0x110000}},
      {"isValidChar11", EKChar::isValidChar11, {0x9, 0x7E, 0x85, 0xA0, 0xFFFD},
       {0x7F, 0x84, 0x86, 0x9F, 0xFFFE}},
  });
}

// The Japanese lists have a known size; a mistyped range shows up in the count.
TEST(Char, JapaneseListSizes) {
  int nonStarters = 0, symbols = 0, smallKana = 0;
  for (int c = 0; c <= 0xFFFF; ++c) {
    nonStarters += EKChar::isNonStarterJIS(c);
    symbols += EKChar::isSymbolJIS(c);
    smallKana += EKChar::toFullsizeKana(static_cast<char16_t>(c)) != c;
  }
  EXPECT_EQ(nonStarters, 57);
  EXPECT_EQ(symbols, 118);
  EXPECT_EQ(smallKana, 40);
}

TEST(Char, PropertyBackedPredicates) {
  checkPredicates({
      {"isLetter", EKChar::isLetter, {'a', 0x3042, 0x4E00}, {'1', ' ', 0x300}},
      {"isLetterNumber", EKChar::isLetterNumber, {'a', '1', 0x2160}, {'-', 0x300}},
      {"isPunct", EKChar::isPunct, {'!', 0x3001, 0xFF5E, 0x300C}, {'a', '+', '1'}},
      {"isOpenParenEtc", EKChar::isOpenParenEtc, {'(', 0x300C, 0x2018, 0x201C}, {')', 0x2019, '+'}},
      {"isCloseParenEtc", EKChar::isCloseParenEtc, {')', ']', 0x300D, 0x2019, 0x201D},
       {'(', 0x2018, '!'}},
      {"isHalfPunct", EKChar::isHalfPunct, {'(', 0x300D, 0x30FB, 0xFF1A}, {0x3042, 'a'}},
      {"isZenkaku", EKChar::isZenkaku, {0x3042, 0xFF21, 0x4E00}, {'A', 0xFF71, 0xA7}},
      {"isZenkakuAmbiguous", EKChar::isZenkakuAmbiguous, {0xA7, 0x3042}, {'A', 0xFF71}},
      {"isHankaku", EKChar::isHankaku, {0xFF71, 0xFF61}, {'A', 0x3042}},
      {"isGraphemeCluster", EKChar::isGraphemeCluster, {'a', 0x3042, ' '}, {0x301, 0x200D, 0x7}},
      {"isUndefined", EKChar::isUndefined, {0x378, 0xE0080}, {'a', 0x20BD, 0xE000}},
      {"isZeroWidthControlCode", EKChar::isZeroWidthControlCode, {0x200B, 0x200D, 0xFE0F, 0xE0100, 0x7, 0x378},
       {0xAD, ' ', 0x3000, 'a', 0x20BF, 0x1F600, 0xE01F0}},
  });
  EXPECT_FALSE(EKChar::isEmoji(0x263A, false)) << "outside the U+1Fxxx planes of pictures";
  EXPECT_TRUE(EKChar::isEmoji(0x263A, true));
  EXPECT_TRUE(EKChar::isEmoji(0x1F600, false));
  EXPECT_FALSE(EKChar::isEmoji(0x1F000 - 1, true));
  EXPECT_TRUE(EKChar::isPunct(U_DASH_PUNCTUATION));
  EXPECT_FALSE(EKChar::isPunct(U_MATH_SYMBOL));
  EXPECT_EQ(utf8(EKChar::getMirrorString(u("(a<\xE3\x80\x8C"))), ")a>\xE3\x80\x8D");
}

TEST(Char, XmlNamesAndEscapes) {
  EXPECT_FALSE(EKChar::isNCNameStr(u("a:b")));
  EXPECT_TRUE(EKChar::isNameStr(u("a:b")));
  EXPECT_FALSE(EKChar::isNCNameStr(u("1a")));
  EXPECT_FALSE(EKChar::isNCNameStr(u("")));
  EXPECT_TRUE(EKChar::isNCNameStr(u("\xF0\x90\x80\x80-x")));

  const struct {
    const char* text;
    const char* ncname;
    const char* cssIdent;
  } rows[] = {
      {"abc", "abc", "abc"},        {"1a", "_31a", "_31a"},         {"a b", "a_20b", "a_20b"},
      {"a_b", "a_5Fb", "a_5Fb"},    {"-x.y", "_2Dx.y", "_2Dx_2Ey"}, {"x-1", "x-1", "x_2D1"},
      {"", "", ""},                 {"\xC3\xA9:\xC3\x97", "\xC3\xA9_3A_C397", "\xC3\xA9_3A_C397"},
  };
  for (const auto& row : rows) {
    const UnicodeString ncname = EKChar::escapeNCNameStr(u(row.text), '_');
    EXPECT_EQ(utf8(ncname), row.ncname) << row.text;
    EXPECT_EQ(EKChar::isNCNameStr(ncname), *row.text != 0) << row.text;
    EXPECT_EQ(utf8(EKChar::unescapeNCNameStr(ncname, '_')), row.text);
    EXPECT_EQ(utf8(EKChar::replaceToCSSIdentTokenStr(u(row.text), '_')), row.cssIdent) << row.text;
  }
  EXPECT_EQ(utf8(EKChar::unescapeNCNameStr(u("a_zz_4"), '_')), "a_zz_4");
  EXPECT_EQ(utf8(EKChar::unescapeNCNameStr(u("_E282x"), '_')), "\xEF\xBF\xBDx");
}

TEST(Char, Decoding) {
  const struct {
    char16_t hi, lo;
    int c;
  } utf16[] = {{0xD83D, 0xDE00, 0x1F600}, {0xD83D, 0x41, 0xFFFD}, {0x41, 0xDE00, 0x41},
               {0xDE00, 0xD83D, 0xFFFD}, {0xDBFF, 0xDFFF, 0x10FFFF}};
  for (const auto& row : utf16)
    EXPECT_EQ(EKChar::UTF16toUChar32(row.hi, row.lo), row.c) << std::hex << row.hi;

  const struct {
    uint8_t b0, b1, b2, b3;
    int c;
  } utf8Rows[] = {
      {0x41, 0xFF, 0xFF, 0xFF, 0x41}, {0xC3, 0xA9, 0, 0, 0xE9},         {0xC3, 0x41, 0, 0, 0xFFFD},
      {0xE3, 0x81, 0x82, 0, 0x3042},  {0xF0, 0x9F, 0x98, 0x80, 0x1F600}, {0x80, 0, 0, 0, 0xFFFD},
      {0xC0, 0x80, 0, 0, 0xFFFD},     {0xE0, 0x80, 0x80, 0, 0xFFFD},    {0xED, 0xA0, 0x80, 0, 0xFFFD},
      {0xF4, 0x90, 0x80, 0x80, 0xFFFD}, {0xF8, 0x88, 0x80, 0x80, 0xFFFD}, {0xE3, 0x81, 0x02, 0, 0xFFFD},
  };
  for (const auto& row : utf8Rows)
    EXPECT_EQ(EKChar::UTF8toUChar32(row.b0, row.b1, row.b2, row.b3), row.c) << std::hex << int(row.b0);

  EXPECT_EQ(EKChar::last32(u("a\xF0\x9F\x98\x80")), 0x1F600);
  EXPECT_EQ(EKChar::last32(u("")), -1);
}

TEST(Char, JapaneseConversions) {
  UnicodeString text = u("A1 ~");
  EXPECT_EQ(utf8(EKChar::toZenkaku(text)), "\xEF\xBC\xA1\xEF\xBC\x91 \xEF\xBD\x9E");

  // The first, last and a middle half-width kana, plus a character that stays.
  UnicodeString kana(u"\uFF61\uFF76\uFF9Fx");
  EXPECT_EQ(EKChar::toZenkakuKana(kana), UnicodeString(u"\u3002\u30AB\u309Cx"));

  UnicodeString small(u"\u3041\u3096\u30F5\u31F0\u31FF\u3042\uFF67");
  EXPECT_EQ(EKChar::toFullsizeKana(small), UnicodeString(u"\u3042\u3051\u30AB\u30AF\u30ED\u3042\uFF67"));
  EXPECT_EQ(EKChar::toFullsizeKana(char16_t(0x30EE)), 0x30EF);
  EXPECT_EQ(EKChar::toFullsizeKana(char16_t(0x30EF)), 0x30EF);

  EXPECT_TRUE(EKChar::isEmptyOrWhitespace(u("")));
  EXPECT_TRUE(EKChar::isEmptyOrWhitespace(u(" \t\r\n")));
  EXPECT_FALSE(EKChar::isEmptyOrWhitespace(u(" \f")));
  EXPECT_FALSE(EKChar::isWhitespace(u("")));
  EXPECT_TRUE(EKChar::isWhitespace(u("\n")));
}

TEST(Char, InseparablePairs) {
  EXPECT_FALSE(EKChar::isInseparableChar(0x2016, 0x2016));
  EXPECT_FALSE(EKChar::isInseparableChar(0x2014, 0x2015));
  EXPECT_TRUE(EKChar::isInseparableChar(0x3034, 0x3035));
  EXPECT_FALSE(EKChar::isInseparableChar(0x3035, 0x3035));

  const UnicodeString two(u"a\u2026\u2026b");
  const UnicodeString three(u"\u2026\u2026\u2026");
  const struct {
    const UnicodeString* text;
    int32_t index;
    int method;
    bool inseparable;
  } rows[] = {
      {&two, 1, 0, true},    {&two, 1, 1, true},    {&two, 1, 2, true},    {&two, 2, 0, false},
      {&three, 0, 1, true},  {&three, 0, 2, false}, {&three, 1, 0, true},  {&three, 1, 1, true},
      {&three, 1, 2, false}, {&three, 2, 0, false}, {&three, -1, 0, false},
  };
  for (const auto& row : rows)
    EXPECT_EQ(EKChar::isInseparableCharEx(*row.text, row.index, row.method), row.inseparable)
        << row.index << " method " << row.method;
}

TEST(Char, VerticalOrientation) {
  using C = EKChar;
  const struct {
    int c;
    C::TR50VO vo;
  } rows[] = {{'A', C::TR50VO_R}, {0x3042, C::TR50VO_U}, {0x3001, C::TR50VO_Tu},
              {0x300C, C::TR50VO_Tr}, {0x1F600, C::TR50VO_U}, {0x3002, C::TR50VO_Tu}, {0xFF08, C::TR50VO_Tr}};
  for (const auto& row : rows)
    EXPECT_EQ(C::getTR50VO(row.c, nullptr), row.vo) << std::hex << row.c;

  EXPECT_EQ(C::getTR50SVO(0x300C, nullptr, false), C::TR50_ROTATED);
  EXPECT_EQ(C::getTR50SVO(0x300C, nullptr, true), C::TR50_UPRIGHT);
  EXPECT_EQ(C::getTR50SVO(0x3001, nullptr, false), C::TR50_UPRIGHT);
  EXPECT_EQ(C::getTR50MVO(0x300C, nullptr, true), C::TR50_TRANSFORMED_ROTATED);
  EXPECT_EQ(C::getTR50MVO(0x3001, nullptr, true), C::TR50_TRANSFORMED_UPRIGHT);
  EXPECT_EQ(C::getTR50MVO(0x3001, nullptr, false), C::TR50_UPRIGHT);

  const C::TR50OverrideMap overrides = {{'A', C::TR50VO_U}, {0x3042, C::TR50VO_Tr}};
  EXPECT_EQ(C::getTR50SVO('A', &overrides, false), C::TR50_UPRIGHT);
  EXPECT_EQ(C::getTR50MVO(0x3042, &overrides, true), C::TR50_TRANSFORMED_ROTATED);
  EXPECT_EQ(C::getTR50SVO('B', &overrides, false), C::TR50_ROTATED);
}

} // namespace
