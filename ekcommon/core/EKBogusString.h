// The shared bogus string: "no string at all", as opposed to the empty string.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

namespace EKCommonNS {

class EKCOMMON_API EKBogusString : public UnicodeString {
public:
  EKBogusString() { setToBogus(); }
  static const EKBogusString BOGUS_VALUE;
  static const UnicodeString& getBogusString() { return BOGUS_VALUE; }
};

} // namespace EKCommonNS
