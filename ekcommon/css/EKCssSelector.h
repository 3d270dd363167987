// The stored form of one CSS selector: compounds joined by combinators, each an optional type
// selector and a list of simple selectors; with the precedence, specificity and source order that
// place the selector's declarations in the cascade.
#pragma once

#include "ekcommon/names/EKName.h"

#include <unicode/unistr.h>

#include <cstdint>
#include <vector>

namespace EKCommonNS {

// One id, class, attribute or pseudo selector of a compound.
struct EKCOMMON_API EKCssSimpleSelector {
  enum Kind : uint32_t {
    ID = 1,
    CLASS = 2,
    ATTRIBUTE = 3,
    PSEUDO_CLASS = 4,
    PSEUDO_ELEMENT = 5,
    FUNCTIONAL_PSEUDO_CLASS = 6,
    FUNCTIONAL_PSEUDO_ELEMENT = 7,
    // Added to the kind of a selector inside :not(); alone it is a negated type selector.
    NEGATED = 0x8000,
  };
  // Namespace flags of an attribute selector.
  enum NamespaceFlag : uint32_t {
    NS_GIVEN = 1, // a "|" was written: "ns|attr", "*|attr" or "|attr"
    NS_ANY = 2,   // the namespace part is "*"
  };

  uint32_t kind = 0;
  EKName nsPrefix;
  uint32_t nsFlags = 0;
  // For ids: true when the name was scanned as any name rather than as an identifier.
  bool hashAnyName = false;
  EKName name;
  EKName lowerName;
  // The attribute operator as a token kind of the scanner ('=' for "=", the match-operator kinds
  // for "~=", "|=", "^=", "$=", "*="), 0 for a presence test.
  int32_t attrOperator = 0;
  // The attribute value or the pseudo-class argument.
  UnicodeString argument;

  // The selector without the :not() marker.
  uint32_t baseKind() const { return kind & ~static_cast<uint32_t>(NEGATED); }
  bool isNegated() const { return (kind & NEGATED) != 0; }
};

// The type selector of a compound; an absent one is the universal selector without namespace.
struct EKCOMMON_API EKCssTypeSelector {
  EKName nsPrefix;
  // True when a "|" was written ("ns|name", "*|name", "|name").
  bool hasNamespace = false;
  EKName localName;
  EKName lowerName;
  bool universal = true;
};

struct EKCOMMON_API EKCssCompound {
  enum Combinator : uint32_t {
    NONE = 0,
    DESCENDANT = 32,
    ADJACENT = 43, // '+'
    CHILD = 62,    // '>'
    SIBLING = 126, // '~'
  };
  // How this compound is joined to the one on its left; NONE for the leftmost.
  uint32_t combinator = NONE;
  EKCssTypeSelector type;
  std::vector<EKCssSimpleSelector> simples;
};

class EKCOMMON_API EKCssSelector {
public:
  // Flag bit: the selector ends in a pseudo-element.
  static constexpr uint32_t ENDS_IN_PSEUDO_ELEMENT = 2;

  uint32_t precedence = 0;
  // Ids, classes and types as 16-bit counters in bits 48-63, 32-47 and 16-31, so that comparing
  // the numbers compares ids first; the lowest 16 bits stay zero.
  uint64_t specificity = 0;
  // 0 for style rules; the at-rule name for at-rule blocks.
  uint32_t atRule = 0;
  // The number of the rule set in its rules object; later rule sets win ties.
  int32_t sourceOrder = 0;
  std::vector<EKCssCompound> compounds;
  uint32_t flags = 0;

  // Packs three counters (each saturated at 0xFFFF) into a specificity number.
  static uint64_t packSpecificity(uint32_t ids, uint32_t classes, uint32_t types);
  // The counters of a specificity number, in the order ids, classes, types.
  static uint32_t specificityIds(uint64_t specificity) { return static_cast<uint32_t>(specificity >> 48); }
  static uint32_t specificityClasses(uint64_t specificity) {
    return static_cast<uint32_t>(specificity >> 32) & 0xFFFFu;
  }
  static uint32_t specificityTypes(uint64_t specificity) { return static_cast<uint32_t>(specificity >> 16) & 0xFFFFu; }

  // The specificity of the compounds: ids count id selectors; classes count classes, attribute
  // selectors and pseudo-classes; types count named type selectors and pseudo-elements. A
  // selector inside :not() counts as it would outside.
  uint64_t computeSpecificity() const;
  // Sets specificity from the compounds and the pseudo-element flag from the last compound.
  void finish();

  // The selector written back as CSS that reads back to the same selector: compounds joined by
  // " ", " > ", " + " or " ~ ", pseudo-elements with two colons, names and prefixes escaped where
  // they would not scan as identifiers, attribute values quoted with escapes, functional
  // arguments as stored. At-rule records give "@" and the at-rule name, followed for a page rule
  // by a space and its page selector ("@page :first").
  UnicodeString toString() const;

  // Cascade order: negative when a comes before b (b wins), positive when after, 0 when the two
  // records are equal. Orders by precedence, specificity, the at-rule field, source order, then
  // by the compounds field by field, so that the order is the same on every run.
  static int compare(const EKCssSelector& a, const EKCssSelector& b);
};

} // namespace EKCommonNS
