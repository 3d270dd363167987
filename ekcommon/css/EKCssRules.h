// The rules of one or more CSS style sheets: a style sheet filled by the parser, or a rule map into
// which style sheets are merged. Holds the style rules in cascade order, the font-face,
// script-font and counter-style blocks, the page rules, and one source record per parsed sheet
// for positions, URIs and namespace prefixes; and applies the rules to document elements,
// handing each winning value to the host's callback. Several threads may apply the same rules to
// different elements at once, as long as no thread changes the rules meanwhile.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/css/EKCascadingOrigin.h"
#include "ekcommon/css/EKCssCallbacks.h"
#include "ekcommon/css/EKCssDeclarationsList.h"
#include "ekcommon/css/EKCssMediaQueryList.h"
#include "ekcommon/css/EKCssPageRuleList.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/resources/EKUri.h"

#include <utility>

namespace EKCommonNS {

class EKCOMMON_API EKCssRules : public EKRCObject {
  EK_TYPE_IDENTITY(EKCssRules, EKRCObject)
public:
  // Option bits of the rules object (default word 24).
  static constexpr unsigned int DEFAULT_OPTIONS = 24;

  // A new, empty style sheet for the parser to fill.
  static EKPtr<EKCssRules> createCssRules(EKCascadingOrigin origin, const UnicodeString& setName, bool alternate,
                                          EKCssMediaMatch mediaMatch, void* userData);
  // A new, empty rule map into which style sheets are merged.
  static EKPtr<EKCssRules> createRuleMap(const UnicodeString& setName);

  // Sets (on) or clears the option bits; returns the new word when setting and the previous word
  // when clearing.
  virtual unsigned int setFeature(unsigned int bits, bool on) = 0;
  // The option word masked with bits.
  virtual unsigned int getFeature(unsigned int bits) const = 0;

  // Applies the rules to `element`: every rule whose selector matches contributes its
  // declarations, which go in cascade order (precedence, specificity, source order) to
  // `property` after var() substitution and shorthand expansion, so that the last call for a
  // property carries the winner. `styleAttribute` (may be null or 0) names the element's attribute
  // holding a style declaration list, placed after the sheets' normal declarations and before
  // their important ones. Custom properties are set on the element as attributes instead. The
  // other callbacks may be null (see EKCssCallbacks.h). Returns the style attribute's parse error
  // if there was one, else the first error met applying values (0 when none).
  virtual unsigned short applyRules(EKElement* element, EKCssPropertyCallback property, EKCssErrorCallback error,
                                    EKCssPriorityFilter priorityFilter, EKCssPseudoClassCallback pseudoClass,
                                    EKCssElementCallback elementCallback, const EKName* styleAttribute) = 0;
  // Applies `styleText` read as a style attribute's declaration list, with no selector matching.
  virtual unsigned short applyStyleAttributes(EKElement* element, EKCssPropertyCallback property,
                                              EKCssErrorCallback error, EKCssPriorityFilter priorityFilter,
                                              const UnicodeString& styleText) = 0;
  // The two calls with only a property callback.
  unsigned short applyRules(EKElement* element, EKCssPropertyCallback property, EKName styleAttribute);
  unsigned short applyStyleAttributes(EKElement* element, EKCssPropertyCallback property,
                                      const UnicodeString& styleText);

  // Appends the rules and source records of sheet, which must be a style sheet made by
  // createCssRules (anything else is ignored). An alternate sheet without a set name adds nothing;
  // the first merged non-alternate sheet with a set name gives the rules their set name when they
  // have none.
  virtual void mergeRules(EKCssRules* sheet) = 0;
  // True once some rule set was stored or merged.
  virtual bool hasRules() const = 0;
  // Applies one declaration from the sheet sourceId to `element` as applyRules applies each
  // winner (a single declaration needs no priority pass, so the filter is not consulted).
  virtual unsigned short applyDeclaration(EKElement* element, EKCssPropertyCallback property,
                                          EKCssErrorCallback error, EKCssPriorityFilter priorityFilter,
                                          const EKCssDeclaration* declaration, int sourceId) = 0;

  // The namespace bound to prefix in the sheet sourceId and whether a binding was found. An
  // unknown source or prefix gives the empty name, found only for the empty prefix.
  virtual std::pair<EKName, bool> lookupNamespace(int sourceId, EKName prefix) const = 0;
  // The number of source records; valid source ids are 0 to this minus one.
  virtual int getSourceCount() const = 0;
  // The id of the first source whose base or input URI string equals uri's; -1 when none does.
  virtual int findSourceId(const EKUri& uri) const = 0;

  virtual UnicodeString getSetName() const = 0;
  // The base URI of the sheet sourceId; empty for an unknown id.
  virtual EKUri getSourceUri(int sourceId) const = 0;
  // Line and column (both from 1) of a UTF-16 offset in the text of the sheet sourceId, with the
  // sheet's start position added; (-1, -1) for an unknown sheet or an offset before its text.
  virtual std::pair<int32_t, int32_t> getLineColumn(int sourceId, int32_t offset) const = 0;
  // Removes every stored rule of the origin (normal and important). Removed declarations stay
  // allocated, and pointers to them valid, until the rules object is destroyed.
  virtual void removeOrigin(int origin) = 0;

  // The @page rules, one for each page selector and importance, in cascade order: by precedence,
  // then specificity (page name, then position, blank and :nth() pseudo-pages, then sides), then
  // source order. The list is a copy; its declarations point into this object.
  virtual EKPtr<EKCssPageRuleList> getPageRules() const = 0;

  // The font-face, script-font and named counter-style blocks, in cascade order.
  virtual EKPtr<EKCssDeclarationsList> getFontFaceRules() const = 0;
  virtual EKPtr<EKCssDeclarationsList> getScriptFontRules() const = 0;
  virtual EKPtr<EKCssDeclarationsList> getCounterStyleRules(EKName name) const = 0;

  // -1 for a rule map; the origin of a style sheet.
  virtual int getOrigin() const = 0;
  // Empty for a rule map; the set name a style sheet was created with.
  virtual UnicodeString getSheetSetName() const = 0;
  // False for a rule map; whether a style sheet was created as an alternate sheet.
  virtual bool isAlternate() const = 0;
};

} // namespace EKCommonNS
