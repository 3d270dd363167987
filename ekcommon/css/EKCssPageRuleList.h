// The @page rules of a rules object in cascade order, as getPageRules() returns them: the later
// a rule, the more it wins. The list holds copies; only the declarations inside point into the
// rules object, and stay valid as long as it lives.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/css/EKCssPageRule.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageRuleList : public EKRCObject {
  EK_TYPE_IDENTITY(EKCssPageRuleList, EKRCObject)
public:
  explicit EKCssPageRuleList(std::vector<EKCssPageRule> rules) : m_rules(std::move(rules)) {}

  // The rule at pos; pos must lie in [0, size()).
  const EKCssPageRule& at(int pos) const { return m_rules[static_cast<size_t>(pos)]; }
  int size() const { return static_cast<int>(m_rules.size()); }
  bool empty() const { return m_rules.empty(); }
  std::vector<EKCssPageRule>::const_iterator begin() const { return m_rules.begin(); }
  std::vector<EKCssPageRule>::const_iterator end() const { return m_rules.end(); }

private:
  std::vector<EKCssPageRule> m_rules;
};

} // namespace EKCommonNS
