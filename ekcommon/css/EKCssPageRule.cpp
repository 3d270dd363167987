#include "ekcommon/css/EKCssPageRule.h"

namespace EKCommonNS {

EKCssPageRule::EKCssPageRule(EKCssPageSelector pageSelector, EKCssSelector selector,
                             std::vector<const EKCssDeclarations*> declarations, EKCssPageInnerRules innerRules)
    : m_pageSelector(std::move(pageSelector)), m_selector(std::move(selector)),
      m_declarations(std::move(declarations)), m_innerRules(std::move(innerRules)) {}

} // namespace EKCommonNS
