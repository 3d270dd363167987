// Trimming shared by the text utilities: TAB, LF, FF, CR and SPACE at both ends.
#pragma once

#include "ekcommon/text/EKChar.h"

namespace EKCommonNS {

inline UnicodeString trimCssWhitespace(const UnicodeString& s) {
  int32_t first = 0;
  int32_t last = s.length();
  while (first < last && EKChar::isCssWhitespace(s[first]))
    ++first;
  while (last > first && EKChar::isCssWhitespace(s[last - 1]))
    --last;
  return UnicodeString(s, first, last - first);
}

} // namespace EKCommonNS
