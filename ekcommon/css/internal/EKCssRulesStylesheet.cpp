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

void EKCssRulesStylesheet::store(EKCssRuleList& list, const EKCssSelector& selector, EKCssDeclarations* parts,
                                 bool last) {
  for (bool important : {false, true}) {
    EKCssDeclarations& part = parts[important ? 1 : 0];
    if (part.empty())
      continue;
    EKPtr<SelectorDeclarationsPair> pair(
        new SelectorDeclarationsPair(selector, last ? std::move(part) : EKCssDeclarations(part)));
    pair->getSelector().precedence = ekCascadePrecedence(m_origin, important);
    list.append(std::move(pair));
  }
}

void EKCssRulesStylesheet::split(EKCssDeclarations&& declarations, EKCssDeclarations* parts) {
  // Most blocks are all normal or all important: they move whole.
  if (declarations.hasMixedImportance()) {
    parts[0] = declarations.filtered(false);
    parts[1] = declarations.filtered(true);
  } else {
    const bool important = !declarations.empty() && declarations.at(0).isImportant();
    parts[important ? 1 : 0] = std::move(declarations);
  }
}

void EKCssRulesStylesheet::storeRuleSet(const std::vector<EKCssSelector>& selectors, EKCssDeclarations declarations,
                                        int32_t ruleNumber) {
  EKCssDeclarations parts[2];
  split(std::move(declarations), parts);
  for (size_t i = 0; i < selectors.size(); ++i) {
    EKCssSelector selector = selectors[i];
    selector.finish();
    selector.atRule = 0;
    selector.sourceOrder = ruleNumber;
    store(m_styleRules, selector, parts, i + 1 == selectors.size());
  }
}

void EKCssRulesStylesheet::storeBlock(EKCssRuleList& list, const char16_t* atRule, EKCssDeclarations declarations,
                                      int32_t ruleNumber) {
  EKCssSelector selector;
  selector.atRule = static_cast<uint32_t>(EKName(UnicodeString(atRule)));
  selector.sourceOrder = ruleNumber;
  EKCssDeclarations parts[2];
  split(std::move(declarations), parts);
  store(list, selector, parts, true);
}

void EKCssRulesStylesheet::storeFontFace(EKCssDeclarations declarations, int32_t ruleNumber) {
  storeBlock(m_fontFaces, u"font-face", std::move(declarations), ruleNumber);
}

void EKCssRulesStylesheet::storeScriptFont(EKCssDeclarations declarations, int32_t ruleNumber) {
  storeBlock(m_scriptFonts, u"script-font", std::move(declarations), ruleNumber);
}

void EKCssRulesStylesheet::storePageRule(const std::vector<EKCssSelector>& selectors, EKCssDeclarations declarations,
                                         SelectorDeclarationsPair::PageBlocks blocks, int32_t ruleNumber) {
  EKCssDeclarations parts[2];
  split(std::move(declarations), parts);
  for (size_t i = 0; i < selectors.size(); ++i) {
    const bool last = i + 1 == selectors.size();
    EKCssSelector selector = selectors[i];
    selector.sourceOrder = ruleNumber;
    selector.precedence = ekCascadePrecedence(m_origin, false);
    EKPtr<SelectorDeclarationsPair> pair(
        new SelectorDeclarationsPair(selector, last ? std::move(parts[0]) : EKCssDeclarations(parts[0])));
    pair->setPageBlocks(last ? std::move(blocks) : blocks);
    m_pageRules.append(std::move(pair));
    if (!parts[1].empty()) {
      EKPtr<SelectorDeclarationsPair> important(
          new SelectorDeclarationsPair(selector, last ? std::move(parts[1]) : EKCssDeclarations(parts[1])));
      important->getSelector().precedence = ekCascadePrecedence(m_origin, true);
      m_pageRules.append(std::move(important));
    }
  }
}

void EKCssRulesStylesheet::storeCounterStyle(EKName name, EKCssDeclarations declarations, int32_t ruleNumber) {
  storeBlock(m_counterStyles[name], u"counter-style", std::move(declarations), ruleNumber);
}

} // namespace EKCommonNS
