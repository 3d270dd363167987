// One @page rule as getPageRules() hands it to a host: for one page selector and one importance,
// the page selector, its stored selector record, the page's declarations and the nested
// margin-box and note blocks. The declarations point into the rules object that made the rule.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/EKCssPageInnerRules.h"
#include "ekcommon/css/EKCssPageSelector.h"
#include "ekcommon/css/EKCssSelector.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageRule {
public:
  EKCssPageRule() = default;
  EKCssPageRule(EKCssPageSelector pageSelector, EKCssSelector selector,
                std::vector<const EKCssDeclarations*> declarations, EKCssPageInnerRules innerRules);

  const EKCssPageSelector& getPageSelector() const { return m_pageSelector; }
  // The stored record: precedence, specificity, source order and the selector as compounds.
  const EKCssSelector* getSelector() const { return &m_selector; }
  // The page's own declaration lists (one per stored rule: its normal or its important ones).
  const std::vector<const EKCssDeclarations*>* getPageDeclarations() const { return &m_declarations; }
  // The nested blocks; the important entry of a page rule has none, they go with the normal one.
  const EKCssPageInnerRules* getInnerRules() const { return &m_innerRules; }

private:
  EKCssPageSelector m_pageSelector;
  EKCssSelector m_selector;
  std::vector<const EKCssDeclarations*> m_declarations;
  EKCssPageInnerRules m_innerRules;
};

} // namespace EKCommonNS
