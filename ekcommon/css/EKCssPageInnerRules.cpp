#include "ekcommon/css/EKCssPageInnerRules.h"

namespace EKCommonNS {

const EKCssPageInnerRule* EKCssPageInnerRules::find(EKName name) const {
  auto found = m_rules.find(name);
  return found == m_rules.end() ? nullptr : found->second.get();
}

EKCssPageInnerRulesIterator::EKCssPageInnerRulesIterator(const EKCssPageInnerRules* rules)
    : m_map(rules ? &rules->getMap() : nullptr) {
  if (m_map)
    m_pos = m_map->begin();
}

std::pair<EKName, const EKCssPageInnerRule*> EKCssPageInnerRulesIterator::next() {
  if (!m_map || m_pos == m_map->end())
    return {EKName(), nullptr};
  const auto& entry = *m_pos++;
  return {entry.first, entry.second.get()};
}

} // namespace EKCommonNS
