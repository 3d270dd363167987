// The numbered messages of the XML parsers: the text of a code with its two arguments, and the
// strict (fatal) form that a recoverable code takes when no error callback can receive it.
#pragma once

#include "ekcommon/core/EKUnicode.h"

namespace EKCommonNS {

UnicodeString xmlErrorMessage(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2);
// 513 -> 134, 514 -> 157, 515 -> 158, 520 -> 184, 897 -> 140, 898 -> 141; other codes stay.
unsigned short xmlStrictErrorCode(unsigned short code);

} // namespace EKCommonNS
