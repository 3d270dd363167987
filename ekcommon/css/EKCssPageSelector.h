// The selector of an @page rule as a host reads it: the page name and the pseudo-pages it asks
// for (position, blank, side, :nth()), so that the host can decide which pages the rule styles.
// Rebuilt from the selector record the rules object keeps for each page rule.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/css/EKCssSelector.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/values/EKWritingMode.h"

#include <cstdint>
#include <memory>
#include <set>

namespace EKCommonNS {

class EKCOMMON_API EKCssPageSelector {
public:
  // The kinds of pseudo-page a name stands for, in lower case: "first", "last", "only", "rest"
  // are positions; "blank", "not-blank" blank pseudo-pages; "left", "right", "recto", "verso",
  // "odd", "even" sides; every other name is no pseudo-page.
  enum PseudoPageKind { NO_PSEUDO_PAGE, POSITION, BLANK, SIDE };
  static PseudoPageKind pseudoPageKind(EKName lowerName);

  // A selector that asks for nothing: every page.
  EKCssPageSelector();
  // Copies are deep.
  EKCssPageSelector(const EKCssPageSelector& other);
  EKCssPageSelector& operator=(const EKCssPageSelector& other);
  // A moved-from selector stays usable; what it asks for is unspecified.
  EKCssPageSelector(EKCssPageSelector&& other);
  EKCssPageSelector& operator=(EKCssPageSelector&& other) noexcept;
  ~EKCssPageSelector();

  // The page selector of a stored page-rule record: a named type selector is the page name; the
  // pseudo-classes "first", "last", "only", "rest" are positions, "blank" and "not-blank" blank
  // pseudo-pages, "left", "right", "recto", "verso", "odd", "even" sides, and ":nth()" arguments
  // that read as an+b are kept as such (other simple selectors are not page selectors and are
  // left out). `order` is the number operator< compares.
  static EKCssPageSelector fromSelector(const EKCssSelector& selector, int32_t order);

  // The page name in lower case; the empty name when the selector names no page.
  EKName getPageIdent() const;
  // The first name (in name-number order) of the position, blank and side pseudo-pages; the
  // empty name when there is none.
  EKName getPagePosition() const;
  EKName getBlankOrNotBlank() const;
  EKName getOddOrEven() const;
  // All of them.
  const std::set<EKName>& getPagePositions() const;
  const std::set<EKName>& getBlanks() const;
  const std::set<EKName>& getSides() const;
  // The :nth() arguments.
  const std::set<EKUtil::Nth>* getNths() const;

  // Rewrites the sides as page-number parity for the writing mode: "recto" becomes "odd",
  // "verso" "even", and "left" and "right" the parity they stand for in wm (see
  // EKWritingMode::leftRight2oddEven). False when the selector asks for conflicting pseudo-pages
  // (two positions, two blank pseudo-pages or two sides, e.g. ":left:right"); such a selector
  // applies to no page.
  bool leftRight2oddEven(EKWritingMode wm);

  // Whether a rule with this selector applies to the page that `page` describes by its name and
  // pseudo-pages: it names no page or the same one, and asks for no position, blank or side
  // pseudo-page and no :nth() that `page` lacks. Sides are compared as parity in wm.
  bool appliesTo(const EKCssPageSelector& page, EKWritingMode wm = EKWritingMode()) const;

  // The number given to fromSelector; getPageRules numbers its rules in cascade order, so that a
  // selector is less than those of the rules that win over it.
  int32_t getOrder() const;
  bool operator<(const EKCssPageSelector& other) const { return getOrder() < other.getOrder(); }

private:
  struct Record;
  std::unique_ptr<Record> m_record;
};

} // namespace EKCommonNS
