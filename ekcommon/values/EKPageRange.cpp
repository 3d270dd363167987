#include "ekcommon/values/EKPageRange.h"

namespace EKCommonNS {

namespace {

class RangeReader {
public:
  explicit RangeReader(const UnicodeString& text) : m_text(text) {}

  // Reads the whole text into `out`; false on the first error.
  bool read(std::vector<EKPageRange::PRange>& out) {
    skipSpace();
    if (atEnd())
      return true;
    for (;;) {
      EKPageRange::PRange range{};
      if (!readEntry(range))
        return false;
      out.push_back(range);
      skipSpace();
      if (atEnd())
        return true;
      if (!take(u','))
        return false;
      skipSpace();
    }
  }

private:
  bool atEnd() const { return m_pos >= m_text.length(); }
  bool take(char16_t c) {
    if (atEnd() || m_text.charAt(m_pos) != c)
      return false;
    ++m_pos;
    return true;
  }
  void skipSpace() {
    while (!atEnd()) {
      const char16_t c = m_text.charAt(m_pos);
      if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
        return;
      ++m_pos;
    }
  }
  bool atDigit() const { return !atEnd() && m_text.charAt(m_pos) >= u'0' && m_text.charAt(m_pos) <= u'9'; }
  // An unsigned decimal number within the int32 range.
  bool readNumber(int32_t& value) {
    if (!atDigit())
      return false;
    int64_t n = 0;
    while (atDigit()) {
      n = n * 10 + (m_text.charAt(m_pos++) - u'0');
      if (n > EKPageRange::TO_END)
        return false;
    }
    value = static_cast<int32_t>(n);
    return true;
  }
  bool readEntry(EKPageRange::PRange& range) {
    range.low = 0;
    const bool open = take(u'-');
    if (open) {
      skipSpace();
    } else {
      if (!readNumber(range.low))
        return false;
      skipSpace();
      if (!take(u'-')) {
        range.high = range.low;
        return true;
      }
      skipSpace();
      if (atEnd() || m_text.charAt(m_pos) == u',') {
        range.high = EKPageRange::TO_END;
        return true;
      }
    }
    if (!readNumber(range.high))
      return false;
    if (range.high == 0)
      range.high = EKPageRange::TO_END;
    return range.low <= range.high;
  }

  const UnicodeString& m_text;
  int32_t m_pos = 0;
};

} // namespace

bool EKPageRange::parsePageRange(const UnicodeString& text) {
  std::vector<PRange> ranges;
  if (!RangeReader(text).read(ranges))
    return false;
  m_ranges.insert(m_ranges.end(), ranges.begin(), ranges.end());
  return true;
}

bool EKPageRange::checkPageRange(const UnicodeString& text) {
  std::vector<PRange> ranges;
  return RangeReader(text).read(ranges);
}

bool EKPageRange::inRange(int32_t n) const {
  for (const PRange& range : m_ranges) {
    if (range.low <= n && n <= range.high)
      return true;
  }
  return false;
}

} // namespace EKCommonNS
