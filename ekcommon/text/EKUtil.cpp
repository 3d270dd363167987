// Quoting, spaces, number scanning and number printing of EKUtil.
#include "ekcommon/text/EKUtil.h"

#include "ekcommon/core/EKBogusString.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/internal/EKTrim.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace EKCommonNS {

namespace {

constexpr char16_t DQUOTE = u'"';
constexpr char16_t SQUOTE = u'\'';
constexpr char16_t BACKSLASH = u'\\';

// The white space the number scanners skip: no form feed.
bool isScanSpace(char16_t c) {
  return EKChar::isWhitespace(static_cast<int>(c));
}

bool hasBit(EKUtil::QuoteMode mode, EKUtil::QuoteMode bit) {
  return (mode & bit) != 0;
}

UnicodeString fromAscii(const char* first, const char* last) {
  return UnicodeString(first, static_cast<int32_t>(last - first), US_INV);
}

// Reads a CSS escape whose backslash is at p[-1]; appends what it stands for to `out` and
// returns the position after it, or null when the text ends inside the escape.
const char16_t* readCssEscape(const char16_t* p, UnicodeString& out) {
  if (*p == 0)
    return nullptr;
  if (EKChar::hex2dig(*p) >= 0) {
    uint32_t cp = 0;
    for (int n = 0; n < 6 && EKChar::hex2dig(*p) >= 0; ++n, ++p)
      cp = cp * 16 + static_cast<uint32_t>(EKChar::hex2dig(*p));
    // NUL, surrogates and values past the Unicode range cannot stand in a string.
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      cp = 0xFFFD;
    out.append(static_cast<UChar32>(cp));
    if (EKChar::isCssWhitespace(*p))
      ++p;
    return p;
  }
  if (p[0] == u'\r' && p[1] == u'\n')
    return p + 2;
  if (*p == u'\n' || *p == u'\f' || *p == u'\r')
    return p; // a line continuation: only the backslash goes
  out.append(*p);
  return p + 1;
}

// Reads \uXXXX whose backslash is at p[-1]; null unless 'u' and at least one hex digit follow.
const char16_t* readUnicodeEscape(const char16_t* p, UnicodeString& out) {
  if (*p != u'u' || EKChar::hex2dig(p[1]) < 0)
    return nullptr;
  ++p;
  char16_t unit = 0;
  for (int n = 0; n < 4 && EKChar::hex2dig(*p) >= 0; ++n, ++p)
    unit = static_cast<char16_t>(unit * 16 + EKChar::hex2dig(*p));
  out.append(unit);
  return p;
}

template <typename Int> UnicodeString intToString(Int value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return fromAscii(buffer, result.ptr);
}

template <typename Float> int roundHalfAwayFromZero(Float value) {
  if (std::isnan(value))
    return 0;
  const double rounded = std::round(static_cast<double>(value));
  if (rounded >= static_cast<double>(INT_MAX))
    return INT_MAX;
  if (rounded <= static_cast<double>(INT_MIN))
    return INT_MIN;
  return static_cast<int>(rounded);
}

// Serialises setLocaleC; constant-initialised, so it needs no place in the start-up order.
std::mutex s_localeMutex;

} // namespace

UnicodeString EKUtil::parseString(const char16_t* p, const char16_t** end, QuoteMode mode) {
  const char16_t* const start = p;
  while (EKChar::isCssWhitespace(*p))
    ++p;
  char16_t quote = 0;
  if (hasBit(mode, QUOTE_DOUBLE) || hasBit(mode, QUOTE_SINGLE)) {
    if ((*p == DQUOTE && hasBit(mode, QUOTE_DOUBLE)) || (*p == SQUOTE && hasBit(mode, QUOTE_SINGLE)))
      quote = *p++;
    else {
      *end = start;
      return EKBogusString::getBogusString();
    }
  }

  UnicodeString content;
  for (;;) {
    const char16_t c = *p;
    if (c == 0) {
      if (quote == 0)
        break; // unquoted: the rest of the text is the content
      *end = start;
      return EKBogusString::getBogusString();
    }
    if (c == quote) {
      if (hasBit(mode, QUOTE_DOUBLING) && p[1] == quote) {
        content.append(quote);
        p += 2;
        continue;
      }
      ++p;
      break;
    }
    if (c == BACKSLASH && (hasBit(mode, QUOTE_UNICODE_ESCAPES) || hasBit(mode, QUOTE_CSS_ESCAPES))) {
      p = hasBit(mode, QUOTE_UNICODE_ESCAPES) ? readUnicodeEscape(p + 1, content)
                                              : readCssEscape(p + 1, content);
      if (!p) {
        *end = start;
        return EKBogusString::getBogusString();
      }
      continue;
    }
    content.append(c);
    ++p;
  }
  *end = p;
  return content;
}

UnicodeString EKUtil::unquoteString(const UnicodeString& s, QuoteMode mode) {
  UnicodeString text = trimCssWhitespace(s);
  const int32_t length = text.length();
  const char16_t* buffer = text.getTerminatedBuffer();
  if (buffer) {
    const char16_t* end = nullptr;
    UnicodeString content = parseString(buffer, &end, mode);
    if (!content.isBogus() && end == buffer + length)
      return content;
  }
  if (!hasBit(mode, QUOTE_DOUBLING) && !hasBit(mode, QUOTE_CSS_ESCAPES) && length >= 2 &&
      text[0] == text[length - 1])
    return UnicodeString(text, 1, length - 2);
  return EKBogusString::getBogusString();
}

UnicodeString EKUtil::quoteString(const UnicodeString& s, QuoteMode mode) {
  char16_t quote = 0;
  if (hasBit(mode, QUOTE_DOUBLE) && hasBit(mode, QUOTE_SINGLE))
    quote = (s.indexOf(DQUOTE) >= 0 && s.indexOf(SQUOTE) < 0) ? SQUOTE : DQUOTE;
  else if (hasBit(mode, QUOTE_DOUBLE))
    quote = DQUOTE;
  else if (hasBit(mode, QUOTE_SINGLE))
    quote = SQUOTE;

  UnicodeString out;
  if (quote)
    out.append(quote);
  const int32_t length = s.length();
  for (int32_t i = 0; i < length; ++i) {
    const char16_t c = s[i];
    if (hasBit(mode, QUOTE_UNICODE_ESCAPES)) {
      if (c < 0x20 || c > 0x7E || c == DQUOTE || c == SQUOTE || c == BACKSLASH || c == u'`')
        out.append(u"\\u").append(toHexString(c, 4));
      else
        out.append(c);
    } else if (hasBit(mode, QUOTE_CSS_ESCAPES)) {
      const char16_t* escape = nullptr;
      if (c == quote)
        escape = quote == DQUOTE ? u"\\22" : u"\\27";
      else if (c == u'\n')
        escape = u"\\A";
      else if (c == u'\f')
        escape = u"\\C";
      else if (c == u'\r')
        escape = u"\\D";
      else if (c == BACKSLASH)
        escape = u"\\5C";
      if (!escape) {
        out.append(c);
        continue;
      }
      out.append(escape);
      // The next character would otherwise be read as part of the escape.
      if (i + 1 < length && (EKChar::hex2dig(s[i + 1]) >= 0 || s[i + 1] == u' ' || s[i + 1] == u'\t'))
        out.append(u' ');
    } else {
      out.append(c);
      if (c == quote && hasBit(mode, QUOTE_DOUBLING))
        out.append(c);
    }
  }
  if (quote)
    out.append(quote);
  return out;
}

UnicodeString EKUtil::quoteUri(const UnicodeString& s) {
  UnicodeString out(u"url(\"");
  const int32_t length = s.length();
  for (int32_t i = 0; i < length; ++i) {
    if (s[i] == DQUOTE)
      out.append(u"%22");
    else
      out.append(s[i]);
  }
  return out.append(u"\")");
}

UnicodeString EKUtil::unquoteUri(const UnicodeString& s) {
  return EKUri(s, EKUri::URISTR_WINPATH).toString();
}

UnicodeString EKUtil::normalizeSpaces(const UnicodeString& s) {
  UnicodeString out;
  bool pendingSpace = false;
  const int32_t length = s.length();
  for (int32_t i = 0; i < length; ++i) {
    const char16_t c = s[i];
    if (isScanSpace(c)) {
      pendingSpace = !out.isEmpty();
      continue;
    }
    if (pendingSpace)
      out.append(u' ');
    pendingSpace = false;
    out.append(c);
  }
  return out;
}

UnicodeString EKUtil::omitSpace(const UnicodeString& s) {
  UnicodeString out;
  const int32_t length = s.length();
  for (int32_t i = 0; i < length; ++i) {
    if (!isScanSpace(s[i]))
      out.append(s[i]);
  }
  return out;
}

double EKUtil::parseNumber(const char16_t* p, const char16_t** end, bool* hasDecimalPoint,
                           bool* notNumber) {
  // Longest integer part, sign included, that is converted; longer ones read as 0.
  constexpr size_t MAX_INTEGER_CHARS = 97;
  // Fraction digits past this many cannot change a double and are dropped.
  constexpr size_t MAX_FRACTION_DIGITS = 40;

  const char16_t* const start = p;
  const char16_t* q = p;
  while (isScanSpace(*q))
    ++q;
  char digits[MAX_INTEGER_CHARS + 1 + MAX_FRACTION_DIGITS + 1];
  size_t n = 0;
  size_t integerChars = 0;
  if (*q == u'+' || *q == u'-') {
    if (*q == u'-')
      digits[n++] = '-';
    ++integerChars;
    ++q;
  }
  const char16_t* const firstDigit = q;
  while (EKChar::isAsciiDigit(*q)) {
    if (integerChars < MAX_INTEGER_CHARS)
      digits[n++] = static_cast<char>(*q);
    ++integerChars;
    ++q;
  }
  const bool hasIntegerDigits = q != firstDigit;
  bool point = false;
  if (*q == u'.' && (hasIntegerDigits || EKChar::isAsciiDigit(q[1]))) {
    point = true;
    digits[n++] = '.';
    ++q;
    for (size_t fraction = 0; EKChar::isAsciiDigit(*q); ++q, ++fraction) {
      if (fraction < MAX_FRACTION_DIGITS)
        digits[n++] = static_cast<char>(*q);
    }
  }
  if (!hasIntegerDigits && !point) {
    if (end)
      *end = start;
    if (notNumber)
      *notNumber = true;
    if (hasDecimalPoint)
      *hasDecimalPoint = false;
    return 0;
  }
  if (end)
    *end = q;
  if (notNumber)
    *notNumber = false;
  if (hasDecimalPoint)
    *hasDecimalPoint = point;
  if (integerChars > MAX_INTEGER_CHARS)
    return 0;
  double value = 0;
  std::from_chars(digits, digits + n, value, std::chars_format::fixed);
  return value;
}

uint32_t EKUtil::parseHexNum(const char16_t* p, const char16_t** end, int maxDigits) {
  while (isScanSpace(*p))
    ++p;
  uint64_t value = 0;
  for (int count = 0; (maxDigits <= 0 || count < maxDigits) && EKChar::hex2dig(*p) >= 0; ++count, ++p) {
    value = value * 16 + static_cast<uint64_t>(EKChar::hex2dig(*p));
    if (value > UINT32_MAX)
      value = UINT32_MAX + uint64_t(1); // stays above the range without overflowing
  }
  if (end)
    *end = p;
  return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

int EKUtil::parseDigits(const UnicodeString& s, int start, int count) {
  const int32_t length = s.length();
  if (start < 0 || start >= length)
    return -1;
  const int32_t last = (count > 0 && count < length - start) ? start + count : length;
  int64_t value = 0;
  for (int32_t i = start; i < last; ++i) {
    if (!EKChar::isAsciiDigit(s[i]))
      return -1;
    value = std::min<int64_t>(value * 10 + (s[i] - u'0'), INT32_MAX);
  }
  return static_cast<int>(value);
}

int EKUtil::parseDigits(const char16_t* p, const char16_t** end) {
  const char16_t* q = p;
  while (isScanSpace(*q))
    ++q;
  if (!EKChar::isAsciiDigit(*q)) {
    if (end)
      *end = p;
    return -1;
  }
  int64_t value = 0;
  for (; EKChar::isAsciiDigit(*q); ++q)
    value = std::min<int64_t>(value * 10 + (*q - u'0'), INT32_MAX);
  if (end)
    *end = q;
  return static_cast<int>(value);
}

UnicodeString EKUtil::toString(int value) {
  return intToString(value);
}

UnicodeString EKUtil::toString(int64_t value) {
  return intToString(value);
}

UnicodeString EKUtil::toString(double value) {
  // std::to_chars with a precision formats as printf would in the C locale.
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return fromAscii(buffer, result.ptr);
}

UnicodeString EKUtil::toHexString(uint32_t value, int minDigits) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
  UnicodeString out;
  for (int pad = minDigits - static_cast<int>(result.ptr - buffer); pad > 0; --pad)
    out.append(u'0');
  for (const char* c = buffer; c < result.ptr; ++c)
    out.append(static_cast<char16_t>(*c >= 'a' ? *c - 'a' + 'A' : *c));
  return out;
}

int EKUtil::roundToInteger(float value) {
  return roundHalfAwayFromZero(value);
}

int EKUtil::roundToInteger(double value) {
  return roundHalfAwayFromZero(value);
}

double EKUtil::getNaN() {
  return std::numeric_limits<double>::quiet_NaN();
}

float EKUtil::getNaNf() {
  return std::numeric_limits<float>::quiet_NaN();
}

bool EKUtil::isNaN(float value) {
  return std::isnan(value);
}

bool EKUtil::isNaN(double value) {
  return std::isnan(value);
}

void EKUtil::setLocaleC() {
  std::lock_guard<std::mutex> guard(s_localeMutex);
  const char* current = std::setlocale(LC_NUMERIC, nullptr);
  if (!current || std::strcmp(current, "C") != 0)
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace EKCommonNS
