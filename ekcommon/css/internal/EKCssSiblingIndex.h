// Positions of elements among their element siblings, for :nth-child() and its relatives.
// Counting siblings one by one costs in proportion to their number for every element, which is
// quadratic over a long list of children; this keeps, per thread, the positions of the children
// of the parents most recently asked about and answers from them while the document's structure
// version is unchanged. The positions of a parent are worked out only after a few lookups under
// one version, so a tree that changes between elements costs no more than counting. Not
// installed.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <cstdint>

namespace EKCommonNS {

class EKElement;

class EKCOMMON_API EKCssSiblingIndex {
public:
  // 1-based positions among the element children of the parent, all of them and those with the
  // element's namespace and local name, with the totals of both.
  struct Position {
    int32_t index;
    int32_t count;
    int32_t typeIndex;
    int32_t typeCount;
  };

  // False when the caller should count siblings itself: the element has no parent or no
  // document, its parent is still loading, or its parent's positions are not worked out yet.
  static bool lookup(const EKElement* element, Position& out);
};

} // namespace EKCommonNS
