// String helpers shared by every test program: UTF-8 literals in, UTF-8 out, and readable
// printing of UnicodeString in assertion messages.
#pragma once

#include <ekcommon/ekcommon.h>

#include <ostream>
#include <string>

inline EKCommonNS::UnicodeString u(const char* s) {
  return EKCommonNS::UnicodeString::fromUTF8(s);
}

inline std::string utf8(const EKCommonNS::UnicodeString& s) {
  if (s.isBogus())
    return "<bogus>";
  std::string out;
  return s.toUTF8String(out);
}

// Found by argument-dependent lookup in ICU's namespace, for assertion values and messages.
U_NAMESPACE_BEGIN
inline std::ostream& operator<<(std::ostream& out, const UnicodeString& s) {
  return out << '"' << ::utf8(s) << '"';
}
U_NAMESPACE_END
