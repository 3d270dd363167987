// UTF-8 forms of UnicodeStrings for file names and system calls inside the resources layer.
#pragma once

#include "ekcommon/core/EKUnicode.h"

#include <string>

namespace EKCommonNS {

inline std::string toUtf8(const UnicodeString& s) {
  std::string out;
  s.toUTF8String(out);
  return out;
}

} // namespace EKCommonNS
