// Helpers shared by the value tests: UTF-8 literals to UnicodeString and back, and printing of
// UnicodeString in assertion messages.
#pragma once

#include <ekcommon/ekcommon.h>

#include <ostream>
#include <string>

namespace icu_test_print {
inline std::string utf8(const icu::UnicodeString& s) {
  std::string out;
  return s.toUTF8String(out);
}
} // namespace icu_test_print

U_NAMESPACE_BEGIN
inline std::ostream& operator<<(std::ostream& out, const UnicodeString& s) {
  return out << '"' << icu_test_print::utf8(s) << '"';
}
U_NAMESPACE_END

inline icu::UnicodeString u(const char* s) { return icu::UnicodeString::fromUTF8(s); }
using icu_test_print::utf8;
