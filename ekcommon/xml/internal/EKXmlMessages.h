// The numbered messages of the XML parsers: the text of a code with its two arguments, the strict
// (fatal) form that a recoverable code takes when no error callback can receive it, and the
// position description that follows a message.
#pragma once

#include "ekcommon/core/EKUnicode.h"

namespace EKCommonNS {

UnicodeString xmlErrorMessage(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2);
// 513 -> 134, 514 -> 157, 515 -> 158, 520 -> 184, 897 -> 140, 898 -> 141; other codes stay.
unsigned short xmlStrictErrorCode(unsigned short code);
// "EVENT, 'uri', Line n, Col n." for an event type: the input URI (or the base URI when it is
// empty; nothing when both are), and the line and column when they are not negative.
UnicodeString xmlPositionDescription(int event, const UnicodeString& inputUri, const UnicodeString& baseUri, int line,
                                     int column);

} // namespace EKCommonNS
