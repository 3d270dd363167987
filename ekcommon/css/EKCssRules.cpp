#include "ekcommon/css/EKCssRules.h"

#include "ekcommon/css/internal/EKCssRulesStylesheet.h"

namespace EKCommonNS {

EKPtr<EKCssRules> EKCssRules::createCssRules(EKCascadingOrigin origin, const UnicodeString& setName, bool alternate,
                                             EKCssMediaMatch mediaMatch, void* userData) {
  return EKPtr<EKCssRules>(new EKCssRulesStylesheet(origin, setName, alternate, mediaMatch, userData));
}

EKPtr<EKCssRules> EKCssRules::createRuleMap(const UnicodeString& setName) {
  return EKPtr<EKCssRules>(new EKCssRulesImpl(setName));
}

} // namespace EKCommonNS
