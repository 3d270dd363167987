// Decides whether a stored selector matches an element: the rightmost compound against the
// element, then the combinators leftwards. Backtracking over descendant and sibling combinators is
// cut as soon as a search runs out of ancestors or siblings, since no other choice to the right
// can succeed then; this keeps selectors like "a a a a b" from taking exponential time on deep
// trees. The walk keeps its choice points on a heap stack, so long selectors need no deep recursion.
// Not installed.
#pragma once

#include "ekcommon/css/EKCssCallbacks.h"
#include "ekcommon/css/EKCssSelector.h"

#include <string_view>

namespace EKCommonNS {

class EKCssRulesImpl;
class EKElement;

class EKCOMMON_API EKCssSelectorMatcher {
public:
  // Option bits of the rules that change matching.
  static constexpr unsigned int OPTION_CASE_FLAG_1 = 1;        // case-insensitive HTML attribute values
  static constexpr unsigned int OPTION_LOWER_CASE = 2;         // ids and classes in lower case (with bit 16 clear)
  static constexpr unsigned int OPTION_CASE_FLAG_SELECT = 4;   // only bit 2 turns the attribute case flag on
  static constexpr unsigned int OPTION_KEEP_CASE = 16;         // overrides OPTION_LOWER_CASE
  static constexpr unsigned int OPTION_ROOT_SIBLINGS = 256;    // the root element counts for sibling pseudo-classes

  EKCssSelectorMatcher(const EKCssRulesImpl& rules, unsigned int options, EKCssPseudoClassCallback pseudoClass,
                       EKCssElementCallback elementCallback);

  // Whether `selector` (stored from the sheet sourceId) matches `element` when rules are matched
  // for the pseudo-element `target` (EKName() for the element itself). A selector ending in a
  // pseudo-element matches only for that target; matched for the element itself it sets
  // *pseudoElement (when not null) to that pseudo-element if the rest of it matches, and returns false.
  bool matches(const EKCssSelector& selector, int sourceId, EKElement* element, EKName target,
               EKName* pseudoElement);

  // True when ids and classes compare in lower case.
  bool lowerCaseNames() const { return m_lowerNames; }

  // The text of the element's attribute `qname` without copying it when it is stored as a
  // string (else written into `scratch`); empty when there is no such attribute.
  static std::u16string_view attributeText(EKElement* element, EKName qname, UnicodeString& scratch);
  static EKElement* parentElement(const EKElement* element);
  static EKElement* previousElement(const EKElement* element);
  static EKElement* nextElement(EKElement* element);

private:
  bool matchCompound(const EKCssCompound& compound, int sourceId, EKElement* element);
  bool matchType(const EKCssTypeSelector& type, int sourceId, EKElement* element);
  bool matchName(EKName prefix, bool prefixWritten, bool universal, EKName name, EKName lowerName, int sourceId,
                 EKElement* element);
  bool matchSimple(const EKCssSimpleSelector& simple, int sourceId, EKElement* element);
  bool matchAttribute(const EKCssSimpleSelector& simple, int sourceId, EKElement* element);
  bool matchPseudoClass(const EKCssSimpleSelector& simple, EKElement* element);
  // The 1-based position of the element among its counted element siblings, from the start or
  // (`fromEnd`) from the end; `sameType` counts only siblings with its name and namespace.
  int position(EKElement* element, bool fromEnd, bool sameType);
  bool counts(EKElement* sibling);

  const EKCssRulesImpl& m_rules;
  unsigned int m_options;
  bool m_lowerNames;
  EKCssPseudoClassCallback m_pseudoClass;
  EKCssElementCallback m_elementCallback;
  // Set while matching for a pseudo-element: dynamic pseudo-classes do not match then.
  bool m_forPseudoElement = false;
};

} // namespace EKCommonNS
