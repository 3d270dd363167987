// Japanese kanji numerals (kansuji): digit by digit, grouped by myriads, or with every unit.
#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/EKUtil.h"

#include "ekcommon/text/internal/EKKansuji.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <string>

namespace EKCommonNS {

namespace {

constexpr char16_t KANJI_DIGITS[] = u"\u3007\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03\u516B\u4E5D";
constexpr char16_t KANJI_UNITS[] =
    u"\u5341\u767E\u5343\u4E07\u5104\u5146\u4EAC\u5793\U00025771\u7A63\u6E9D\u6F97\u6B63\u8F09\u6975";
// Ten, hundred and thousand come before the myriad units.
constexpr size_t SMALL_UNITS = 3;
constexpr size_t MAX_UNITS = SMALL_UNITS + 12;

// Up to `max` strings of one code point each from `text`; returns how many.
size_t splitCodePoints(const UnicodeString& text, UnicodeString* out, size_t max) {
  size_t count = 0;
  for (int32_t i = 0; i < text.length() && count < max;) {
    const UChar32 c = text.char32At(i);
    out[count++] = UnicodeString(c);
    i += U16_LENGTH(c);
  }
  return count;
}

// Writes `length` digits from `p` one by one, leaving out leading zeros.
void appendSimple(UnicodeString& out, const char16_t* p, int32_t length, const UnicodeString* digits) {
  int32_t i = 0;
  while (i < length - 1 && p[i] == '0')
    ++i;
  for (; i < length; ++i)
    out.append(digits[p[i] - '0']);
}

// Writes a group of at most four digits with the units of ten, hundred and thousand. A one is
// left out before ten and hundred, and before thousand when it starts the number (千, but
// 一万一千 for 11000).
void appendReadable(UnicodeString& out, const char16_t* p, int32_t length, const UnicodeString* digits,
                    const UnicodeString* units) {
  for (int32_t i = 0; i < length; ++i) {
    const int digit = p[i] - '0';
    const int32_t position = length - 1 - i;
    if (digit == 0)
      continue;
    if (position == 0 || digit != 1 || (position == 3 && !out.isEmpty()))
      out.append(digits[digit]);
    if (position > 0)
      out.append(units[position - 1]);
  }
}

bool isZeros(const char16_t* p, int32_t length) {
  return std::all_of(p, p + length, [](char16_t c) { return c == '0'; });
}

} // namespace

UnicodeString kansuji::convert(const char16_t* decimal, int32_t length, Variant variant,
                               const UnicodeString* digits, const UnicodeString* units, size_t unitCount) {
  UnicodeString out;
  const size_t myriads = unitCount > SMALL_UNITS ? unitCount - SMALL_UNITS : 0;
  if (variant == Variant::SIMPLE || (variant == Variant::GROUPING && myriads == 0) ||
      (variant == Variant::READABLE && unitCount < SMALL_UNITS)) {
    for (int32_t i = 0; i < length; ++i)
      out.append(digits[decimal[i] - '0']);
    return out;
  }
  if (isZeros(decimal, length))
    return digits[0];
  // Groups of four digits from the right; everything above the last myriad unit is one group.
  const int32_t groups = std::min<int32_t>((length + 3) / 4, static_cast<int32_t>(myriads) + 1);
  const int32_t topLength = length - 4 * (groups - 1);
  int32_t start = 0;
  for (int32_t group = groups - 1; group >= 0; --group) {
    const int32_t size = group == groups - 1 ? topLength : 4;
    const char16_t* p = decimal + start;
    start += size;
    if (isZeros(p, size))
      continue;
    if (variant == Variant::READABLE && size <= 4)
      appendReadable(out, p, size, digits, units);
    else
      appendSimple(out, p, size, digits);
    if (group > 0)
      out.append(units[SMALL_UNITS + static_cast<size_t>(group) - 1]);
  }
  return out;
}

UnicodeString EKUtil::convertKansuji(int64_t value, const EKName& type, const EKName& variant,
                                     const UnicodeString& digits, const UnicodeString& units) {
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string text = std::to_string(magnitude);
  if (value < 0)
    text.insert(0, 1, '-');
  return convertKansuji(UnicodeString(text.c_str(), -1, US_INV), type, variant, digits, units);
}

UnicodeString EKUtil::convertKansuji(const UnicodeString& decimalText, const EKName& type,
                                     const EKName& variant, const UnicodeString& digits,
                                     const UnicodeString& units) {
  const bool negative = decimalText.startsWith(u"-");
  int32_t start = negative ? 1 : 0;
  if (start == decimalText.length())
    return decimalText;
  for (int32_t i = start; i < decimalText.length(); ++i) {
    if (!EKChar::isAsciiDigit(decimalText[i]))
      return decimalText;
  }
  while (start < decimalText.length() - 1 && decimalText[start] == '0')
    ++start;

  UnicodeString digitStrings[10];
  splitCodePoints(UnicodeString(KANJI_DIGITS), digitStrings, 10);
  if (!digits.isEmpty())
    splitCodePoints(digits, digitStrings, 10);
  else if (variant == EKN_latin) {
    for (int d = 0; d < 10; ++d)
      digitStrings[d] = UnicodeString(static_cast<UChar32>(0xFF10 + d));
  } else if (variant != EKN_kanji && !variant.isEmpty())
    splitCodePoints(variant.toString(), digitStrings, 10);

  UnicodeString unitStrings[MAX_UNITS];
  const size_t unitCount = splitCodePoints(units.isEmpty() ? UnicodeString(KANJI_UNITS) : units,
                                           unitStrings, MAX_UNITS);
  const kansuji::Variant kind = type == EKN_grouping   ? kansuji::Variant::GROUPING
                                : type == EKN_readable ? kansuji::Variant::READABLE
                                                       : kansuji::Variant::SIMPLE;
  UnicodeString out = kansuji::convert(decimalText.getBuffer() + start, decimalText.length() - start,
                                       kind, digitStrings, unitStrings, unitCount);
  return negative ? out.insert(0, u'-') : out;
}

} // namespace EKCommonNS
