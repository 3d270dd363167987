// A list of stored rules in insertion order with an index that puts them in cascade order. The
// index is rebuilt only when a query finds it stale after insertions or removals.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/css/EKCssDeclarationsList.h"
#include "ekcommon/css/internal/SelectorDeclarationsPair.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssRuleList {
public:
  void append(EKPtr<SelectorDeclarationsPair> pair);
  int size() const { return static_cast<int>(m_rules.size()); }
  bool empty() const { return m_rules.empty(); }
  // The rule at an insertion position in [0, size()).
  const SelectorDeclarationsPair* at(int pos) const { return m_rules[static_cast<size_t>(pos)].get(); }
  // Insertion positions, ascending in cascade order: the last one wins.
  const std::vector<int32_t>& sortedIndex() const;
  // Grows with every change of the list, so that indexes built over it can tell they are stale.
  uint64_t version() const { return m_version; }

  // Moves every rule whose precedence belongs to origin to retired, keeping the others' order.
  void removeOrigin(int origin, std::vector<EKPtr<SelectorDeclarationsPair>>& retired);
  // Appends copies of other's rules with sourceOffset added to their source ids and orderOffset
  // to their source order numbers (those of a page rule's nested blocks too).
  void appendRenumbered(const EKCssRuleList& other, int32_t sourceOffset, int32_t orderOffset);
  // The declarations of every rule, in cascade order.
  EKPtr<EKCssDeclarationsList> declarationsInOrder() const;

private:
  std::vector<EKPtr<SelectorDeclarationsPair>> m_rules;
  mutable std::vector<int32_t> m_index;
  mutable bool m_indexCurrent = true;
  uint64_t m_version = 0;
};

} // namespace EKCommonNS
