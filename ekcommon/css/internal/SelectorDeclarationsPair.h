// One stored rule: a selector record and the declarations that go with it, and for a page rule the
// blocks nested in it. Rule lists share pairs through EKPtr, so a pair removed from a list stays
// alive while it is kept elsewhere.
#pragma once

#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/EKCssSelector.h"

#include <map>
#include <optional>
#include <vector>

namespace EKCommonNS {

class EKCOMMON_API SelectorDeclarationsPair : public EKRCObject {
  EK_TYPE_IDENTITY(SelectorDeclarationsPair, EKRCObject)
public:
  // The margin-box, @footnote and @sidenote blocks of a page rule by name, each name's blocks in
  // the order written.
  using PageBlocks = std::map<EKName, std::vector<EKCssDeclarations>>;

  SelectorDeclarationsPair(const EKCssSelector& selector, EKCssDeclarations declarations)
      : m_selector(selector), m_declarations(std::move(declarations)) {}

  const EKCssSelector& getSelector() const { return m_selector; }
  EKCssSelector& getSelector() { return m_selector; }
  const EKCssDeclarations& getDeclarations() const { return m_declarations; }
  EKCssDeclarations& getDeclarations() { return m_declarations; }

  // The nested blocks of a page rule; null for every other rule.
  const PageBlocks* getPageBlocks() const { return m_pageBlocks ? &*m_pageBlocks : nullptr; }
  void setPageBlocks(PageBlocks blocks) { m_pageBlocks = std::move(blocks); }
  // Adds offset to the source ids of the nested blocks (when a sheet is merged into another).
  void shiftPageSourceIds(int32_t offset);

private:
  EKCssSelector m_selector;
  EKCssDeclarations m_declarations;
  std::optional<PageBlocks> m_pageBlocks;
};

} // namespace EKCommonNS
