// The number-to-string conversion of XSL and XSLT: format tokens, grouping and letter values.
#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/EKUtil.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <string>
#include <vector>

namespace EKCommonNS {

namespace {

// Tokens whose numbering is a traditional one: `only` when the token has no alphabetic
// meaning, so that it is traditional whatever the letter value says.
const struct {
  UChar32 token;
  EKNameEnum style;
  bool only;
} TRADITIONAL_TOKENS[] = {
    {'i', EKN_lower_roman, false},
    {'I', EKN_upper_roman, false},
    {0x03B1, EKN_greek_lower_modern, false}, // alpha
    {0x0391, EKN_greek_upper_modern, false}, // Alpha
    {0x05D0, EKN_hebrew, false},             // alef
    {0x0561, EKN_lower_armenian, false},     // ayb
    {0x0531, EKN_upper_armenian, false},     // Ayb
    {0x10D0, EKN_georgian, false},           // an
    {0x3007, EKN_cjk_decimal, true},         // ideographic zero
    {0x58F1, EKN_japanese_formal, true},     // formal one of Japanese
    {0xC77C, EKN_korean_hangul_formal, true} // Hangul "il"
};

// Alphabets in which a token letter starts a sequence of its own ("b": b, c, ..., z, bb, ...).
const EKNameEnum ALPHABETS[] = {EKN_lower_alpha, EKN_upper_alpha, EKN_lower_greek, EKN_upper_greek,
                                EKN_lower_russian, EKN_upper_russian, EKN_hiragana, EKN_katakana};

// The Han numerals of the language: 一 (U+4E00) and the formal 壹 (U+58F9).
EKNameEnum hanNumbering(UChar32 token, const EKLang& lang) {
  const EKScript script = lang.toScript();
  const bool formal = token == 0x58F9;
  if (script.isJA())
    return formal ? EKN_japanese_formal : EKN_kansuji;
  if (script.getCode() == USCRIPT_KOREAN)
    return formal ? EKN_korean_hanja_formal : EKN_korean_hanja_informal;
  if (script.getCode() == USCRIPT_SIMPLIFIED_HAN)
    return formal ? EKN_simp_chinese_formal : EKN_simp_chinese_informal;
  return formal ? EKN_trad_chinese_formal : EKN_trad_chinese_informal;
}

// The zero of the digit family when the token is one: digits of one family, all 0 but a final 1.
UChar32 decimalTokenZero(const UnicodeString& token) {
  UChar32 zero = -1;
  for (int32_t i = 0; i < token.length();) {
    const UChar32 c = token.char32At(i);
    i += U16_LENGTH(c);
    if (u_charType(c) != U_DECIMAL_DIGIT_NUMBER)
      return -1;
    const int32_t value = u_charDigitValue(c);
    if (zero >= 0 && c - value != zero)
      return -1;
    zero = c - value;
    if (value != (i == token.length() ? 1 : 0))
      return -1;
  }
  return zero;
}

UnicodeString formatDecimal(int64_t value, UChar32 zero, int32_t width,
                            const UnicodeString& separator, int groupingSize) {
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  if (static_cast<int32_t>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  UnicodeString out;
  if (value < 0)
    out.append(u'-');
  const bool grouping = !separator.isEmpty() && groupingSize > 0;
  const size_t count = digits.size();
  for (size_t i = 0; i < count; ++i) {
    if (grouping && i > 0 && (count - i) % static_cast<size_t>(groupingSize) == 0)
      out.append(separator);
    out.append(static_cast<UChar32>(zero + (digits[i] - '0')));
  }
  return out;
}

} // namespace

UnicodeString EKUtil::formatNumber(int64_t value, const UnicodeString& format, const EKLang& lang) {
  return formatNumber(value, format, UnicodeString(), 0, lang, EKN_EMPTY);
}

UnicodeString EKUtil::formatNumber(int64_t value, const UnicodeString& format,
                                   const UnicodeString& groupingSeparator, int groupingSize,
                                   const EKLang& lang, EKNameEnum letterValue) {
  // The first alphanumeric run is the token; the text before it the prefix; the text after the
  // last run the suffix.
  auto alphanumericAt = [&format](int32_t i) { return EKChar::isLetterNumber(format.char32At(i)); };
  auto advance = [&format](int32_t i) { return i + U16_LENGTH(format.char32At(i)); };
  const int32_t length = format.length();
  int32_t i = 0;
  while (i < length && !alphanumericAt(i))
    i = advance(i);
  const int32_t tokenStart = i < length ? i : -1;
  while (i < length && alphanumericAt(i))
    i = advance(i);
  const int32_t tokenEnd = i;
  int32_t lastEnd = tokenEnd;
  for (; i < length; i = advance(i)) {
    if (alphanumericAt(i))
      lastEnd = advance(i);
  }
  if (tokenStart < 0)
    return UnicodeString(format).append(formatDecimal(value, '0', 1, groupingSeparator, groupingSize));
  const UnicodeString prefix = format.tempSubString(0, tokenStart);
  const UnicodeString suffix = format.tempSubString(lastEnd);
  const UnicodeString token = format.tempSubString(tokenStart, tokenEnd - tokenStart);

  UnicodeString body;
  const UChar32 zero = decimalTokenZero(token);
  if (zero >= 0) {
    body = formatDecimal(value, zero, token.countChar32(), groupingSeparator, groupingSize);
  } else {
    const CounterStyle* style = nullptr;
    const UChar32 first = token.char32At(0);
    if (token.countChar32() == 1) {
      if (first == 0x4E00 || first == 0x58F9)
        style = getPredefinedCounterStyle(EKName(hanNumbering(first, lang)), nullptr);
      for (const auto& entry : TRADITIONAL_TOKENS) {
        const bool roman = first == 'i' || first == 'I';
        if (!style && entry.token == first &&
            (entry.only || letterValue == EKN_traditional || (roman && letterValue != EKN_alphabetic)))
          style = getPredefinedCounterStyle(EKName(entry.style), nullptr);
      }
      if (!style)
        style = findNumberingByOne(token);
      if (!style) {
        // A letter inside an alphabet: that alphabet from the letter on.
        for (EKNameEnum name : ALPHABETS) {
          const std::vector<CounterStyle::Symbol>& symbols =
              getPredefinedCounterStyle(EKName(name), nullptr)->getSymbols();
          const auto at = std::find(symbols.begin(), symbols.end(), CounterStyle::Symbol(token));
          if (at != symbols.end()) {
            CounterStyle partial{EKName(EKN_alphabetic)};
            for (auto symbol = at; symbol != symbols.end(); ++symbol)
              partial.addSymbol(*symbol);
            return UnicodeString(prefix).append(partial.formatNumber(value, nullptr, nullptr, true)).append(suffix);
          }
        }
      }
    }
    body = style ? style->formatNumber(value, nullptr, nullptr, true)
                 : formatDecimal(value, '0', 1, groupingSeparator, groupingSize);
  }
  return UnicodeString(prefix).append(body).append(suffix);
}

} // namespace EKCommonNS
