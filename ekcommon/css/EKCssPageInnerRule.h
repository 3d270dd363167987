// A block nested in an @page rule, a margin box such as @top-center or an @footnote or
// @sidenote area, as a host reads it from EKCssPageRule::getInnerRules().
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/EKCssSelector.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageInnerRule {
public:
  virtual ~EKCssPageInnerRule() = default;

  // The record of the block: the page rule's selector, with the block's name as its at-rule and
  // the normal precedence of the sheet the block comes from.
  virtual const EKCssSelector* getSelector() const = 0;
  // The declarations of each block of this name in the page rule, in the order written; their
  // importance is that of each declaration.
  virtual const std::vector<const EKCssDeclarations*>* getDeclarations() const = 0;

protected:
  EKCssPageInnerRule() = default;
  EKCssPageInnerRule(const EKCssPageInnerRule&) = default;
  EKCssPageInnerRule& operator=(const EKCssPageInnerRule&) = default;
};

} // namespace EKCommonNS
