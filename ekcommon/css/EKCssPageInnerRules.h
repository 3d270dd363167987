// The blocks nested in one @page rule (margin boxes, @footnote, @sidenote) by name, and the
// iterator over them in name order.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/css/EKCssPageInnerRule.h"
#include "ekcommon/names/EKName.h"

#include <map>
#include <memory>
#include <utility>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageInnerRules {
public:
  // The inner rules are never changed once made, so copies of this map share them.
  using Map = std::map<EKName, std::shared_ptr<const EKCssPageInnerRule>>;

  EKCssPageInnerRules() = default;
  explicit EKCssPageInnerRules(Map rules) : m_rules(std::move(rules)) {}

  // The inner rule of that name; null when the page rule has none.
  const EKCssPageInnerRule* find(EKName name) const;
  int size() const { return static_cast<int>(m_rules.size()); }
  bool empty() const { return m_rules.empty(); }
  const Map& getMap() const { return m_rules; }

private:
  Map m_rules;
};

// Walks the inner rules in name-number order. The rules must outlive the iterator.
class EKCOMMON_API EKCssPageInnerRulesIterator {
public:
  // `rules` may be null: the iteration is then empty.
  explicit EKCssPageInnerRulesIterator(const EKCssPageInnerRules* rules);
  // The next name and inner rule; (EKName(), nullptr) after the last.
  std::pair<EKName, const EKCssPageInnerRule*> next();

private:
  const EKCssPageInnerRules::Map* m_map;
  EKCssPageInnerRules::Map::const_iterator m_pos;
};

} // namespace EKCommonNS
