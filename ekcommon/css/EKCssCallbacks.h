// The host's hooks into applying CSS rules to an element: the property callback that receives
// each winning declaration's value, the error callback for value errors, the priority filter of
// two-pass application, and the callbacks that decide dynamic pseudo-classes and pseudo-elements.
#pragma once

#include "ekcommon/names/EKName.h"
#include "ekcommon/values/EKValue.h"

namespace EKCommonNS {

class EKCssDeclaration;
class EKElement;
class EKError;

// Receives one property and its value for the element, in cascade order, so the last call for a
// property carries the winner. sourceId names the sheet of the declaration (-1, with a null
// declaration, for the resets that precede a shorthand's longhands). A non-zero result marks the
// declaration as failed.
using EKCssPropertyCallback = unsigned short (*)(EKElement* element, EKName property, EKValue value, int sourceId,
                                                 const EKCssDeclaration* declaration);
// Receives each value error met while applying (code, message, line and column of the declaration).
using EKCssErrorCallback = void (*)(EKElement* element, const EKError& error);
// True for the properties to apply in the first pass; called with property 0 to mark the end of it.
using EKCssPriorityFilter = bool (*)(EKElement* element, EKName property);
// Decides the dynamic pseudo-classes "link", "visited", "active", "focus", "hover" and "lang" for
// the element; argument is the pseudo-class argument (null for none).
using EKCssPseudoClassCallback = bool (*)(EKElement* element, EKName pseudoClass, const EKValue& argument);

// What the element callback is asked.
enum EKCssElementQuery : int {
  // Before matching: set *pseudoElement to the pseudo-element to match rules for (0, the default,
  // for the element itself). The result is ignored.
  EK_CSS_MATCH_TARGET = 0,
  // While counting siblings for structural pseudo-classes: false leaves `element` out.
  EK_CSS_COUNT_SIBLING = 1,
  // After matching the element itself: rules for the pseudo-element *pseudoElement matched.
  EK_CSS_PSEUDO_ELEMENT_MATCHED = 2,
};
using EKCssElementCallback = bool (*)(EKElement* element, EKCssElementQuery query, EKName* pseudoElement);

} // namespace EKCommonNS
