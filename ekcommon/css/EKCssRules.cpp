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

unsigned short EKCssRules::applyRules(EKElement* element, EKCssPropertyCallback property, EKName styleAttribute) {
  return applyRules(element, property, nullptr, nullptr, nullptr, nullptr, &styleAttribute);
}

unsigned short EKCssRules::applyStyleAttributes(EKElement* element, EKCssPropertyCallback property,
                                                const UnicodeString& styleText) {
  return applyStyleAttributes(element, property, nullptr, nullptr, styleText);
}

} // namespace EKCommonNS
