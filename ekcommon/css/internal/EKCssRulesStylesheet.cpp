#include "ekcommon/css/internal/EKCssRulesStylesheet.h"

namespace EKCommonNS {

int32_t EKCssRulesStylesheet::addSource(const UnicodeString& baseUri, const UnicodeString& inputUri,
                                        std::vector<int32_t> lineStarts, int32_t startLine, int32_t startColumn) {
  EKCssSource source;
  source.baseUri = baseUri;
  source.inputUri = inputUri;
  source.lineStarts = std::move(lineStarts);
  source.startLine = startLine;
  source.startColumn = startColumn;
  source.origin = m_origin;
  source.setName = m_sheetSetName;
  return addSourceRecord(std::move(source));
}

void EKCssRulesStylesheet::store(EKCssRuleList& list, const EKCssSelector& selector, const EKCssDeclarations* parts) {
  for (bool important : {false, true}) {
    const EKCssDeclarations& part = parts[important ? 1 : 0];
    if (part.empty())
      continue;
    EKPtr<SelectorDeclarationsPair> pair(new SelectorDeclarationsPair(selector, part));
    pair->getSelector().precedence = ekCascadePrecedence(m_origin, important);
    list.append(std::move(pair));
  }
}

void EKCssRulesStylesheet::storeRuleSet(const std::vector<EKCssSelector>& selectors,
                                        const EKCssDeclarations& declarations, int32_t ruleNumber) {
  // Split once, however many selectors share the block.
  const EKCssDeclarations parts[2] = {declarations.filtered(false), declarations.filtered(true)};
  for (EKCssSelector selector : selectors) {
    selector.finish();
    selector.atRule = 0;
    selector.sourceOrder = ruleNumber;
    store(m_styleRules, selector, parts);
  }
}

void EKCssRulesStylesheet::storeBlock(EKCssRuleList& list, const char16_t* atRule,
                                      const EKCssDeclarations& declarations, int32_t ruleNumber) {
  EKCssSelector selector;
  selector.atRule = static_cast<uint32_t>(EKName(UnicodeString(atRule)));
  selector.sourceOrder = ruleNumber;
  const EKCssDeclarations parts[2] = {declarations.filtered(false), declarations.filtered(true)};
  store(list, selector, parts);
}

void EKCssRulesStylesheet::storeFontFace(const EKCssDeclarations& declarations, int32_t ruleNumber) {
  storeBlock(m_fontFaces, u"font-face", declarations, ruleNumber);
}

void EKCssRulesStylesheet::storeScriptFont(const EKCssDeclarations& declarations, int32_t ruleNumber) {
  storeBlock(m_scriptFonts, u"script-font", declarations, ruleNumber);
}

void EKCssRulesStylesheet::storeCounterStyle(EKName name, const EKCssDeclarations& declarations,
                                             int32_t ruleNumber) {
  storeBlock(m_counterStyles[name], u"counter-style", declarations, ruleNumber);
}

} // namespace EKCommonNS
