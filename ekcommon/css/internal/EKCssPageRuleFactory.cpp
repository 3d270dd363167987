#include "ekcommon/css/internal/EKCssPageRuleFactory.h"

#include "ekcommon/css/internal/EKCssPageInnerRuleImpl.h"

namespace EKCommonNS {

EKPtr<EKCssPageRuleList> EKCssPageRuleFactory::inCascadeOrder(const EKCssRuleList& pageRules) {
  std::vector<EKCssPageRule> rules;
  rules.reserve(static_cast<size_t>(pageRules.size()));
  for (int32_t pos : pageRules.sortedIndex())
    rules.push_back(make(*pageRules.at(pos), static_cast<int32_t>(rules.size())));
  return EKPtr<EKCssPageRuleList>(new EKCssPageRuleList(std::move(rules)));
}

EKCssPageRule EKCssPageRuleFactory::make(const SelectorDeclarationsPair& pair, int32_t order) {
  const EKCssSelector& selector = pair.getSelector();
  EKCssPageInnerRules::Map inner;
  if (const SelectorDeclarationsPair::PageBlocks* blocks = pair.getPageBlocks()) {
    for (const auto& entry : *blocks) {
      EKCssSelector blockSelector = selector;
      blockSelector.atRule = static_cast<uint32_t>(static_cast<EKNameEnum>(entry.first));
      std::vector<const EKCssDeclarations*> declarations;
      for (const EKCssDeclarations& block : entry.second)
        declarations.push_back(&block);
      inner.emplace(entry.first, std::make_shared<EKCssPageInnerRuleImpl>(std::move(blockSelector),
                                                                          std::move(declarations)));
    }
  }
  return EKCssPageRule(EKCssPageSelector::fromSelector(selector, order), selector, {&pair.getDeclarations()},
                       EKCssPageInnerRules(std::move(inner)));
}

} // namespace EKCommonNS
