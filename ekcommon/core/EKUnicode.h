// The library's string type. Every interface takes and returns ICU UnicodeString (UTF-16), which
// is brought into the library's namespace under its plain name.
#pragma once

#include <unicode/unistr.h>

namespace EKCommonNS {
using icu::UnicodeString;
} // namespace EKCommonNS
