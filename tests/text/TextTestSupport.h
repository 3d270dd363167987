// Conversions shared by the text tests: UTF-8 literals in, UTF-8 strings out for readable failures.
#pragma once

#include <ekcommon/ekcommon.h>

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
