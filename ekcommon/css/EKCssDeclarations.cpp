#include "ekcommon/css/EKCssDeclarations.h"

#include "ekcommon/css/internal/EKCssRulesImpl.h"

namespace EKCommonNS {

EKCssDeclarations::EKCssDeclarations(const EKCssDeclarations& other)
    : m_list(other.m_list ? std::make_unique<std::vector<EKCssDeclaration>>(*other.m_list) : nullptr),
      m_sourceId(other.m_sourceId), m_errorCode(other.m_errorCode) {}

EKCssDeclarations& EKCssDeclarations::operator=(const EKCssDeclarations& other) {
  if (this != &other)
    *this = EKCssDeclarations(other);
  return *this;
}

EKCssDeclarations::~EKCssDeclarations() = default;

void EKCssDeclarations::append(const EKCssDeclaration& declaration) {
  if (!m_list)
    m_list = std::make_unique<std::vector<EKCssDeclaration>>();
  m_list->push_back(declaration);
}

EKCssDeclarations EKCssDeclarations::filtered(bool important) const {
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
