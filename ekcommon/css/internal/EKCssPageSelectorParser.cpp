#include "ekcommon/css/internal/EKCssPageSelectorParser.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/css/EKCssPageSelector.h"
#include "ekcommon/text/EKUtil.h"

#include <unicode/uchar.h>

namespace EKCommonNS {

namespace {

bool isSpace(int32_t kind) { return kind == CSS_S || kind == CSS_COMMENT; }

void setName(EKCssSimpleSelector& simple, const UnicodeString& written) {
  simple.name = EKName(written);
  simple.lowerName = simple.name.lowerName();
}

} // namespace

bool EKCssPageSelectorParser::parseList(std::vector<EKCssSelector>& out) {
  m_reader.nextSignificant();
  for (bool afterComma = false;; afterComma = true) {
    EKCssSelector selector;
    bool empty = true;
    if (!parseSelector(selector, empty))
      return false;
    int32_t kind = m_reader.kind();
    if (isSpace(kind))
      kind = m_reader.nextSignificant();
    if (kind == CSS_EOF)
      return endOfText();
    if (kind == u'{') {
      // "@page {" asks for nothing; an empty selector after a comma is a mistake.
      if (empty && afterComma)
        return errorAt(m_reader.scanner().tokenStart(), EKERR_CSS_EMPTY_PAGE_SELECTOR, UnicodeString());
      out.push_back(std::move(selector));
      return true;
    }
    if (kind == u',') {
      if (empty)
        return errorAt(m_reader.scanner().tokenStart(), EKERR_CSS_EMPTY_PAGE_SELECTOR, UnicodeString());
      out.push_back(std::move(selector));
      m_reader.nextSignificant();
      continue;
    }
    // A ';' or '}' ends the statement or the enclosing block: the block of the rule is missing.
    if (kind == u';' || kind == u'}') {
      m_reader.error(EKERR_CSS_MISSING_OPENING_BRACE);
      return false;
    }
    m_reader.error(EKERR_CSS_INVALID_PAGE_SELECTOR, m_reader.text());
    return false;
  }
}

bool EKCssPageSelectorParser::parseSelector(EKCssSelector& selector, bool& empty) {
  EKCssCompound compound;
  uint32_t ids = 0, classes = 0, types = 0;
  if (m_reader.kind() == CSS_IDENT) {
    compound.type.localName = EKName(m_reader.text());
    compound.type.lowerName = compound.type.localName.lowerName();
    compound.type.universal = false;
    ids = 1;
    m_reader.next();
  }
  while (m_reader.kind() == u':') {
    if (!parsePseudoPage(compound, classes, types))
      return false;
  }
  empty = ids == 0 && compound.simples.empty();
  selector.compounds.push_back(std::move(compound));
  selector.specificity = EKCssSelector::packSpecificity(ids, classes, types);
  selector.atRule = EKN_page;
  return true;
}

// The current token is the ':'; on success the token after the pseudo-page is current.
bool EKCssPageSelectorParser::parsePseudoPage(EKCssCompound& compound, uint32_t& classes, uint32_t& types) {
  const int32_t colonStart = m_reader.scanner().tokenStart();
  const int32_t kind = m_reader.next();
  if (kind == CSS_EOF)
    return endOfText();
  if (kind == CSS_FUNCTION) {
    if (m_reader.text().caseCompare(u"nth(", U_FOLD_CASE_DEFAULT) != 0)
      return errorAt(m_reader.scanner().tokenStart(), EKERR_CSS_INVALID_PSEUDO_PAGE_SELECTOR, m_reader.text());
    if (!parseNth(compound, colonStart))
      return false;
    ++classes;
    m_reader.next();
    return true;
  }
  if (kind != CSS_IDENT)
    return errorAt(m_reader.scanner().tokenStart(), EKERR_CSS_INVALID_PSEUDO_PAGE_SELECTOR, m_reader.text());
  EKCssSimpleSelector simple;
  simple.kind = EKCssSimpleSelector::PSEUDO_CLASS;
  setName(simple, m_reader.text());
  const EKCssPageSelector::PseudoPageKind which = EKCssPageSelector::pseudoPageKind(simple.lowerName);
  if (which == EKCssPageSelector::NO_PSEUDO_PAGE)
    return errorAt(m_reader.scanner().tokenStart(), EKERR_CSS_INVALID_PSEUDO_PAGE_SELECTOR, m_reader.text());
  ++(which == EKCssPageSelector::SIDE ? types : classes);
  compound.simples.push_back(std::move(simple));
  m_reader.next();
  return true;
}

// The current token is the FUNCTION "nth("; reads its argument through the ')', which is then
// current.
bool EKCssPageSelectorParser::parseNth(EKCssCompound& compound, int32_t colonStart) {
  const UnicodeString function = m_reader.text();
  const int32_t begin = m_reader.scanner().position();
  if (!m_reader.skipTo(u')'))
    return false;
  EKCssSimpleSelector simple;
  simple.kind = EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS;
  setName(simple, UnicodeString(function, 0, function.length() - 1));
  simple.argument = m_reader.slice(begin, m_reader.scanner().tokenStart());
  EKUtil::Nth nth;
  if (!nth.parse(simple.argument))
    return errorAt(colonStart, EKERR_CSS_INVALID_PSEUDO_SELECTOR, u":" + function + simple.argument + u")");
  compound.simples.push_back(std::move(simple));
  return true;
}

bool EKCssPageSelectorParser::errorAt(int32_t offset, unsigned short code, const UnicodeString& argument) {
  m_reader.scanner().rewind(offset);
  m_reader.next();
  m_reader.error(code, argument);
  return false;
}

bool EKCssPageSelectorParser::endOfText() {
  m_reader.error(EKERR_CSS_UNEXPECTED_END);
  return false;
}

} // namespace EKCommonNS
