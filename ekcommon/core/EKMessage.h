// A message formatted from a fixed pattern with up to five string arguments {0} to {4}, by ICU's
// MessageFormat rules (a literal apostrophe is written twice). A pattern that cannot be
// formatted gives the empty message.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

namespace EKCommonNS {

class EKCOMMON_API EKMessage {
public:
  EKMessage(const UnicodeString& pattern, const UnicodeString& a0 = UnicodeString(),
            const UnicodeString& a1 = UnicodeString(), const UnicodeString& a2 = UnicodeString(),
            const UnicodeString& a3 = UnicodeString(), const UnicodeString& a4 = UnicodeString());
  // The narrow pattern is UTF-8.
  EKMessage(const char* pattern, const UnicodeString& a0 = UnicodeString(), const UnicodeString& a1 = UnicodeString(),
            const UnicodeString& a2 = UnicodeString(), const UnicodeString& a3 = UnicodeString(),
            const UnicodeString& a4 = UnicodeString());

  const UnicodeString& toString() const { return m_text; }
  operator const UnicodeString&() const { return m_text; }

private:
  UnicodeString m_text;
};

} // namespace EKCommonNS
