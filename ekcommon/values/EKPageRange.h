// A set of page numbers as a user writes it for printing: "1-3, 5, 8-" holds pages 1 to 3, page
// 5 and every page from 8 on. Kept as the list of ranges in the order they were written.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <cstdint>
#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKPageRange {
public:
  // The high end of a range that runs to the last page.
  static constexpr int32_t TO_END = 2147483647;

  struct PRange {
    int32_t low;
    int32_t high;
    bool operator==(const PRange& other) const { return low == other.low && high == other.high; }
  };

  // Appends the ranges of `text`: comma-separated entries "N" (N to N), "N-M", "N-" (N to the
  // end) and "-M" (0 to M), with white space around every number, '-' and ','; an end of 0 means
  // the end. The empty text adds nothing. Returns false, appending nothing, for anything else,
  // a start above its end or a number beyond the int32 range.
  bool parsePageRange(const UnicodeString& text);
  // Whether parsePageRange would accept the text.
  static bool checkPageRange(const UnicodeString& text);

  // Whether some range holds n; false for an empty list.
  bool inRange(int32_t n) const;
  bool empty() const { return m_ranges.empty(); }
  const std::vector<PRange>& getRange() const { return m_ranges; }

private:
  std::vector<PRange> m_ranges;
};

} // namespace EKCommonNS
