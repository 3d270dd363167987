#include "ekcommon/core/EKCStr.h"

#include <cstring>

namespace EKCommonNS {

namespace {
// Narrow strings are UTF-8 unless a code page is named: never the process locale's converter.
const char* effectiveCodePage(const char* codePage) {
  return codePage ? codePage : "UTF-8";
}
} // namespace

EKCStr::EKCStr(const UnicodeString& text) : UnicodeString(text) {}

EKCStr::EKCStr(const char* data, const char* codePage)
    : UnicodeString(data ? data : "", effectiveCodePage(codePage)), m_narrow(data ? data : "") {
  if (codePage)
    m_codePage = codePage;
  m_snapshot = *this;
}

bool EKCStr::narrowIsCurrent(const char* codePage) const {
  if (m_snapshot != *this)
    return false;
  if (!codePage || !m_codePage)
    return !codePage && !m_codePage;
  return std::strcmp(codePage, m_codePage->c_str()) == 0;
}

const char* EKCStr::c_str(const char* codePage) {
  if (!narrowIsCurrent(codePage)) {
    const char* cp = effectiveCodePage(codePage);
    const int32_t needed = extract(0, length(), nullptr, 0, cp);
    m_narrow.assign(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
      extract(0, length(), &m_narrow[0], static_cast<uint32_t>(needed) + 1, cp);
    if (codePage)
      m_codePage = codePage;
    else
      m_codePage.reset();
    m_snapshot = *this;
  }
  return m_narrow.c_str();
}

} // namespace EKCommonNS
