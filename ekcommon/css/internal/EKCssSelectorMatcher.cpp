#include "ekcommon/css/internal/EKCssSelectorMatcher.h"

#include "ekcommon/css/internal/EKCssAncestorFilter.h"
#include "ekcommon/css/internal/EKCssRulesImpl.h"
#include "ekcommon/css/internal/EKCssScanner.h"
#include "ekcommon/css/internal/EKCssSiblingIndex.h"
#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/EKElement.h"
#include "ekcommon/text/EKUtil.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace EKCommonNS {

namespace {

using View = std::u16string_view;

// HTML attributes whose values compare without regard to case when the case flag is on.
const char16_t* const CASELESS_ATTRIBUTES[] = {
    u"charset",  u"clear",       u"color",    u"lang",     u"link",     u"media",          u"nowrap",
    u"shape",    u"text",        u"accept",   u"ismap",    u"language", u"accept-charset", u"align",
    u"alink",    u"axis",        u"bgcolor",  u"checked",  u"codetype", u"compact",        u"declare",
    u"defer",    u"dir",         u"disabled", u"enctype",  u"face",     u"frame",          u"hreflang",
    u"method",   u"multiple",    u"nohref",   u"noresize", u"noshade",  u"readonly",       u"rel",
    u"rev",      u"rules",       u"scope",    u"scrolling", u"selected", u"style",         u"target",
    u"valign",   u"vlink"};

char16_t fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool equal(View a, View b, bool caseless) {
  if (a.size() != b.size())
    return false;
  if (!caseless)
    return a == b;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i]))
      return false;
  }
  return true;
}

bool startsWith(View s, View prefix, bool caseless) {
  return s.size() >= prefix.size() && equal(s.substr(0, prefix.size()), prefix, caseless);
}

bool endsWith(View s, View suffix, bool caseless) {
  return s.size() >= suffix.size() && equal(s.substr(s.size() - suffix.size()), suffix, caseless);
}

bool contains(View s, View part, bool caseless) {
  if (part.size() > s.size())
    return false;
  for (size_t i = 0; i + part.size() <= s.size(); ++i) {
    if (equal(s.substr(i, part.size()), part, caseless))
      return true;
  }
  return false;
}

// Whether `word` is one of the white-space separated words of `list`.
bool hasWord(View list, View word, bool caseless) {
  return EKCssAncestorFilter::anyWord(list, [&](View item) { return equal(item, word, caseless); });
}

View view(const UnicodeString& s) { return View(s.getBuffer(), static_cast<size_t>(s.length())); }

// The attribute operators of the selector grammar, on the attribute's text.
bool compareAttribute(int32_t op, View value, View expected, bool caseless) {
  switch (op) {
  case 0:
    return true;
  case u'=':
    return equal(value, expected, caseless);
  case CSS_INCLUDES:
    return hasWord(value, expected, caseless);
  case CSS_DASHMATCH:
    return equal(value, expected, caseless) ||
           (startsWith(value, expected, caseless) && value.size() > expected.size() && value[expected.size()] == u'-');
  case CSS_PREFIXMATCH:
    return !expected.empty() && startsWith(value, expected, caseless);
  case CSS_SUFFIXMATCH:
    return !expected.empty() && endsWith(value, expected, caseless);
  case CSS_SUBSTRINGMATCH:
    return !expected.empty() && contains(value, expected, caseless);
  default:
    return false;
  }
}

bool isXhtml(const EKElement* element) { return element->getNamespaceUri() == EKN_http_www_w3_org_1999_xhtml; }

} // namespace

EKCssSelectorMatcher::EKCssSelectorMatcher(const EKCssRulesImpl& rules, unsigned int options,
                                           EKCssPseudoClassCallback pseudoClass, EKCssElementCallback elementCallback)
    : m_rules(rules), m_options(options),
      m_lowerNames((options & OPTION_LOWER_CASE) != 0 && (options & OPTION_KEEP_CASE) == 0),
      m_pseudoClass(pseudoClass), m_elementCallback(elementCallback) {}

std::u16string_view EKCssSelectorMatcher::attributeText(EKElement* element, EKName qname, UnicodeString& scratch) {
  const EKAttr* attribute = element->getAttributeNode(qname);
  if (!attribute)
    return View();
  const EKValue& value = attribute->getValue();
  int32_t length = 0;
  if (const char16_t* text = value.getStringBuffer(length))
    return View(text, static_cast<size_t>(length));
  scratch = value.toString();
  return view(scratch);
}

EKElement* EKCssSelectorMatcher::parentElement(const EKElement* element) {
  EKNode* parent = element->getParentNode();
  return parent && parent->getNodeType() == ELEMENT_NODE ? static_cast<EKElement*>(parent) : nullptr;
}

EKElement* EKCssSelectorMatcher::previousElement(const EKElement* element) {
  for (EKNode* node = element->getPreviousSibling(); node; node = node->getPreviousSibling()) {
    if (node->getNodeType() == ELEMENT_NODE)
      return static_cast<EKElement*>(node);
  }
  return nullptr;
}

EKElement* EKCssSelectorMatcher::nextElement(EKElement* element) {
  for (EKNode* node = element->getNextSibling(); node; node = node->getNextSibling()) {
    if (node->getNodeType() == ELEMENT_NODE)
      return static_cast<EKElement*>(node);
  }
  return nullptr;
}

bool EKCssSelectorMatcher::matches(const EKCssSelector& selector, int sourceId, EKElement* element, EKName target,
                                   EKName* pseudoElement) {
  const std::vector<EKCssCompound>& compounds = selector.compounds;
  if (compounds.empty() || !element)
    return false;
  EKName pseudo;
  if ((selector.flags & EKCssSelector::ENDS_IN_PSEUDO_ELEMENT) != 0) {
    for (const EKCssSimpleSelector& simple : compounds.back().simples) {
      const uint32_t kind = simple.kind;
      if (kind == EKCssSimpleSelector::PSEUDO_ELEMENT || kind == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_ELEMENT)
        pseudo = simple.lowerName;
    }
  }
  if (pseudo != target && !(target.isEmpty() && !pseudo.isEmpty()))
    return false;
  m_forPseudoElement = !target.isEmpty();
  if (!matchCompound(compounds.back(), sourceId, element))
    return false;

  // Choice points: compound i matched `element`, and the compound to its left may still be
  // looked for beyond it (farther ancestors or earlier siblings).
  struct Choice {
    size_t index;
    EKElement* element;
  };
  std::vector<Choice> choices;
  size_t i = compounds.size() - 1;
  EKElement* candidate = nullptr;
  uint32_t combinator = compounds[i].combinator;
  if (i > 0)
    candidate = combinator == EKCssCompound::DESCENDANT || combinator == EKCssCompound::CHILD
                    ? parentElement(element)
                    : previousElement(element);
  while (i > 0) {
    const bool upwards = combinator == EKCssCompound::DESCENDANT || combinator == EKCssCompound::CHILD;
    const bool oneStep = combinator == EKCssCompound::CHILD || combinator == EKCssCompound::ADJACENT;
    EKElement* found = nullptr;
    for (; candidate; candidate = oneStep ? nullptr : (upwards ? parentElement(candidate) : previousElement(candidate))) {
      if (matchCompound(compounds[i - 1], sourceId, candidate)) {
        found = candidate;
        break;
      }
    }
    if (found) {
      if (!oneStep)
        choices.push_back({i, found});
      --i;
      combinator = compounds[i].combinator;
      if (i > 0)
        candidate = combinator == EKCssCompound::DESCENDANT || combinator == EKCssCompound::CHILD
                        ? parentElement(found)
                        : previousElement(found);
      continue;
    }
    // No ancestor matched: farther choices to the right only lead to fewer ancestors.
    if (combinator == EKCssCompound::DESCENDANT)
      return false;
    // A parent or earlier siblings that do not match stay the same for the other siblings on the
    // right; only a descendant choice can change them.
    const bool skipSiblingChoices = combinator != EKCssCompound::ADJACENT;
    while (!choices.empty() && skipSiblingChoices &&
           compounds[choices.back().index].combinator != EKCssCompound::DESCENDANT)
      choices.pop_back();
    if (choices.empty())
      return false;
    const Choice choice = choices.back();
    choices.pop_back();
    i = choice.index;
    combinator = compounds[i].combinator;
    candidate = combinator == EKCssCompound::DESCENDANT ? parentElement(choice.element)
                                                          : previousElement(choice.element);
  }
  if (target.isEmpty() && !pseudo.isEmpty()) {
    if (pseudoElement)
      *pseudoElement = pseudo;
    return false;
  }
  return true;
}

bool EKCssSelectorMatcher::matchCompound(const EKCssCompound& compound, int sourceId, EKElement* element) {
  if (!matchType(compound.type, sourceId, element))
    return false;
  // Ids, classes and attributes first: they are cheap and usually decide; pseudo-classes may
  // count siblings or ask the host.
  for (bool pseudo : {false, true}) {
    for (const EKCssSimpleSelector& simple : compound.simples) {
      const uint32_t kind = simple.baseKind();
      if (kind == EKCssSimpleSelector::PSEUDO_ELEMENT || kind == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_ELEMENT)
        continue;
      const bool isPseudo = kind == EKCssSimpleSelector::PSEUDO_CLASS ||
                            kind == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS;
      if (isPseudo == pseudo && matchSimple(simple, sourceId, element) == simple.isNegated())
        return false;
    }
  }
  return true;
}

bool EKCssSelectorMatcher::matchType(const EKCssTypeSelector& type, int sourceId, EKElement* element) {
  return matchName(type.nsPrefix, type.hasNamespace, type.universal, type.localName, type.lowerName, sourceId,
                   element);
}

// A type selector: "name" (the default namespace when the sheet declares one, else any), "ns|name",
// "*|name", "|name" (no namespace), with "*" for any name.
bool EKCssSelectorMatcher::matchName(EKName prefix, bool prefixWritten, bool universal, EKName name,
                                     EKName lowerName, int sourceId, EKElement* element) {
  if (!universal) {
    const EKName local = element->getLocalName();
    if (local != name && !(local == lowerName && isXhtml(element)))
      return false;
  }
  if (prefixWritten && prefix.toString() == u"*")
    return true;
  const std::pair<EKName, bool> bound = m_rules.lookupNamespace(sourceId, prefixWritten ? prefix : EKName());
  if (!prefixWritten)
    return !bound.second || bound.first.isEmpty() || element->getNamespaceUri() == bound.first;
  if (prefix.isEmpty())
    return element->getNamespaceUri().isEmpty();
  return bound.second && element->getNamespaceUri() == bound.first;
}

bool EKCssSelectorMatcher::matchSimple(const EKCssSimpleSelector& simple, int sourceId, EKElement* element) {
  switch (simple.baseKind()) {
  case 0: { // a type selector inside :not()
    const bool universal = simple.name.toString() == u"*";
    const bool written = (simple.nsFlags & EKCssSimpleSelector::NS_GIVEN) != 0;
    return matchName(simple.nsPrefix, written, universal, simple.name, simple.lowerName, sourceId, element);
  }
  case EKCssSimpleSelector::ID: {
    UnicodeString scratch;
    return equal(attributeText(element, EKN_id, scratch), view(simple.name.toString()), m_lowerNames);
  }
  case EKCssSimpleSelector::CLASS: {
    UnicodeString scratch;
    return hasWord(attributeText(element, EKN_class, scratch), view(simple.name.toString()), m_lowerNames);
  }
  case EKCssSimpleSelector::ATTRIBUTE:
    return matchAttribute(simple, sourceId, element);
  case EKCssSimpleSelector::PSEUDO_CLASS:
  case EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS:
    return matchPseudoClass(simple, element);
  default:
    return false;
  }
}

bool EKCssSelectorMatcher::matchAttribute(const EKCssSimpleSelector& simple, int sourceId, EKElement* element) {
  std::vector<EKValue> values;
  const bool written = (simple.nsFlags & EKCssSimpleSelector::NS_GIVEN) != 0;
  const EKName name = isXhtml(element) ? simple.lowerName : simple.name;
  if ((simple.nsFlags & EKCssSimpleSelector::NS_ANY) != 0) {
    element->getAttributeLocal(name, &values);
  } else {
    EKName uri;
    if (written && !simple.nsPrefix.isEmpty()) {
      const std::pair<EKName, bool> bound = m_rules.lookupNamespace(sourceId, simple.nsPrefix);
      if (!bound.second)
        return false;
      uri = bound.first;
    }
    if (element->hasAttributeNS(uri, name))
      values.push_back(element->getAttributeNS(uri, name));
  }
  const bool caseFlag = (m_options & OPTION_CASE_FLAG_SELECT) != 0
                            ? (m_options & OPTION_LOWER_CASE) != 0
                            : (m_options & (OPTION_CASE_FLAG_1 | OPTION_LOWER_CASE)) != 0;
  bool caseless = false;
  if (caseFlag) {
    const UnicodeString lower = simple.lowerName.toString();
    caseless = std::any_of(std::begin(CASELESS_ATTRIBUTES), std::end(CASELESS_ATTRIBUTES),
                           [&](const char16_t* attribute) { return lower == attribute; });
    if (!caseless && lower == u"type") {
      const UnicodeString& v = simple.argument;
      caseless = !(v == u"a" || v == u"i" || v == u"A" || v == u"I");
    }
  }
  for (const EKValue& value : values) {
    const UnicodeString text = value.toString();
    if (compareAttribute(simple.attrOperator, view(text), view(simple.argument), caseless))
      return true;
  }
  return false;
}

bool EKCssSelectorMatcher::counts(EKElement* sibling) {
  EKName unused;
  return !m_elementCallback || m_elementCallback(sibling, EK_CSS_COUNT_SIBLING, &unused);
}

int EKCssSelectorMatcher::position(EKElement* element, bool fromEnd, bool sameType) {
  // Without an element callback every element sibling counts, and the cached positions apply.
  EKCssSiblingIndex::Position cached;
  if (!m_elementCallback && EKCssSiblingIndex::lookup(element, cached)) {
    if (sameType)
      return fromEnd ? cached.typeCount - cached.typeIndex + 1 : cached.typeIndex;
    return fromEnd ? cached.count - cached.index + 1 : cached.index;
  }
  int n = 1;
  const EKName local = element->getLocalName();
  const EKName ns = element->getNamespaceUri();
  for (EKElement* e = fromEnd ? nextElement(element) : previousElement(element); e;
       e = fromEnd ? nextElement(e) : previousElement(e)) {
    if ((!sameType || (e->getLocalName() == local && e->getNamespaceUri() == ns)) && counts(e))
      ++n;
  }
  return n;
}

bool EKCssSelectorMatcher::matchPseudoClass(const EKCssSimpleSelector& simple, EKElement* element) {
  const EKName name = simple.lowerName;
  const bool functional = simple.baseKind() == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS;
  switch (static_cast<EKNameEnum>(name)) {
  case EKN_root:
    return !functional && !parentElement(element);
  case EKN_empty:
    if (functional)
      return false;
    for (EKNode* child = element->getFirstChild(); child; child = child->getNextSibling()) {
      if (child->getNodeType() == ELEMENT_NODE || (child->isText() && !child->getNodeValue().toString().isEmpty()))
        return false;
    }
    return true;
  case EKN_link:
  case EKN_visited:
  case EKN_active:
  case EKN_focus:
  case EKN_hover:
  case EKN_lang:
    if (m_forPseudoElement || !m_pseudoClass)
      return false;
    return m_pseudoClass(element, name,
                         functional ? EKValue(simple.argument, UNIT_STRING) : EKValue::NULL_VALUE);
  default:
    break;
  }
  // The structural pseudo-classes count element siblings; the root has none unless asked.
  const UnicodeString text = name.toString();
  const bool nth = functional && text.startsWith(u"nth-");
  if (!(nth || (!functional && (text.endsWith(u"-child") || text.endsWith(u"-of-type")))))
    return false;
  if (!parentElement(element) && (m_options & OPTION_ROOT_SIBLINGS) == 0)
    return false;
  const bool sameType = text.endsWith(u"-of-type");
  if (nth) {
    EKUtil::Nth pattern;
    if (!pattern.parse(simple.argument))
      return false;
    const bool fromEnd = text.startsWith(u"nth-last-");
    if (text != u"nth-child" && text != u"nth-last-child" && text != u"nth-of-type" && text != u"nth-last-of-type")
      return false;
    return pattern.match(position(element, fromEnd, sameType));
  }
  const bool first = text.startsWith(u"first-");
  const bool last = text.startsWith(u"last-");
  const bool only = text.startsWith(u"only-");
  if (!first && !last && !only)
    return false;
  if ((first || only) && position(element, false, sameType) != 1)
    return false;
  return !(last || only) || position(element, true, sameType) == 1;
}

} // namespace EKCommonNS
