// The rules of one parsed style sheet: what the parser fills, with the origin, set name and
// alternate flag the host created it with and the callback that decides its media queries.
#pragma once

#include "ekcommon/css/internal/EKCssRulesImpl.h"

namespace EKCommonNS {

class EKCOMMON_API EKCssRulesStylesheet : public EKCssRulesImpl {
  EK_TYPE_IDENTITY(EKCssRulesStylesheet, EKCssRulesImpl)
public:
  EKCssRulesStylesheet(EKCascadingOrigin origin, const UnicodeString& setName, bool alternate,
                       EKCssMediaMatch mediaMatch, void* userData)
      : EKCssRulesImpl(UnicodeString()), m_mediaMatch(mediaMatch), m_mediaUserData(userData), m_origin(origin),
        m_sheetSetName(setName), m_alternate(alternate) {}

  int getOrigin() const override { return m_origin; }
  UnicodeString getSheetSetName() const override { return m_sheetSetName; }
  bool isAlternate() const override { return m_alternate; }
  EKCssMediaMatch getMediaMatch() const { return m_mediaMatch; }
  void* getMediaUserData() const { return m_mediaUserData; }

  // Records a parsed sheet with this sheet's origin and set name and returns its source id.
  int32_t addSource(const UnicodeString& baseUri, const UnicodeString& inputUri, std::vector<int32_t> lineStarts,
                    int32_t startLine, int32_t startColumn);

  // Stores a rule set once per selector: its normal declarations with the origin's normal
  // precedence and its important ones with the important precedence, each only when there are
  // some. Every stored pair takes ruleNumber as its source order; specificity is computed here.
  void storeRuleSet(const std::vector<EKCssSelector>& selectors, EKCssDeclarations declarations,
                    int32_t ruleNumber);
  // Stores the declarations of an at-rule block the same way, with no selector.
  void storeFontFace(EKCssDeclarations declarations, int32_t ruleNumber);
  void storeScriptFont(EKCssDeclarations declarations, int32_t ruleNumber);
  void storeCounterStyle(EKName name, EKCssDeclarations declarations, int32_t ruleNumber);
  // Stores a page rule once per page selector record (specificity already set): a normal pair,
  // kept even when it has no declarations since the page rule and its nested blocks apply
  // anyway, holding the nested blocks; and a pair of the important declarations when there are
  // some.
  void storePageRule(const std::vector<EKCssSelector>& selectors, EKCssDeclarations declarations,
                     SelectorDeclarationsPair::PageBlocks blocks, int32_t ruleNumber);

private:
  // Stores parts[0] (normal) and parts[1] (important) under the selector, each when not empty;
  // the `last` selector of a group takes them over, the others get copies.
  void store(EKCssRuleList& list, const EKCssSelector& selector, EKCssDeclarations* parts, bool last);
  // Moves the declarations into parts[0] (normal) and parts[1] (important).
  static void split(EKCssDeclarations&& declarations, EKCssDeclarations* parts);
  void storeBlock(EKCssRuleList& list, const char16_t* atRule, EKCssDeclarations declarations, int32_t ruleNumber);

  EKCssMediaMatch m_mediaMatch;
  void* m_mediaUserData;
  EKCascadingOrigin m_origin;
  UnicodeString m_sheetSetName;
  bool m_alternate;
};

} // namespace EKCommonNS
