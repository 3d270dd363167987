#include "ekcommon/css/internal/EKCssRuleList.h"

#include "ekcommon/css/EKCascadingOrigin.h"

#include <algorithm>
#include <numeric>

namespace EKCommonNS {

void EKCssRuleList::append(EKPtr<SelectorDeclarationsPair> pair) {
  m_rules.push_back(std::move(pair));
  m_indexCurrent = false;
  ++m_version;
}

const std::vector<int32_t>& EKCssRuleList::sortedIndex() const {
  if (!m_indexCurrent) {
    m_index.resize(m_rules.size());
    std::iota(m_index.begin(), m_index.end(), 0);
    std::sort(m_index.begin(), m_index.end(), [this](int32_t a, int32_t b) {
      return EKCssSelector::compare(m_rules[static_cast<size_t>(a)]->getSelector(),
                                    m_rules[static_cast<size_t>(b)]->getSelector()) < 0;
    });
    m_indexCurrent = true;
  }
  return m_index;
}

void EKCssRuleList::removeOrigin(int origin, std::vector<EKPtr<SelectorDeclarationsPair>>& retired) {
  auto kept = std::stable_partition(m_rules.begin(), m_rules.end(), [origin](const auto& pair) {
    return !ekPrecedenceOfOrigin(pair->getSelector().precedence, origin);
  });
  if (kept == m_rules.end())
    return;
  std::move(kept, m_rules.end(), std::back_inserter(retired));
  m_rules.erase(kept, m_rules.end());
  m_indexCurrent = false;
  ++m_version;
}

void EKCssRuleList::appendRenumbered(const EKCssRuleList& other, int32_t sourceOffset, int32_t orderOffset) {
  m_rules.reserve(m_rules.size() + other.m_rules.size());
  for (const auto& pair : other.m_rules) {
    EKPtr<SelectorDeclarationsPair> copy(new SelectorDeclarationsPair(*pair));
    EKCssDeclarations& declarations = copy->getDeclarations();
    if (declarations.getSourceId() >= 0)
      declarations.setSourceId(declarations.getSourceId() + sourceOffset);
    copy->getSelector().sourceOrder += orderOffset;
    copy->shiftPageSourceIds(sourceOffset);
    m_rules.push_back(std::move(copy));
  }
  m_indexCurrent = false;
  ++m_version;
}

EKPtr<EKCssDeclarationsList> EKCssRuleList::declarationsInOrder() const {
  std::vector<const EKCssDeclarations*> entries;
  entries.reserve(m_rules.size());
  for (int32_t pos : sortedIndex())
    entries.push_back(&m_rules[static_cast<size_t>(pos)]->getDeclarations());
  return EKPtr<EKCssDeclarationsList>(new EKCssDeclarationsList(std::move(entries)));
}

} // namespace EKCommonNS
