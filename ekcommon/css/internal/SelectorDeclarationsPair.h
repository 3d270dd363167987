// One stored rule: a selector record and the declarations that go with it. Rule lists share pairs
// through EKPtr, so a pair removed from a list stays alive while it is kept elsewhere.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/EKCssSelector.h"

namespace EKCommonNS {

class EKCOMMON_API SelectorDeclarationsPair : public EKRCObject {
  EK_TYPE_IDENTITY(SelectorDeclarationsPair, EKRCObject)
public:
  SelectorDeclarationsPair(const EKCssSelector& selector, EKCssDeclarations declarations)
      : m_selector(selector), m_declarations(std::move(declarations)) {}

  const EKCssSelector& getSelector() const { return m_selector; }
  EKCssSelector& getSelector() { return m_selector; }
  const EKCssDeclarations& getDeclarations() const { return m_declarations; }
  EKCssDeclarations& getDeclarations() { return m_declarations; }

private:
  EKCssSelector m_selector;
  EKCssDeclarations m_declarations;
};

} // namespace EKCommonNS
