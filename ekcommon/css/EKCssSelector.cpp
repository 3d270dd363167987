#include "ekcommon/css/EKCssSelector.h"

#include "ekcommon/css/internal/EKCssScanner.h"
#include "ekcommon/text/EKUtil.h"

#include <algorithm>
#include <tuple>

namespace EKCommonNS {

namespace {

template <class T>
int cmp(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Field by field, in declaration order.
int compareSimple(const EKCssSimpleSelector& a, const EKCssSimpleSelector& b) {
  auto key = [](const EKCssSimpleSelector& s) {
    return std::tie(s.kind, s.nsPrefix, s.nsFlags, s.hashAnyName, s.name, s.lowerName, s.attrOperator, s.argument);
  };
  return cmp(key(a), key(b));
}

int compareType(const EKCssTypeSelector& a, const EKCssTypeSelector& b) {
  auto key = [](const EKCssTypeSelector& t) {
    return std::tie(t.nsPrefix, t.hasNamespace, t.localName, t.lowerName, t.universal);
  };
  return cmp(key(a), key(b));
}

// `name` with its namespace prefix when a "|" was written. The any-namespace prefix "*" stays as
// it is; so does a universal name when `universal`, while a type or attribute named "*" (written
// escaped in the source) is escaped again.
UnicodeString prefixed(EKName prefix, bool written, EKName name, bool universal) {
  const UnicodeString text = name.toString();
  const UnicodeString writtenName = universal && text == u"*" ? text : cssIdentifier(text);
  if (!written)
    return writtenName;
  const UnicodeString prefixText = prefix.toString();
  return (prefixText == u"*" ? prefixText : cssIdentifier(prefixText)) + u"|" + writtenName;
}

const char16_t* attributeOperator(int32_t kind) {
  switch (kind) {
  case u'=':
    return u"=";
  case CSS_INCLUDES:
    return u"~=";
  case CSS_DASHMATCH:
    return u"|=";
  case CSS_PREFIXMATCH:
    return u"^=";
  case CSS_SUFFIXMATCH:
    return u"$=";
  default:
    return u"*=";
  }
}

// A functional argument in its parentheses, as stored. The parser trims arguments, so one that
// ends in an unterminated string or a lone backslash gets back a line break to end it: without
// it the ')' would be read as part of the string or escaped.
UnicodeString argumentText(const UnicodeString& argument) {
  std::vector<char16_t> buffer(argument.getBuffer(), argument.getBuffer() + argument.length());
  buffer.push_back(u'\0');
  EKCssScanner scanner(buffer.data());
  int32_t last = CSS_EOF;
  for (int32_t kind = scanner.next(); kind != CSS_EOF; kind = scanner.next())
    last = kind;
  const bool open = last == CSS_BAD_STRING || last == u'\\';
  return u"(" + argument + (open ? u"\n)" : u")");
}

void writeSimple(const EKCssSimpleSelector& simple, UnicodeString& out) {
  const bool nsGiven = (simple.nsFlags & EKCssSimpleSelector::NS_GIVEN) != 0;
  switch (simple.baseKind()) {
  case 0: // a negated type selector
    out += prefixed(simple.nsPrefix, nsGiven, simple.name, true);
    break;
  case EKCssSimpleSelector::ID:
    out += u"#" + cssIdentifier(simple.name.toString());
    break;
  case EKCssSimpleSelector::CLASS:
    out += u"." + cssIdentifier(simple.name.toString());
    break;
  case EKCssSimpleSelector::ATTRIBUTE:
    out += u"[" + prefixed(simple.nsPrefix, nsGiven, simple.name, false);
    if (simple.attrOperator != 0) {
      const auto mode = static_cast<EKUtil::QuoteMode>(EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_CSS_ESCAPES);
      out += attributeOperator(simple.attrOperator) + EKUtil::quoteString(simple.argument, mode);
    }
    out += u"]";
    break;
  case EKCssSimpleSelector::PSEUDO_CLASS:
    out += u":" + cssIdentifier(simple.name.toString());
    break;
  case EKCssSimpleSelector::PSEUDO_ELEMENT:
    out += u"::" + cssIdentifier(simple.name.toString());
    break;
  case EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS:
    out += u":" + cssIdentifier(simple.name.toString()) + argumentText(simple.argument);
    break;
  default:
    out += u"::" + cssIdentifier(simple.name.toString()) + argumentText(simple.argument);
    break;
  }
}

int compareCompound(const EKCssCompound& a, const EKCssCompound& b) {
  if (int c = cmp(a.combinator, b.combinator))
    return c;
  if (int c = compareType(a.type, b.type))
    return c;
  if (int c = cmp(a.simples.size(), b.simples.size()))
    return c;
  for (size_t i = 0; i < a.simples.size(); ++i) {
    if (int c = compareSimple(a.simples[i], b.simples[i]))
      return c;
  }
  return 0;
}

bool isNamedType(EKName name) {
  return !name.isEmpty() && name.toString() != UNICODE_STRING_SIMPLE("*");
}

void writeCompounds(const std::vector<EKCssCompound>& compounds, UnicodeString& out) {
  for (const EKCssCompound& compound : compounds) {
    if (compound.combinator == EKCssCompound::DESCENDANT)
      out += u" ";
    else if (compound.combinator != EKCssCompound::NONE)
      out += UnicodeString(u" ") + static_cast<char16_t>(compound.combinator) + u" ";
    const EKCssTypeSelector& type = compound.type;
    if (!type.universal)
      out += prefixed(type.nsPrefix, type.hasNamespace, type.localName, false);
    else if (type.hasNamespace || compound.simples.empty())
      out += prefixed(type.nsPrefix, type.hasNamespace, EKName(UnicodeString(u"*")), true);
    for (const EKCssSimpleSelector& simple : compound.simples) {
      if (simple.isNegated()) {
        out += u":not(";
        writeSimple(simple, out);
        out += u")";
      } else {
        writeSimple(simple, out);
      }
    }
  }
}

} // namespace

uint64_t EKCssSelector::packSpecificity(uint32_t ids, uint32_t classes, uint32_t types) {
  auto clamp = [](uint32_t n) { return static_cast<uint64_t>(std::min<uint32_t>(n, 0xFFFFu)); };
  return clamp(ids) << 48 | clamp(classes) << 32 | clamp(types) << 16;
}

uint64_t EKCssSelector::computeSpecificity() const {
  uint32_t ids = 0;
  uint32_t classes = 0;
  uint32_t types = 0;
  for (const EKCssCompound& compound : compounds) {
    if (!compound.type.universal && isNamedType(compound.type.localName))
      ++types;
    for (const EKCssSimpleSelector& simple : compound.simples) {
      switch (simple.baseKind()) {
      case EKCssSimpleSelector::ID:
        ++ids;
        break;
      case EKCssSimpleSelector::CLASS:
      case EKCssSimpleSelector::ATTRIBUTE:
      case EKCssSimpleSelector::PSEUDO_CLASS:
      case EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS:
        ++classes;
        break;
      case EKCssSimpleSelector::PSEUDO_ELEMENT:
      case EKCssSimpleSelector::FUNCTIONAL_PSEUDO_ELEMENT:
        ++types;
        break;
      case 0:
        // A negated type selector; ":not(*)" names no type.
        if (simple.isNegated() && isNamedType(simple.name))
          ++types;
        break;
      default:
        break;
      }
    }
  }
  return packSpecificity(ids, classes, types);
}

void EKCssSelector::finish() {
  specificity = computeSpecificity();
  flags &= ~ENDS_IN_PSEUDO_ELEMENT;
  if (compounds.empty())
    return;
  for (const EKCssSimpleSelector& simple : compounds.back().simples) {
    uint32_t kind = simple.kind;
    if (kind == EKCssSimpleSelector::PSEUDO_ELEMENT || kind == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_ELEMENT)
      flags |= ENDS_IN_PSEUDO_ELEMENT;
  }
}

int EKCssSelector::compare(const EKCssSelector& a, const EKCssSelector& b) {
  if (int c = cmp(a.precedence, b.precedence))
    return c;
  if (int c = cmp(a.specificity, b.specificity))
    return c;
  if (int c = cmp(a.atRule, b.atRule))
    return c;
  if (int c = cmp(a.sourceOrder, b.sourceOrder))
    return c;
  if (int c = cmp(a.compounds.size(), b.compounds.size()))
    return c;
  for (size_t i = 0; i < a.compounds.size(); ++i) {
    if (int c = compareCompound(a.compounds[i], b.compounds[i]))
      return c;
  }
  return cmp(a.flags, b.flags);
}

UnicodeString EKCssSelector::toString() const {
  UnicodeString out;
  writeCompounds(compounds, out);
  if (atRule == 0)
    return out;
  // A page rule's record holds its page selector; "*" is the one that asks for nothing.
  const UnicodeString name = u"@" + EKName(static_cast<EKNameEnum>(atRule)).toString();
  return out.isEmpty() || out == u"*" ? name : name + u" " + out;
}

} // namespace EKCommonNS
