// An EKCStr whose narrow form is always UTF-8, used where bytes are written out (XML logs).
#pragma once

#include "ekcommon/core/EKCStr.h"

namespace EKCommonNS {

class EKCOMMON_API EKUtfStr : public EKCStr {
public:
  EKUtfStr() = default;
  EKUtfStr(const UnicodeString& text) : EKCStr(text) {}
  // The text as zero-terminated UTF-8.
  const char* c_str() { return EKCStr::c_str("UTF-8"); }
};

} // namespace EKCommonNS
