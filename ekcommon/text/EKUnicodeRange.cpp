#include "ekcommon/text/EKUnicodeRange.h"

#include "ekcommon/text/EKChar.h"

#include <algorithm>
#include <cstdio>

namespace EKCommonNS {

namespace {

constexpr int MAX_HEX_DIGITS = 6;

bool isSpace(char16_t c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

const char16_t* skipSpaces(const char16_t* p) {
  while (isSpace(*p))
    ++p;
  return p;
}

// Reads up to six hex digits; -1 when there is none.
int32_t readHex(const char16_t*& p, int& digits) {
  int32_t value = 0;
  digits = 0;
  for (int v; digits < MAX_HEX_DIGITS && (v = EKChar::hex2dig(*p)) >= 0; ++p, ++digits)
    value = value * 16 + v;
  return digits == 0 ? -1 : value;
}

// One U+ entry, p just after "U+"; false on a malformed entry.
bool readUPlusEntry(const char16_t*& p, EKUnicodeRange::URange& range) {
  int digits = 0;
  const int32_t first = readHex(p, digits);
  if (first < 0)
    return false;
  if (*p == '?') {
    int32_t size = 1;
    while (*p == '?' && digits < MAX_HEX_DIGITS) {
      size *= 16;
      ++digits;
      ++p;
    }
    if (*p == '?' || EKChar::hex2dig(*p) >= 0)
      return false;
    range = {first * size, first * size + size - 1};
  } else if (EKChar::hex2dig(*p) >= 0) {
    return false; // more than six digits
  } else if (*p == '-') {
    ++p;
    const int32_t last = readHex(p, digits);
    if (EKChar::hex2dig(*p) >= 0)
      return false;
    range = {first, last < 0 ? EKUnicodeRange::MAX_CODE_POINT : last};
  } else {
    range = {first, first};
  }
  return range.first <= range.last && range.first <= EKUnicodeRange::MAX_CODE_POINT;
}

void appendFormatted(UnicodeString& out, const char* format, int32_t a, int32_t b = 0) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned>(a), static_cast<unsigned>(b));
  out.append(UnicodeString(buffer, -1, US_INV));
}

} // namespace

void EKUnicodeRange::addRange(const URange& range) {
  if (range.first > range.last)
    return;
  URange merged{std::max(range.first, 0), std::min(range.last, MAX_CODE_POINT)};
  if (merged.first > merged.last)
    return;
  // The first range whose end reaches or touches the new first point.
  auto it = std::lower_bound(m_ranges.begin(), m_ranges.end(), merged.first,
                             [](const URange& r, int32_t first) { return r.last < first - 1; });
  auto end = it;
  while (end != m_ranges.end() && end->first <= merged.last + 1) {
    merged.first = std::min(merged.first, end->first);
    merged.last = std::max(merged.last, end->last);
    ++end;
  }
  it = m_ranges.erase(it, end);
  m_ranges.insert(it, merged);
}

void EKUnicodeRange::addRange(const EKUnicodeRange& other) {
  std::vector<URange> ranges(other.m_ranges);
  addRanges(ranges);
}

void EKUnicodeRange::addRanges(std::vector<URange>& ranges) {
  if (ranges.empty())
    return;
  ranges.insert(ranges.end(), m_ranges.begin(), m_ranges.end());
  std::sort(ranges.begin(), ranges.end(), [](const URange& a, const URange& b) { return a.first < b.first; });
  std::vector<URange> merged;
  for (URange r : ranges) {
    r.first = std::max(r.first, 0);
    r.last = std::min(r.last, MAX_CODE_POINT);
    if (r.first > r.last)
      continue;
    if (!merged.empty() && r.first <= merged.back().last + 1)
      merged.back().last = std::max(merged.back().last, r.last);
    else
      merged.push_back(r);
  }
  m_ranges.swap(merged);
}

bool EKUnicodeRange::isFullRange() const {
  return m_ranges.size() == 1 && m_ranges[0].first == 0 && m_ranges[0].last >= MAX_CODE_POINT;
}

bool EKUnicodeRange::inRange(int32_t c) const {
  const auto it = std::lower_bound(m_ranges.begin(), m_ranges.end(), c,
                                   [](const URange& r, int32_t value) { return r.last < value; });
  return it != m_ranges.end() && it->first <= c;
}

bool EKUnicodeRange::parseUnicodeRange(const UnicodeString& text) {
  UnicodeString terminated(text);
  const char16_t* end = nullptr;
  // A NUL inside the text stops the parse early; that is an error unless it is the end.
  return parseUnicodeRange(terminated.getTerminatedBuffer(), &end) && end == terminated.getBuffer() + text.length();
}

bool EKUnicodeRange::parseUnicodeRange(const char16_t* p, const char16_t** end) {
  bool valid = true;
  if (!p) {
    if (end)
      *end = p;
    return true;
  }
  p = skipSpaces(p);
  std::vector<URange> parsed;
  bool first = true;
  while (*p || !first) {
    if (!first) {
      if (*p != ',') {
        valid = false;
        break;
      }
      p = skipSpaces(p + 1);
    }
    first = false;
    if (*p == '"' || *p == '\'') {
      const char16_t quote = *p++;
      while (*p && *p != quote) {
        UChar32 c = *p++;
        if (U16_IS_LEAD(c) && U16_IS_TRAIL(*p))
          c = U16_GET_SUPPLEMENTARY(c, *p++);
        parsed.push_back(URange{c, c});
      }
      if (!*p)
        break; // an unterminated string ends the list
      ++p;
    } else if ((*p == 'U' || *p == 'u') && p[1] == '+') {
      p += 2;
      URange range{};
      if (!readUPlusEntry(p, range)) {
        valid = false;
        break;
      }
      parsed.push_back(range);
    } else {
      valid = false;
      break;
    }
    p = skipSpaces(p);
    if (!*p)
      break;
  }
  addRanges(parsed);
  if (end)
    *end = p;
  return valid;
}

UnicodeString EKUnicodeRange::toString() const {
  UnicodeString out;
  for (const URange& r : m_ranges) {
    if (!out.isEmpty())
      out.append(u", ");
    const int32_t size = r.last - r.first + 1;
    if (size == 1)
      appendFormatted(out, "U+%04X", r.first);
    else if (size == 0x10000 && r.first % 0x10000 == 0)
      appendFormatted(out, "U+%X????", r.first >> 16);
    else if (size == 0x1000 && r.first % 0x1000 == 0)
      appendFormatted(out, "U+%X???", r.first >> 12);
    else if (size == 0x100 && r.first % 0x100 == 0)
      appendFormatted(out, "U+%02X??", r.first >> 8);
    else if (size == 0x10 && r.first % 0x10 == 0)
      appendFormatted(out, "U+%03X?", r.first >> 4);
    else
      appendFormatted(out, "U+%04X-%04X", r.first, r.last);
  }
  return out;
}

} // namespace EKCommonNS
