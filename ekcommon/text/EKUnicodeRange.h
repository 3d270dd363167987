// A set of code points as a sorted list of disjoint, non-adjacent inclusive ranges, read from CSS
// unicode-range syntax (U+ notation with '-' ranges and '?' wildcards, quoted character lists)
// and printed back in the most compact U+ form.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <cstdint>
#include <vector>

namespace EKCommonNS {

class EKValue;

class EKCOMMON_API EKUnicodeRange {
public:
  struct URange {
    int32_t first;
    int32_t last;
    bool operator==(const URange& other) const { return first == other.first && last == other.last; }
  };

  static constexpr int32_t MAX_CODE_POINT = 0x10FFFF;

  bool operator==(const EKUnicodeRange& other) const { return m_ranges == other.m_ranges; }
  bool operator!=(const EKUnicodeRange& other) const { return !(*this == other); }

  // Adds the range, merging it with ranges it overlaps or touches. A range whose first point
  // exceeds its last is ignored.
  void addRange(const URange& range);
  void addRange(const EKUnicodeRange& other);
  void clearRange() { m_ranges.clear(); }
  void fullRange() { addRange(URange{0, MAX_CODE_POINT}); }
  bool isFullRange() const;
  bool inRange(int32_t c) const;
  const std::vector<URange>& getRanges() const { return m_ranges; }

  // Adds the entries of a comma-separated list; true when the whole text was valid. Entries
  // read before an error stay added.
  bool parseUnicodeRange(const UnicodeString& text);
  // A property value: the name "all" adds the full range; any other value is read as the text
  // it prints as (quoted strings stay quoted).
  bool parseUnicodeRange(const EKValue& value);
  // As above on zero-terminated text; *end (when given) receives where parsing stopped.
  bool parseUnicodeRange(const char16_t* p, const char16_t** end);

  // The ranges in U+ notation, separated by ", ".
  UnicodeString toString() const;

private:
  // Adds many ranges at once: one sort and merge instead of an insertion each.
  void addRanges(std::vector<URange>& ranges);

  std::vector<URange> m_ranges;
};

} // namespace EKCommonNS
