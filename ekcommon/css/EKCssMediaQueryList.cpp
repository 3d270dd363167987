#include "ekcommon/css/EKCssMediaQueryList.h"

namespace EKCommonNS {

bool EKCssMediaQueryList::matches(EKCssMediaMatch match, void* userData) const {
  if (m_queries.empty())
    return true;
  for (const EKPtr<EKCssMediaQuery>& query : m_queries) {
    // Plain "all" holds for every medium.
    if (query->getMediaType() == EKN_all && !query->isNegated() && query->getFeatures().empty())
      return true;
    const bool answer = match && match(query.get(), userData);
    if (answer != query->isNegated())
      return true;
  }
  return false;
}

UnicodeString EKCssMediaQueryList::toString() const {
  UnicodeString text;
  for (const EKPtr<EKCssMediaQuery>& query : m_queries) {
    if (!text.isEmpty())
      text.append(u", ");
    text.append(query->toString());
  }
  return text;
}

} // namespace EKCommonNS
