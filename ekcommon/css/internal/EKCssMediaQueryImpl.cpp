#include "ekcommon/css/internal/EKCssMediaQueryImpl.h"

#include "ekcommon/css/internal/EKCssScanner.h"

namespace EKCommonNS {

EKCssMediaQueryImpl::EKCssMediaQueryImpl() : m_mediaType(EKN_all) {}

bool EKCssMediaQueryImpl::matchesType(EKName type) const { return m_mediaType == EKN_all || m_mediaType == type; }

UnicodeString EKCssMediaQueryImpl::toString() const {
  UnicodeString text;
  if (m_negated)
    text.append(u"not ");
  else if (m_mediaType == EKName(UnicodeString(u"only")) || m_mediaType == EKName(UnicodeString(u"not")))
    text.append(u"only "); // else the type would read as the keyword
  // "all" is left out before a feature, where it was implied.
  const bool typeWritten = m_mediaType != EKN_all || m_features.empty() || m_negated;
  if (typeWritten)
    text.append(cssIdentifier(m_mediaType.toString()));
  for (const Feature& feature : m_features) {
    if (typeWritten || &feature != &m_features.front())
      text.append(u" and ");
    text.append(u'(').append(cssIdentifier(feature.first.toString()));
    if (!feature.second.isEmpty())
      text.append(u": ").append(feature.second);
    text.append(u')');
  }
  return text;
}

} // namespace EKCommonNS
