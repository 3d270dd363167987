#include "ekcommon/css/EKCssDeclarations.h"

#include "ekcommon/css/internal/EKCssRulesImpl.h"

#include <algorithm>

namespace EKCommonNS {

EKCssDeclarations::EKCssDeclarations(const EKCssDeclarations& other)
    : m_list(other.m_list ? std::make_unique<std::vector<EKCssDeclaration>>(*other.m_list) : nullptr),
      m_sourceId(other.m_sourceId), m_errorCode(other.getErrorCode()) {}

EKCssDeclarations& EKCssDeclarations::operator=(const EKCssDeclarations& other) {
  if (this != &other)
    *this = EKCssDeclarations(other);
  return *this;
}

EKCssDeclarations::EKCssDeclarations(EKCssDeclarations&& other) noexcept
    : m_list(std::move(other.m_list)), m_sourceId(other.m_sourceId), m_errorCode(other.getErrorCode()) {}

EKCssDeclarations& EKCssDeclarations::operator=(EKCssDeclarations&& other) noexcept {
  m_list = std::move(other.m_list);
  m_sourceId = other.m_sourceId;
  setErrorCode(other.getErrorCode());
  return *this;
}

EKCssDeclarations::~EKCssDeclarations() = default;

void EKCssDeclarations::append(const EKCssDeclaration& declaration) { append(EKCssDeclaration(declaration)); }

void EKCssDeclarations::append(EKCssDeclaration&& declaration) {
  if (!m_list) {
    m_list = std::make_unique<std::vector<EKCssDeclaration>>();
    m_list->reserve(8);
  }
  m_list->push_back(std::move(declaration));
}

bool EKCssDeclarations::hasMixedImportance() const {
  const auto important = [](const EKCssDeclaration& d) { return d.isImportant(); };
  return !empty() && std::any_of(begin(), end(), important) && !std::all_of(begin(), end(), important);
}

EKCssDeclarations EKCssDeclarations::filtered(bool important) const {
  const auto differs = [important](const EKCssDeclaration& d) { return d.isImportant() != important; };
  if (std::none_of(begin(), end(), differs)) {
    EKCssDeclarations copy(*this);
    copy.setErrorCode(0);
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
