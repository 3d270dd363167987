// Calendar and counting arithmetic of EKUtil: modified Julian days and the CSS an+b matcher.
#include "ekcommon/text/EKUtil.h"

#include "ekcommon/text/internal/EKTrim.h"

#include <unicode/locid.h>

#include <climits>
#include <cmath>

namespace EKCommonNS {

namespace {

// First day of the Gregorian calendar, 1582-10-15, as year*10000 + month*100 + day.
constexpr int64_t GREGORIAN_START = 15821015;
// Julian day number of 1582-10-15, where mjd2Date switches from the Julian to the Gregorian rules.
constexpr int64_t GREGORIAN_START_JDN = 2299161;
// Julian day number of the day that begins at modified Julian day 0.
constexpr int64_t MJD_JDN_OFFSET = 2400001;

int clampToInt(int64_t value) {
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// Reads decimal digits at s[i]; false when there is none or the value would not fit an int.
bool readNthInteger(const UnicodeString& s, int32_t& i, int64_t& value) {
  const int32_t first = i;
  value = 0;
  for (; i < s.length() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
    value = value * 10 + (s[i] - u'0');
    if (value > INT_MAX)
      return false;
  }
  return i > first;
}

} // namespace

int EKUtil::modifiedJulianDay(int year, int month, int day) {
  int64_t y = year;
  int64_t m = month;
  if (m <= 2) {
    y -= 1;
    m += 12;
  }
  const int64_t n = static_cast<int64_t>(365.25 * static_cast<double>(y)) +
                    static_cast<int64_t>(30.59 * static_cast<double>(m - 2)) + day;
  const int64_t date = int64_t(year) * 10000 + int64_t(month) * 100 + day;
  if (date < GREGORIAN_START)
    return clampToInt(n - 678914);
  return clampToInt(n + y / 400 - y / 100 - 678912);
}

void EKUtil::mjd2Date(int mjd, int& year, int& month, int& day) {
  const int64_t z = int64_t(mjd) + MJD_JDN_OFFSET;
  int64_t a = z;
  if (z >= GREGORIAN_START_JDN) {
    // Gregorian centuries: 100-year cycles of which every fourth keeps its leap day.
    const int64_t centuries = static_cast<int64_t>(std::floor((double(z) - 1867216.25) / 36524.25));
    a = z + 1 + centuries - static_cast<int64_t>(std::floor(double(centuries) / 4));
  }
  const int64_t b = a + 1524;
  const int64_t c = static_cast<int64_t>(std::floor((double(b) - 122.1) / 365.25));
  const int64_t d = static_cast<int64_t>(std::floor(365.25 * double(c)));
  const int64_t e = static_cast<int64_t>(std::floor(double(b - d) / 30.6001));
  day = clampToInt(b - d - static_cast<int64_t>(std::floor(30.6001 * double(e))));
  month = clampToInt(e < 14 ? e - 1 : e - 13);
  year = clampToInt(month > 2 ? c - 4716 : c - 4715);
}

int EKUtil::mjd2WeekDay(int mjd) {
  const int weekDay = static_cast<int>((int64_t(mjd) + 3) % 7);
  return weekDay < 0 ? weekDay + 7 : weekDay;
}

bool EKUtil::Nth::parse(const UnicodeString& text) {
  UnicodeString s = trimCssWhitespace(text);
  s.toLower(icu::Locale::getRoot());
  int32_t i = 0;
  const int32_t last = s.length();
  if (s == UnicodeString(u"even")) {
    *this = Nth(2, 0);
    return true;
  }
  if (s == UnicodeString(u"odd")) {
    *this = Nth(2, 1);
    return true;
  }

  int64_t sign = 1;
  if (i < last && (s[i] == u'+' || s[i] == u'-'))
    sign = s[i++] == u'-' ? -1 : 1;
  int64_t first = 0;
  const bool hasFirst = readNthInteger(s, i, first);
  if (i < last && s[i] == u'n') {
    ++i;
    const int64_t a = sign * (hasFirst ? first : 1);
    while (i < last && EKChar::isCssWhitespace(s[i]))
      ++i;
    int64_t b = 0;
    if (i < last) {
      if (s[i] != u'+' && s[i] != u'-')
        return false;
      const int64_t bSign = s[i++] == u'-' ? -1 : 1;
      while (i < last && EKChar::isCssWhitespace(s[i]))
        ++i;
      if (!readNthInteger(s, i, b) || i != last)
        return false;
      b *= bSign;
    }
    *this = Nth(static_cast<int>(a), static_cast<int>(b));
    return true;
  }
  if (!hasFirst || i != last)
    return false;
  *this = Nth(0, static_cast<int>(sign * first));
  return true;
}

bool EKUtil::Nth::match(int n) const {
  const int64_t diff = int64_t(n) - b;
  if (a == 0)
    return diff == 0;
  return diff % a == 0 && diff / a >= 0;
}

} // namespace EKCommonNS
