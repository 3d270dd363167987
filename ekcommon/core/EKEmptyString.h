// The shared empty string, returned by reference wherever the library has an empty result.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

namespace EKCommonNS {

class EKCOMMON_API EKEmptyString : public UnicodeString {
public:
  static const EKEmptyString EMPTY_VALUE;
  static const UnicodeString& getEmptyString() { return EMPTY_VALUE; }
};

} // namespace EKCommonNS
