// Kanji numerals from a decimal digit string, shared by EKUtil::convertKansuji and the kansuji
// counter system, which takes its digits and units from the style's symbols.
#pragma once

#include "ekcommon/core/EKUnicode.h"

#include <cstddef>

namespace EKCommonNS {
namespace kansuji {

enum class Variant { SIMPLE, GROUPING, READABLE };

// `decimal`: ASCII digits without sign, no leading zeros unless it is "0". `digits`: ten
// strings for 0 to 9. `units`: `unitCount` strings, ten, hundred, thousand, then the myriad
// units from 10^4 up.
UnicodeString convert(const char16_t* decimal, int32_t length, Variant variant,
                      const UnicodeString* digits, const UnicodeString* units, size_t unitCount);

} // namespace kansuji
} // namespace EKCommonNS
