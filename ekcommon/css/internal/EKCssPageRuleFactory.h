// Makes the page rules a host reads (EKCssPageRule) from the stored page-rule pairs of a rules
// object. Not installed.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/css/EKCssPageRuleList.h"
#include "ekcommon/css/internal/EKCssRuleList.h"

namespace EKCommonNS {

class EKCOMMON_API EKCssPageRuleFactory {
public:
  // One page rule per stored pair, in cascade order; each page selector's order number is its
  // position in the list.
  static EKPtr<EKCssPageRuleList> inCascadeOrder(const EKCssRuleList& pageRules);
  // The page rule of one stored pair: the page selector rebuilt from the record, the record, the
  // pair's declarations and one inner rule per nested block name.
  static EKCssPageRule make(const SelectorDeclarationsPair& pair, int32_t order);
};

} // namespace EKCommonNS
