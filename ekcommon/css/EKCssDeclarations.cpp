#include "ekcommon/css/EKCssDeclarations.h"

#include "ekcommon/css/internal/EKCssRulesImpl.h"

#include <algorithm>

namespace EKCommonNS {

EKCssDeclarations::~EKCssDeclarations() = default;

std::vector<EKCssDeclaration>& EKCssDeclarations::ownList() {
  if (!m_list) {
    m_list = std::make_shared<std::vector<EKCssDeclaration>>();
    m_list->reserve(8);
  } else if (m_list.use_count() > 1) {
    m_list = std::make_shared<std::vector<EKCssDeclaration>>(*m_list);
  }
  return *m_list;
}

void EKCssDeclarations::append(const EKCssDeclaration& declaration) { ownList().push_back(declaration); }

void EKCssDeclarations::append(EKCssDeclaration&& declaration) { ownList().push_back(std::move(declaration)); }

EKCssDeclarations EKCssDeclarations::filtered(bool important) const {
  const auto differs = [important](const EKCssDeclaration& d) { return d.isImportant() != important; };
  if (std::none_of(begin(), end(), differs)) {
    EKCssDeclarations copy(*this);
    copy.m_errorCode = 0;
    return copy;
  }
  EKCssDeclarations copy(m_sourceId);
  for (const EKCssDeclaration& declaration : *this) {
    if (declaration.isImportant() == important)
      copy.append(declaration);
  }
  return copy;
}

UnicodeString EKCssDeclarations::getBaseUri(const EKCssRules* rules) const {
  const EKCssRulesImpl* impl = ekCast<const EKCssRulesImpl>(rules);
  const EKCssSource* source = impl ? impl->getSource(m_sourceId) : nullptr;
  return source ? source->baseUri : UnicodeString();
}

UnicodeString EKCssDeclarations::getInputUri(const EKCssRules* rules) const {
  const EKCssRulesImpl* impl = ekCast<const EKCssRulesImpl>(rules);
  const EKCssSource* source = impl ? impl->getSource(m_sourceId) : nullptr;
  return source ? source->inputUri : UnicodeString();
}

} // namespace EKCommonNS
