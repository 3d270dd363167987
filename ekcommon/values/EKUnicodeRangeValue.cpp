// Unicode ranges read from property values (the text layer's set type, given a values-layer entry).
#include "ekcommon/text/EKUnicodeRange.h"

#include "ekcommon/values/EKValue.h"

namespace EKCommonNS {

bool EKUnicodeRange::parseUnicodeRange(const EKValue& value) {
  if (value.isName() && value.getNameValue() == EKN_all) {
    fullRange();
    return true;
  }
  return parseUnicodeRange(value.toQuotedString(static_cast<EKUtil::QuoteMode>(7)));
}

} // namespace EKCommonNS
