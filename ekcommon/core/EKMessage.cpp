#include "ekcommon/core/EKMessage.h"

#include <unicode/msgfmt.h>

namespace EKCommonNS {

EKMessage::EKMessage(const UnicodeString& pattern, const UnicodeString& a0, const UnicodeString& a1,
                     const UnicodeString& a2, const UnicodeString& a3, const UnicodeString& a4) {
  const icu::Formattable arguments[] = {a0, a1, a2, a3, a4};
  UErrorCode status = U_ZERO_ERROR;
  icu::MessageFormat::format(pattern, arguments, 5, m_text, status);
  if (U_FAILURE(status))
    m_text.remove();
}

EKMessage::EKMessage(const char* pattern, const UnicodeString& a0, const UnicodeString& a1, const UnicodeString& a2,
                     const UnicodeString& a3, const UnicodeString& a4)
    : EKMessage(UnicodeString::fromUTF8(pattern ? pattern : ""), a0, a1, a2, a3, a4) {}

} // namespace EKCommonNS
