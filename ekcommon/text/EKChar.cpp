// The character tables and the conversions of EKChar.
#include "ekcommon/text/EKChar.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace EKCommonNS {

namespace {

struct Range {
  int first;
  int last;
};

// Binary search in a sorted table of disjoint inclusive ranges.
template <size_t N> bool inRanges(const Range (&table)[N], int c) {
  const Range* hit = std::upper_bound(std::begin(table), std::end(table), c,
                                      [](int value, const Range& r) { return value < r.last + 1; });
  return hit != std::end(table) && c >= hit->first;
}

constexpr Range AMBIGUOUS_HAN[] = {{0x2E80, 0x2FDF}, {0x3400, 0x4DB5}, {0x4E00, 0x9FFF},
                                   {0xF900, 0xF9FF}, {0xFF00, 0xFF60}, {0x20000, 0x2FFFF}};

constexpr Range KANA_KANJI_CJK[] = {{0x2E80, 0x2FDF}, {0x3000, 0x4DBF}, {0x4E00, 0x9FFF},
                                    {0xF900, 0xF9FF}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE7},
                                    {0x20000, 0x2FFFF}};

constexpr Range MATH_OPERATORS[] = {
    {0x2200, 0x22FF}, {0x27C0, 0x27FF}, {0x2980, 0x2AFF}, {0x1D400, 0x1D7FF}};

constexpr Range BULLETS[] = {{0x2022, 0x2023}, {0x2043, 0x2043}, {0x204C, 0x204D},
                             {0x2219, 0x2219}, {0x25D8, 0x25D8}, {0x25E6, 0x25E6},
                             {0x2619, 0x2619}, {0x2765, 0x2765}, {0x2767, 0x2767},
                             {0x29BE, 0x29BF}};

constexpr Range CURRENCY_SYMBOLS[] = {
    {0x0024, 0x0024}, {0x00A2, 0x00A5}, {0x058F, 0x058F}, {0x060B, 0x060B}, {0x09F2, 0x09F3},
    {0x09FB, 0x09FB}, {0x0AF1, 0x0AF1}, {0x0BF9, 0x0BF9}, {0x0E3F, 0x0E3F}, {0x17DB, 0x17DB},
    {0x20A0, 0x20BD}, {0xA838, 0xA838}, {0xFDFC, 0xFDFC}, {0xFE69, 0xFE69}, {0xFF04, 0xFF04},
    {0xFFE0, 0xFFE1}, {0xFFE5, 0xFFE6}};

// The Windows-1252 characters above U+00FF.
constexpr Range HALF_EXTRA[] = {
    {0x0152, 0x0153}, {0x0160, 0x0161}, {0x0178, 0x0178}, {0x017D, 0x017E}, {0x0192, 0x0192},
    {0x02C6, 0x02C6}, {0x02DC, 0x02DC}, {0x2010, 0x2010}, {0x2013, 0x2014}, {0x2018, 0x201A},
    {0x201C, 0x201E}, {0x2020, 0x2022}, {0x2026, 0x2026}, {0x2030, 0x2030}, {0x2039, 0x203A},
    {0x20AC, 0x20AC}, {0x2122, 0x2122}};

constexpr Range NO_VERTICAL[] = {
    {0x0000, 0x10FF}, {0x1200, 0x2017}, {0x201A, 0x201B}, {0x201E, 0x201F}, {0x2022, 0x202F},
    {0x2031, 0x2031}, {0x2034, 0x203A}, {0x203C, 0x2102}, {0x2104, 0x2115}, {0x2117, 0x2120},
    {0x2122, 0x212A}, {0x212C, 0x214F}, {0x2190, 0x23FF}, {0x2500, 0x259F}, {0x25A2, 0x25B1},
    {0x25B4, 0x25BB}, {0x25BE, 0x25C5}, {0x25C8, 0x25CA}, {0x25CC, 0x25CD}, {0x25D0, 0x25EE},
    {0x25F0, 0x2604}, {0x2607, 0x263F}, {0x2641, 0x2641}, {0x2643, 0x2669}, {0x266B, 0x266C},
    {0x266E, 0x266E}, {0x2670, 0x2775}, {0x2794, 0x2E7F}, {0x3013, 0x3013}, {0x3030, 0x3030},
    {0x3190, 0x319F}, {0xA000, 0xABFF}, {0xFB00, 0xFE0F}, {0xFE70, 0xFEFF}, {0xFF0D, 0xFF0D},
    {0xFF1C, 0xFF1E}, {0xFF61, 0xFFDF}, {0xFFE8, 0x1FFFF}};

constexpr Range NON_STARTER_JIS[] = {
    {0x3005, 0x3005}, {0x303B, 0x303B}, {0x3041, 0x3041}, {0x3043, 0x3043}, {0x3045, 0x3045},
    {0x3047, 0x3047}, {0x3049, 0x3049}, {0x3063, 0x3063}, {0x3083, 0x3083}, {0x3085, 0x3085},
    {0x3087, 0x3087}, {0x308E, 0x308E}, {0x3095, 0x3096}, {0x309D, 0x309E}, {0x30A1, 0x30A1},
    {0x30A3, 0x30A3}, {0x30A5, 0x30A5}, {0x30A7, 0x30A7}, {0x30A9, 0x30A9}, {0x30C3, 0x30C3},
    {0x30E3, 0x30E3}, {0x30E5, 0x30E5}, {0x30E7, 0x30E7}, {0x30EE, 0x30EE}, {0x30F5, 0x30F6},
    {0x30FC, 0x30FE}, {0x31F0, 0x31FF}, {0xFF67, 0xFF70}};

constexpr Range SYMBOL_JIS[] = {
    {0x00A7, 0x00A8}, {0x00B0, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B6}, {0x00D7, 0x00D7},
    {0x00F7, 0x00F7}, {0x2010, 0x2010}, {0x2015, 0x2015}, {0x2018, 0x2019}, {0x201C, 0x201D},
    {0x2020, 0x2021}, {0x2025, 0x2026}, {0x2030, 0x2030}, {0x2032, 0x2033}, {0x203B, 0x203B},
    {0x2103, 0x2103}, {0x2116, 0x2116}, {0x2121, 0x2121}, {0x212B, 0x212B}, {0x2160, 0x2169},
    {0x2190, 0x2193}, {0x21D2, 0x21D2}, {0x21D4, 0x21D4}, {0x2200, 0x2200}, {0x2202, 0x2203},
    {0x2207, 0x2208}, {0x220B, 0x220B}, {0x2211, 0x2211}, {0x221A, 0x221A}, {0x221D, 0x2220},
    {0x2225, 0x2225}, {0x2227, 0x222C}, {0x222E, 0x222E}, {0x2234, 0x2235}, {0x223D, 0x223D},
    {0x2252, 0x2252}, {0x2260, 0x2261}, {0x2266, 0x2267}, {0x226A, 0x226B}, {0x2282, 0x2283},
    {0x2286, 0x2287}, {0x22A5, 0x22A5}, {0x22BF, 0x22BF}, {0x2312, 0x2312}, {0x2460, 0x2473},
    {0x25A0, 0x25A1}, {0x25B2, 0x25B3}, {0x25BC, 0x25BD}, {0x25C6, 0x25C7}, {0x25CB, 0x25CB},
    {0x25CE, 0x25CF}, {0x25EF, 0x25EF}, {0x2605, 0x2606}, {0x2640, 0x2640}, {0x2642, 0x2642},
    {0x266A, 0x266A}, {0x266D, 0x266D}, {0x266F, 0x266F}};

// XML 1.0 fifth-edition NameStartChar without the colon.
constexpr Range NCNAME_START[] = {
    {'A', 'Z'},         {'_', '_'},         {'a', 'z'},         {0x00C0, 0x00D6},
    {0x00D8, 0x00F6},   {0x00F8, 0x02FF},   {0x0370, 0x037D},   {0x037F, 0x1FFF},
    {0x200C, 0x200D},   {0x2070, 0x218F},   {0x2C00, 0x2FEF},   {0x3001, 0xD7FF},
    {0xF900, 0xFDCF},   {0xFDF0, 0xFFFD},   {0x10000, 0xEFFFF}};

// Half-width katakana U+FF61..U+FF9F to their full-width forms.
constexpr char16_t ZENKAKU_KANA[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
static_assert(std::size(ZENKAKU_KANA) == 0xFF9F - 0xFF61 + 1, "one entry per half-width kana");

struct KanaPair {
  char16_t small;
  char16_t full;
};

// Small kana and their full-size forms, sorted by the small form.
constexpr KanaPair FULLSIZE_KANA[] = {
    {0x3041, 0x3042}, {0x3043, 0x3044}, {0x3045, 0x3046}, {0x3047, 0x3048}, {0x3049, 0x304A},
    {0x3063, 0x3064}, {0x3083, 0x3084}, {0x3085, 0x3086}, {0x3087, 0x3088}, {0x308E, 0x308F},
    {0x3095, 0x304B}, {0x3096, 0x3051}, {0x30A1, 0x30A2}, {0x30A3, 0x30A4}, {0x30A5, 0x30A6},
    {0x30A7, 0x30A8}, {0x30A9, 0x30AA}, {0x30C3, 0x30C4}, {0x30E3, 0x30E4}, {0x30E5, 0x30E6},
    {0x30E7, 0x30E8}, {0x30EE, 0x30EF}, {0x30F5, 0x30AB}, {0x30F6, 0x30B1}, {0x31F0, 0x30AF},
    {0x31F1, 0x30B7}, {0x31F2, 0x30B9}, {0x31F3, 0x30C8}, {0x31F4, 0x30CC}, {0x31F5, 0x30CF},
    {0x31F6, 0x30D2}, {0x31F7, 0x30D5}, {0x31F8, 0x30D8}, {0x31F9, 0x30DB}, {0x31FA, 0x30E0},
    {0x31FB, 0x30E9}, {0x31FC, 0x30EA}, {0x31FD, 0x30EB}, {0x31FE, 0x30EC}, {0x31FF, 0x30ED}};
static_assert(std::size(FULLSIZE_KANA) == 40, "the small kana");

bool isQuotePunct(int c) {
  return c == 0xFF5E || (U_GET_GC_MASK(c) & U_GC_P_MASK) != 0;
}

// Appends `esc` and the UTF-8 bytes of `c` as upper-case hexadecimal pairs.
void appendEscaped(UnicodeString& out, int c, int esc) {
  uint8_t bytes[U8_MAX_LENGTH];
  int32_t length = 0;
  UBool error = false;
  U8_APPEND(bytes, length, U8_MAX_LENGTH, c, error);
  if (error)
    return;
  static const char16_t HEX[] = u"0123456789ABCDEF";
  out.append(static_cast<UChar32>(esc));
  for (int32_t i = 0; i < length; ++i)
    out.append(HEX[bytes[i] >> 4]).append(HEX[bytes[i] & 15]);
}

// Escapes every code point of `s` that `allowed(c, atStart)` rejects, and `esc` itself.
template <typename Allowed> UnicodeString escapeWith(const UnicodeString& s, int esc, Allowed allowed) {
  UnicodeString out;
  for (int32_t i = 0; i < s.length();) {
    const UChar32 c = s.char32At(i);
    const bool atStart = i == 0;
    i += U16_LENGTH(c);
    if (c == esc || !allowed(c, atStart) || U_IS_SURROGATE(c))
      appendEscaped(out, U_IS_SURROGATE(c) ? 0xFFFD : c, esc);
    else
      out.append(c);
  }
  return out;
}

bool isCssIdentChar(int c, bool atStart) {
  if (c < 0x80)
    return EKChar::isAsciiLetter(c) || c == '_' || (!atStart && EKChar::isAsciiDigit(c));
  return atStart ? EKChar::isNCNameStartChar(c) : EKChar::isNCNameCharForCSSExp(c);
}

} // namespace

UnicodeString EKChar::getMirrorString(const UnicodeString& s) {
  UnicodeString out;
  for (int32_t i = 0; i < s.length();) {
    const UChar32 c = s.char32At(i);
    out.append(u_charMirror(c));
    i += U16_LENGTH(c);
  }
  return out;
}

bool EKChar::isOpenParenEtc(int c) {
  return isQuotePunct(c) && (getLineBreak(c) == U_LB_OPEN_PUNCTUATION || c == 0x2018 || c == 0x201C);
}

bool EKChar::isCloseParenEtc(int c) {
  if (!isQuotePunct(c))
    return false;
  const ULineBreak lb = getLineBreak(c);
  return lb == U_LB_CLOSE_PUNCTUATION || lb == U_LB_CLOSE_PARENTHESIS || c == 0x2019 || c == 0x201D;
}

bool EKChar::isHalfPunct(int c) {
  return isZenkakuMidDotEtc(c) || isOpenParenEtc(c) || isCloseParenEtc(c);
}

bool EKChar::isEmoji(int c, bool anyPlane) {
  if (!anyPlane && (c < 0x1F000 || c > 0x1FFFC))
    return false;
  return u_hasBinaryProperty(c, UCHAR_EMOJI);
}

bool EKChar::isZeroWidthControlCode(int c) {
  if (c == 0xAD)
    return false;
  if (isVariationSelectorCharacter(c) || isIdeographicVariationSelectorCharacter(c))
    return true;
  if (c >= 0x10000 || (c >= 0x20A0 && c <= 0x20CF))
    return false;
  return u_iscntrl(c) || (!u_isgraph(c) && !u_isblank(c));
}

bool EKChar::isAmbiguousHan(int c) {
  return inRanges(AMBIGUOUS_HAN, c);
}

bool EKChar::isKanaKanjiCJK(int c) {
  return inRanges(KANA_KANJI_CJK, c);
}

bool EKChar::isMathOperator(int c) {
  return inRanges(MATH_OPERATORS, c);
}

bool EKChar::isBullet(int c) {
  return inRanges(BULLETS, c);
}

bool EKChar::isCurrencySymbol(int c) {
  return inRanges(CURRENCY_SYMBOLS, c);
}

bool EKChar::isHalf(int c) {
  return (c >= 0 && c < 0x100) || inRanges(HALF_EXTRA, c);
}

bool EKChar::isMIMETokenChar(int c) {
  if (c < 0x21 || c > 0x7E)
    return false;
  return std::char_traits<char>::find("\"(),/:;<=>?@[\\]", 15, static_cast<char>(c)) == nullptr;
}

bool EKChar::isNoVerticalChar(int c) {
  return inRanges(NO_VERTICAL, c);
}

bool EKChar::isNonStarterJIS(int c) {
  return inRanges(NON_STARTER_JIS, c);
}

bool EKChar::isSymbolJIS(int c) {
  return inRanges(SYMBOL_JIS, c);
}

// ASCII first: nearly every name a document holds is ASCII, and the range search is not needed.
bool EKChar::isNCNameStartChar(int c) {
  if (c < 0x80)
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  return inRanges(NCNAME_START, c);
}

bool EKChar::isNCNameChar(int c) {
  if (c < 0x80)
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-' || c == '.' || isAsciiDigit(c);
  return isNCNameStartChar(c) || c == '-' || c == '.' || isAsciiDigit(c) || c == 0xB7 ||
         (c >= 0x0300 && c <= 0x036F) || (c >= 0x203F && c <= 0x2040);
}

namespace {

template <bool (*START)(int), bool (*REST)(int)> bool isNameLike(const UnicodeString& s) {
  if (s.isEmpty())
    return false;
  for (int32_t i = 0; i < s.length();) {
    const UChar32 c = s.char32At(i);
    if (!(i == 0 ? START(c) : REST(c)))
      return false;
    i += U16_LENGTH(c);
  }
  return true;
}

} // namespace

bool EKChar::isNCNameStr(const UnicodeString& s) {
  return isNameLike<isNCNameStartChar, isNCNameChar>(s);
}

bool EKChar::isNameStr(const UnicodeString& s) {
  return isNameLike<isNameStartChar, isNameChar>(s);
}

UnicodeString EKChar::escapeNCNameStr(const UnicodeString& s, int esc) {
  return escapeWith(s, esc,
                    [](int c, bool atStart) { return atStart ? isNCNameStartChar(c) : isNCNameChar(c); });
}

UnicodeString EKChar::replaceToCSSIdentTokenStr(const UnicodeString& s, int esc) {
  return escapeWith(s, esc, isCssIdentChar);
}

UnicodeString EKChar::unescapeNCNameStr(const UnicodeString& s, int esc) {
  UnicodeString out;
  const int32_t length = s.length();
  // The byte written as two hexadecimal digits at index i, or -1.
  const auto byteAt = [&](int32_t i) {
    return i + 1 < length && hex2dig(s[i]) >= 0 && hex2dig(s[i + 1]) >= 0
               ? hex2dig(s[i]) * 16 + hex2dig(s[i + 1])
               : -1;
  };
  const int32_t escLength = U16_LENGTH(esc);
  for (int32_t i = 0; i < length;) {
    const UChar32 c = s.char32At(i);
    const int lead = c == esc ? byteAt(i + escLength) : -1;
    if (lead < 0) {
      out.append(c);
      i += U16_LENGTH(c);
      continue;
    }
    // One escape holds every byte of a code point; the lead byte says how many follow.
    std::string bytes(1, static_cast<char>(lead));
    i += escLength + 2;
    for (int trail = U8_COUNT_TRAIL_BYTES(lead); trail > 0 && byteAt(i) >= 0; --trail, i += 2)
      bytes += static_cast<char>(byteAt(i));
    out.append(UnicodeString::fromUTF8(bytes));
  }
  return out;
}

int EKChar::UTF16toUChar32(char16_t hi, char16_t lo) {
  if (!U16_IS_SURROGATE(hi))
    return hi;
  if (U16_IS_LEAD(hi) && U16_IS_TRAIL(lo))
    return U16_GET_SUPPLEMENTARY(hi, lo);
  return 0xFFFD;
}

int EKChar::UTF8toUChar32(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  const auto trail = [](uint8_t b) { return (b & 0xC0) == 0x80; };
  if (b0 < 0x80)
    return b0;
  if (b0 >= 0xC2 && b0 <= 0xDF)
    return trail(b1) ? ((b0 & 0x1F) << 6) | (b1 & 0x3F) : 0xFFFD;
  int c = 0xFFFD;
  if (b0 >= 0xE0 && b0 <= 0xEF && trail(b1) && trail(b2)) {
    c = ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
    if (c < 0x800 || U_IS_SURROGATE(c))
      return 0xFFFD;
  } else if (b0 >= 0xF0 && b0 <= 0xF4 && trail(b1) && trail(b2) && trail(b3)) {
    c = ((b0 & 0x07) << 18) | ((b1 & 0x3F) << 12) | ((b2 & 0x3F) << 6) | (b3 & 0x3F);
    if (c < 0x10000 || c > 0x10FFFF)
      return 0xFFFD;
  }
  return c;
}

int EKChar::last32(const UnicodeString& s) {
  return s.isEmpty() ? -1 : s.char32At(s.length() - 1);
}

UnicodeString& EKChar::toZenkaku(UnicodeString& s) {
  for (int32_t i = 0; i < s.length(); ++i) {
    if (s[i] >= 0x21 && s[i] <= 0x7E)
      s.setCharAt(i, static_cast<char16_t>(s[i] + 0xFEE0));
  }
  return s;
}

UnicodeString& EKChar::toZenkakuKana(UnicodeString& s) {
  for (int32_t i = 0; i < s.length(); ++i) {
    if (isHankakuKana(s[i]))
      s.setCharAt(i, ZENKAKU_KANA[s[i] - 0xFF61]);
  }
  return s;
}

char16_t EKChar::toFullsizeKana(char16_t c) {
  const KanaPair* hit = std::lower_bound(std::begin(FULLSIZE_KANA), std::end(FULLSIZE_KANA), c,
                                         [](const KanaPair& p, char16_t v) { return p.small < v; });
  return hit != std::end(FULLSIZE_KANA) && hit->small == c ? hit->full : c;
}

UnicodeString& EKChar::toFullsizeKana(UnicodeString& s) {
  for (int32_t i = 0; i < s.length(); ++i) {
    const char16_t full = toFullsizeKana(s[i]);
    if (full != s[i])
      s.setCharAt(i, full);
  }
  return s;
}

bool EKChar::isEmptyOrWhitespace(const UnicodeString& s) {
  for (int32_t i = 0; i < s.length(); ++i) {
    if (!isWhitespace(static_cast<int>(s[i])))
      return false;
  }
  return true;
}

bool EKChar::isInseparableChar(int c, int next) {
  if (c >= 0x2014 && c <= 0x2026 && (c <= 0x2015 || c >= 0x2024))
    return next == c;
  return (c == 0x3033 || c == 0x3034) && next == 0x3035;
}

bool EKChar::isInseparableCharEx(const UnicodeString& s, int32_t i, int method) {
  if (i < 0 || i >= s.length())
    return false;
  const UChar32 c = s.char32At(i);
  const int32_t nextIndex = i + U16_LENGTH(c);
  if (nextIndex >= s.length())
    return false;
  const UChar32 next = s.char32At(nextIndex);
  if (!isInseparableChar(c, next))
    return false;
  if (method != 1 && method != 2)
    return true;
  const int32_t afterIndex = nextIndex + U16_LENGTH(next);
  const bool beforeDiffers = i == 0 || s.char32At(i - 1) != c;
  const bool afterDiffers = afterIndex >= s.length() || s.char32At(afterIndex) != next;
  return method == 1 ? (beforeDiffers || afterDiffers) : (beforeDiffers && afterDiffers);
}

EKChar::TR50VO EKChar::getTR50VO(int c, const TR50OverrideMap* overrides) {
  if (overrides) {
    const auto hit = overrides->find(c);
    if (hit != overrides->end())
      return hit->second;
  }
  switch (u_getIntPropertyValue(c, UCHAR_VERTICAL_ORIENTATION)) {
  case U_VO_UPRIGHT:
    return TR50VO_U;
  case U_VO_TRANSFORMED_UPRIGHT:
    return TR50VO_Tu;
  case U_VO_TRANSFORMED_ROTATED:
    return TR50VO_Tr;
  default:
    return TR50VO_R;
  }
}

EKChar::TR50Property EKChar::getTR50SVO(int c, const TR50OverrideMap* overrides, bool hasVerticalForms) {
  switch (getTR50VO(c, overrides)) {
  case TR50VO_U:
  case TR50VO_Tu:
    return TR50_UPRIGHT;
  case TR50VO_Tr:
    return hasVerticalForms ? TR50_UPRIGHT : TR50_ROTATED;
  default:
    return TR50_ROTATED;
  }
}

EKChar::TR50Property EKChar::getTR50MVO(int c, const TR50OverrideMap* overrides, bool hasVerticalForms) {
  switch (getTR50VO(c, overrides)) {
  case TR50VO_U:
    return TR50_UPRIGHT;
  case TR50VO_Tu:
    return hasVerticalForms ? TR50_TRANSFORMED_UPRIGHT : TR50_UPRIGHT;
  case TR50VO_Tr:
    return hasVerticalForms ? TR50_TRANSFORMED_ROTATED : TR50_ROTATED;
  default:
    return TR50_ROTATED;
  }
}

} // namespace EKCommonNS
