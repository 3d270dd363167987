// The inner rule that getPageRules() makes for each name of the blocks nested in a page rule:
// a copy of the block record and pointers to the stored declarations. Not installed.
#pragma once

#include "ekcommon/css/EKCssPageInnerRule.h"

#include <utility>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageInnerRuleImpl final : public EKCssPageInnerRule {
public:
  EKCssPageInnerRuleImpl(EKCssSelector selector, std::vector<const EKCssDeclarations*> declarations)
      : m_selector(std::move(selector)), m_declarations(std::move(declarations)) {}

  const EKCssSelector* getSelector() const override { return &m_selector; }
  const std::vector<const EKCssDeclarations*>* getDeclarations() const override { return &m_declarations; }

private:
  EKCssSelector m_selector;
  std::vector<const EKCssDeclarations*> m_declarations;
};

} // namespace EKCommonNS
