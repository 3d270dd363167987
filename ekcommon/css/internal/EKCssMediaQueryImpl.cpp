#include "ekcommon/css/internal/EKCssMediaQueryImpl.h"

namespace EKCommonNS {

EKCssMediaQueryImpl::EKCssMediaQueryImpl() : m_mediaType(EKN_all) {}

bool EKCssMediaQueryImpl::matchesType(EKName type) const { return m_mediaType == EKN_all || m_mediaType == type; }

UnicodeString EKCssMediaQueryImpl::toString() const {
  UnicodeString text;
  if (m_negated)
    text.append(u"not ");
  // "all" is left out before a feature, where it was implied.
  const bool typeWritten = m_mediaType != EKN_all || m_features.empty() || m_negated;
  if (typeWritten)
    text.append(m_mediaType.toString());
  for (const Feature& feature : m_features) {
    if (typeWritten || &feature != &m_features.front())
      text.append(u" and ");
    text.append(u'(').append(feature.first.toString());
    if (!feature.second.isEmpty())
      text.append(u": ").append(feature.second);
    text.append(u')');
  }
  return text;
}

} // namespace EKCommonNS
