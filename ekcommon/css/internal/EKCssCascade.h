// One application of a rules object to one element: finds the rules that match (through the rule
// index), collects their declarations in cascade order with a style attribute's declarations
// placed between them, sets custom properties on the element and hands the rest, value by value,
// to the host. Everything of one call lives here, so that several threads may apply the same
// rules to different elements at once. Not installed.
#pragma once

#include "ekcommon/css/EKCssCallbacks.h"
#include "ekcommon/css/EKCssDeclarations.h"
#include "ekcommon/css/internal/EKCssDeclarationApplier.h"

#include <vector>

namespace EKCommonNS {

class EKCssRulesImpl;
class EKElement;

class EKCOMMON_API EKCssCascade {
public:
  EKCssCascade(const EKCssRulesImpl& rules, EKCssPropertyCallback property, EKCssErrorCallback error,
               EKCssPriorityFilter filter);

  // Matches the rules against `element` and applies the winners; `styleAttribute`, when not null
  // and not 0, names the element's attribute that holds a style declaration list. Returns the
  // style attribute's parse error if there was one, else the first error met applying values.
  unsigned short applyRules(EKElement* element, EKCssPseudoClassCallback pseudoClass,
                            EKCssElementCallback elementCallback, const EKName* styleAttribute);
  // Applies a declaration list written as a style attribute, with no matching.
  unsigned short applyStyleText(EKElement* element, const UnicodeString& styleText);

private:
  struct Collected {
    const EKCssDeclaration* declaration;
    int32_t sourceId;
    uint32_t precedence;
    // Where the declaration's prepared form is kept; null for a style attribute's.
    EKCssDeclarationApplier::PreparedSlot* slot;
    bool custom;
  };

  // Parses `text` as a declaration list into m_style; returns the first parse error.
  unsigned short parseStyle(const UnicodeString& text);
  // Inserts m_style's declarations among the collected ones: normal ones after every sheet
  // declaration of lower than author-important precedence, important ones after author-important
  // ones and before user and user-agent important ones.
  void insertStyle();
  // Sets the custom properties on the element and applies the others, in two passes when there
  // is a priority filter; returns the first error.
  unsigned short applyCollected(EKElement* element);

  const EKCssRulesImpl& m_rules;
  EKCssPropertyCallback m_property;
  EKCssErrorCallback m_error;
  EKCssPriorityFilter m_filter;
  std::vector<Collected> m_collected;
  EKCssDeclarations m_style;
};

} // namespace EKCommonNS
