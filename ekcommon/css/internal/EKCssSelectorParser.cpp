#include "ekcommon/css/internal/EKCssSelectorParser.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/text/EKUtil.h"

#include <utility>

namespace EKCommonNS {

namespace {

// Pseudo-elements that may also be written with a single colon.
const char16_t* const kPseudoElements[] = {
    u"after", u"before", u"first-line", u"first-letter", u"marker", u"footnote-call", u"footnote-marker",
    u"sidenote-call", u"sidenote-marker", u"backdrop", u"selection", u"placeholder", u"spelling-error",
    u"grammar-error", u"target-text", u"file-selector-button",
};

// Functional pseudo-classes whose argument is an an+b pattern.
const char16_t* const kNthFunctions[] = {u"nth-child", u"nth-last-child", u"nth-of-type", u"nth-last-of-type",
                                         u"nth"};

template <size_t N>
bool isOneOf(const UnicodeString& name, const char16_t* const (&list)[N]) {
  for (const char16_t* entry : list) {
    if (name == entry)
      return true;
  }
  return false;
}

bool startsType(int32_t kind) { return kind == CSS_IDENT || kind == u'*' || kind == u'|'; }

bool startsSimple(int32_t kind) {
  return kind == CSS_HASH_IDENT || kind == CSS_HASH_NAME || kind == u'.' || kind == u'[' || kind == u':';
}

bool isAttributeOperator(int32_t kind) {
  return kind == u'=' || kind == CSS_INCLUDES || kind == CSS_DASHMATCH || kind == CSS_PREFIXMATCH ||
         kind == CSS_SUFFIXMATCH || kind == CSS_SUBSTRINGMATCH;
}

bool isAttributeValue(int32_t kind) { return kind == CSS_IDENT || kind == CSS_STRING || kind == CSS_NUMBER; }

bool isPseudoElement(uint32_t kind) {
  return kind == EKCssSimpleSelector::PSEUDO_ELEMENT || kind == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_ELEMENT;
}

void setName(EKCssSimpleSelector& simple, const UnicodeString& name) {
  simple.name = EKName(name);
  simple.lowerName = EKName(UnicodeString(name).toLower());
}

} // namespace

EKCssSelectorParser::EKCssSelectorParser(EKCssReader& reader, const std::map<EKName, EKName>* namespaces)
    : m_reader(reader), m_namespaces(namespaces) {}

bool EKCssSelectorParser::parseGroup(std::vector<EKCssSelector>& out, char16_t terminator) {
  m_reader.scanner().setInSelector(true);
  const bool ok = readGroup(out, terminator);
  m_reader.scanner().setInSelector(false);
  return ok;
}

bool EKCssSelectorParser::readGroup(std::vector<EKCssSelector>& out, char16_t terminator) {
  m_reader.nextSignificant();
  for (;;) {
    EKCssSelector selector;
    if (!parseSelector(selector, terminator))
      return false;
    selector.finish();
    out.push_back(std::move(selector));
    const int32_t kind = skipSpace();
    if (kind == u',') {
      m_reader.nextSignificant();
      continue;
    }
    if (kind == terminator)
      return true;
    m_reader.error(EKERR_CSS_UNEXPECTED_TOKEN, m_reader.text());
    return false;
  }
}

bool EKCssSelectorParser::parseSelector(EKCssSelector& selector, char16_t terminator) {
  EKCssCompound first;
  if (!parseCompound(first))
    return false;
  selector.compounds.push_back(std::move(first));
  for (;;) {
    bool sawSpace = false;
    const int32_t kind = skipSpace(&sawSpace);
    EKCssCompound next;
    if (kind == u'+' || kind == u'>' || kind == u'~') {
      next.combinator = static_cast<uint32_t>(kind);
      m_reader.nextSignificant();
      if (!parseCompound(next))
        return false;
    } else {
      if (!sawSpace || kind == u',' || kind == terminator || kind == CSS_EOF)
        return true;
      // Whitespace alone joins the next compound only when one follows; otherwise the selector
      // ends here and the group decides what the token means.
      const EKCssReader::Trial trial = m_reader.beginTrial();
      const bool ok = parseCompound(next);
      m_reader.endTrial(trial, ok);
      if (!ok) {
        m_reader.next();
        return true;
      }
      next.combinator = EKCssCompound::DESCENDANT;
    }
    selector.compounds.push_back(std::move(next));
  }
}

bool EKCssSelectorParser::parseCompound(EKCssCompound& compound) {
  bool any = false;
  if (startsType(m_reader.kind())) {
    if (!parseType(compound.type))
      return false;
    any = true;
  }
  bool afterPseudoElement = false;
  while (startsSimple(m_reader.kind())) {
    const int32_t start = m_reader.scanner().tokenStart();
    EKCssSimpleSelector simple;
    if (!parseSimple(simple, false))
      return false;
    if (afterPseudoElement)
      return errorAt(start, EKERR_CSS_INVALID_AFTER_PSEUDO_ELEMENT,
                     m_reader.slice(start, m_reader.scanner().tokenStart()));
    afterPseudoElement = isPseudoElement(simple.kind);
    compound.simples.push_back(std::move(simple));
    any = true;
  }
  if (!any) {
    m_reader.error(EKERR_CSS_INVALID_SIMPLE_SELECTOR, m_reader.text());
    return false;
  }
  return true;
}

// IDENT, "*", "ns|name", "*|name", "|name", "ns|*" (and "*|*", "|*").
bool EKCssSelectorParser::parseType(EKCssTypeSelector& type) {
  const int32_t start = m_reader.scanner().tokenStart();
  if (m_reader.kind() != u'|') {
    const bool star = m_reader.kind() == u'*';
    const UnicodeString first = star ? UnicodeString(u"*") : m_reader.text();
    if (m_reader.next() != u'|') {
      type.universal = star;
      if (!star) {
        type.localName = EKName(first);
        type.lowerName = EKName(UnicodeString(first).toLower());
      }
      return true;
    }
    type.nsPrefix = EKName(first);
    if (!checkPrefix(first, start))
      return false;
  }
  type.hasNamespace = true;
  const int32_t kind = m_reader.next();
  if (kind == CSS_IDENT) {
    type.universal = false;
    type.localName = EKName(m_reader.text());
    type.lowerName = EKName(UnicodeString(m_reader.text()).toLower());
  } else if (kind == u'*') {
    type.universal = true;
  } else {
    m_reader.error(EKERR_CSS_INVALID_TYPE_SELECTOR, m_reader.text());
    return false;
  }
  m_reader.next();
  return true;
}

bool EKCssSelectorParser::parseSimple(EKCssSimpleSelector& simple, bool inNegation) {
  const int32_t kind = m_reader.kind();
  if (kind == CSS_HASH_IDENT || kind == CSS_HASH_NAME) {
    simple.kind = EKCssSimpleSelector::ID;
    simple.hashAnyName = kind == CSS_HASH_NAME;
    setName(simple, m_reader.text());
    m_reader.next();
    return true;
  }
  if (kind == u'.') {
    if (m_reader.next() != CSS_IDENT) {
      m_reader.error(EKERR_CSS_INVALID_CLASS_SELECTOR, m_reader.text());
      return false;
    }
    simple.kind = EKCssSimpleSelector::CLASS;
    setName(simple, m_reader.text());
    m_reader.next();
    return true;
  }
  if (kind == u'[')
    return parseAttribute(simple);
  return parsePseudo(simple, inNegation);
}

bool EKCssSelectorParser::parseAttribute(EKCssSimpleSelector& simple) {
  simple.kind = EKCssSimpleSelector::ATTRIBUTE;
  int32_t kind = m_reader.nextSignificant();
  const int32_t start = m_reader.scanner().tokenStart();
  if (kind == CSS_IDENT || kind == u'*') {
    const bool star = kind == u'*';
    const UnicodeString first = m_reader.text();
    kind = m_reader.next();
    if (kind == u'|') {
      simple.nsFlags = EKCssSimpleSelector::NS_GIVEN | (star ? EKCssSimpleSelector::NS_ANY : 0u);
      simple.nsPrefix = EKName(first);
      if (!checkPrefix(first, start))
        return false;
      kind = m_reader.next();
    } else if (star) {
      kind = CSS_EOF; // a bare "*" names no attribute
    } else {
      setName(simple, first);
    }
  } else if (kind == u'|') {
    simple.nsFlags = EKCssSimpleSelector::NS_GIVEN;
    kind = m_reader.next();
  }
  if (simple.name.isEmpty()) {
    if (kind != CSS_IDENT) {
      m_reader.error(EKERR_CSS_INVALID_ATTRIBUTE_SELECTOR, m_reader.text());
      return false;
    }
    setName(simple, m_reader.text());
    m_reader.next();
  }
  kind = skipSpace();
  if (isAttributeOperator(kind)) {
    simple.attrOperator = kind;
    kind = m_reader.nextSignificant();
    if (!isAttributeValue(kind)) {
      m_reader.error(EKERR_CSS_INVALID_ATTRIBUTE_SELECTOR, m_reader.text());
      return false;
    }
    simple.argument = m_reader.text();
    kind = m_reader.nextSignificant();
    if (kind != u']') {
      // A second word ("[a=b i]") makes the selector invalid; anything else leaves it unclosed.
      if (isAttributeValue(kind))
        m_reader.error(EKERR_CSS_INVALID_ATTRIBUTE_SELECTOR, m_reader.text());
      else
        m_reader.error(EKERR_CSS_MISSING_CLOSING_BRACKET);
      return false;
    }
  } else if (kind != u']') {
    m_reader.error(EKERR_CSS_INVALID_ATTRIBUTE_SELECTOR, m_reader.text());
    return false;
  }
  m_reader.next();
  return true;
}

bool EKCssSelectorParser::parsePseudo(EKCssSimpleSelector& simple, bool inNegation) {
  const int32_t start = m_reader.scanner().tokenStart();
  int32_t kind = m_reader.next();
  const bool doubleColon = kind == u':';
  if (doubleColon)
    kind = m_reader.next();
  const UnicodeString colons = doubleColon ? u"::" : u":";
  if (kind == CSS_IDENT) {
    setName(simple, m_reader.text());
    const bool element = doubleColon || isOneOf(simple.lowerName.toString(), kPseudoElements);
    if (element && inNegation)
      return errorAt(start, EKERR_CSS_INVALID_NEGATION, colons + m_reader.text());
    simple.kind = element ? EKCssSimpleSelector::PSEUDO_ELEMENT : EKCssSimpleSelector::PSEUDO_CLASS;
    m_reader.next();
    return true;
  }
  if (kind != CSS_FUNCTION) {
    m_reader.error(EKERR_CSS_INVALID_PSEUDO_SELECTOR, m_reader.text());
    return false;
  }
  // The function token's text ends in '('.
  const UnicodeString written(m_reader.text(), 0, m_reader.text().length() - 1);
  setName(simple, written);
  const UnicodeString lower = simple.lowerName.toString();
  if (!doubleColon && lower == u"not") {
    if (inNegation)
      return errorAt(start, EKERR_CSS_INVALID_NEGATION, u":not()");
    return parseNegation(simple);
  }
  if (doubleColon && inNegation)
    return errorAt(start, EKERR_CSS_INVALID_NEGATION, colons + written);
  if (!readArgument(simple.argument))
    return false;
  EKUtil::Nth nth;
  if (isOneOf(lower, kNthFunctions) && !nth.parse(simple.argument))
    return errorAt(start, EKERR_CSS_INVALID_PSEUDO_SELECTOR, colons + written + u"(" + simple.argument + u")");
  simple.kind = doubleColon ? EKCssSimpleSelector::FUNCTIONAL_PSEUDO_ELEMENT
                            : EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS;
  m_reader.next();
  return true;
}

// ":not(" has been read; one simple selector or type selector and ")" follow.
bool EKCssSelectorParser::parseNegation(EKCssSimpleSelector& simple) {
  const int32_t kind = m_reader.nextSignificant();
  simple = EKCssSimpleSelector();
  if (startsSimple(kind)) {
    if (!parseSimple(simple, true))
      return false;
  } else if (startsType(kind)) {
    EKCssTypeSelector type;
    if (!parseType(type))
      return false;
    simple.nsPrefix = type.nsPrefix;
    if (type.hasNamespace)
      simple.nsFlags = EKCssSimpleSelector::NS_GIVEN;
    if (type.nsPrefix.toString() == u"*")
      simple.nsFlags |= EKCssSimpleSelector::NS_ANY;
    simple.name = type.universal ? EKName(UnicodeString(u"*")) : type.localName;
    simple.lowerName = type.universal ? simple.name : type.lowerName;
  } else {
    m_reader.error(EKERR_CSS_INVALID_NEGATION, m_reader.text());
    return false;
  }
  simple.kind |= EKCssSimpleSelector::NEGATED;
  if (skipSpace() != u')') {
    m_reader.error(EKERR_CSS_MISSING_CLOSING_PAREN, m_reader.text());
    return false;
  }
  m_reader.next();
  return true;
}

bool EKCssSelectorParser::readArgument(UnicodeString& argument) {
  const int32_t begin = m_reader.scanner().position();
  if (!m_reader.skipTo(u')'))
    return false;
  argument = m_reader.slice(begin, m_reader.scanner().tokenStart());
  return true;
}

bool EKCssSelectorParser::checkPrefix(const UnicodeString& prefix, int32_t offset) {
  if (prefix.isEmpty() || prefix == u"*")
    return true;
  if (m_namespaces && m_namespaces->count(EKName(prefix)) != 0)
    return true;
  return errorAt(offset, EKERR_CSS_UNDEFINED_NAMESPACE_PREFIX, prefix);
}

bool EKCssSelectorParser::errorAt(int32_t offset, unsigned short code, const UnicodeString& argument) {
  m_reader.scanner().rewind(offset);
  m_reader.next();
  m_reader.error(code, argument);
  return false;
}

int32_t EKCssSelectorParser::skipSpace(bool* sawSpace) {
  int32_t kind = m_reader.kind();
  while (kind == CSS_S || kind == CSS_COMMENT) {
    if (sawSpace && kind == CSS_S)
      *sawSpace = true;
    kind = m_reader.next();
  }
  return kind;
}

} // namespace EKCommonNS
