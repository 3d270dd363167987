// Reads the selector list of an @page rule: page names and pseudo-pages (":first", ":left",
// ":nth(2n+1)", ...) into selector records with the specificity of page selectors. Not installed.
#pragma once

#include "ekcommon/css/EKCssSelector.h"
#include "ekcommon/css/internal/EKCssReader.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageSelectorParser {
public:
  explicit EKCssPageSelectorParser(EKCssReader& reader) : m_reader(reader) {}

  // Reads from the token after "@page" up to the '{' that opens the rule's block, which is then
  // the current token. Returns true with one record per selector (one that asks for nothing when
  // none was written). On a bad selector reports the error (936 at the end of the text, 951,
  // 960, 973, 974, 975) and returns false with the offending token current, so that the caller
  // can push it back and skip the statement; at the end of the text the current token is EOF.
  //
  // Specificity: a page name counts as an id, the position, blank and :nth() pseudo-pages as
  // classes, the side pseudo-pages as types, so that a named page beats any pseudo-page and
  // ":first" beats ":left". The at-rule field is "page".
  bool parseList(std::vector<EKCssSelector>& out);

private:
  // One selector from the current token, with its specificity; `empty` tells whether it named
  // neither a page nor a pseudo-page.
  bool parseSelector(EKCssSelector& selector, bool& empty);
  bool parsePseudoPage(EKCssCompound& compound, uint32_t& classes, uint32_t& types);
  bool parseNth(EKCssCompound& compound, int32_t colonStart);
  // Reports the error with the token at `offset` current.
  bool errorAt(int32_t offset, unsigned short code, const UnicodeString& argument);
  bool endOfText();

  EKCssReader& m_reader;
};

} // namespace EKCommonNS
