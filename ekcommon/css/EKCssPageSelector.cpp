#include "ekcommon/css/EKCssPageSelector.h"

namespace EKCommonNS {

struct EKCssPageSelector::Record {
  EKName pageIdent;
  std::set<EKName> positions;
  std::set<EKName> blanks;
  std::set<EKName> sides;
  std::set<EKUtil::Nth> nths;
  int32_t order = 0;
};

namespace {

EKName firstOf(const std::set<EKName>& names) { return names.empty() ? EKName() : *names.begin(); }

bool includes(const std::set<EKName>& all, const std::set<EKName>& some) {
  for (EKName name : some) {
    if (all.count(name) == 0)
      return false;
  }
  return true;
}

std::set<EKName> asParity(const std::set<EKName>& sides, EKWritingMode wm) {
  std::set<EKName> out;
  for (EKName side : sides)
    out.insert(wm.leftRight2oddEven(side));
  return out;
}

} // namespace

EKCssPageSelector::PseudoPageKind EKCssPageSelector::pseudoPageKind(EKName lowerName) {
  switch (static_cast<EKNameEnum>(lowerName)) {
  case EKN_first:
  case EKN_last:
  case EKN_only:
  case EKN_rest:
    return POSITION;
  case EKN_blank:
  case EKN_not_blank:
    return BLANK;
  case EKN_left:
  case EKN_right:
  case EKN_recto:
  case EKN_verso:
  case EKN_odd:
  case EKN_even:
    return SIDE;
  default:
    return NO_PSEUDO_PAGE;
  }
}

EKCssPageSelector::EKCssPageSelector() : m_record(new Record) {}

EKCssPageSelector::EKCssPageSelector(const EKCssPageSelector& other) : m_record(new Record(*other.m_record)) {}

EKCssPageSelector& EKCssPageSelector::operator=(const EKCssPageSelector& other) {
  if (this != &other)
    *m_record = *other.m_record;
  return *this;
}

// The moved-from selector gets a fresh record, so that it stays usable.
EKCssPageSelector::EKCssPageSelector(EKCssPageSelector&& other) : m_record(std::move(other.m_record)) {
  other.m_record.reset(new Record);
}

EKCssPageSelector& EKCssPageSelector::operator=(EKCssPageSelector&& other) noexcept {
  std::swap(m_record, other.m_record);
  return *this;
}

EKCssPageSelector::~EKCssPageSelector() = default;

EKCssPageSelector EKCssPageSelector::fromSelector(const EKCssSelector& selector, int32_t order) {
  EKCssPageSelector page;
  Record& record = *page.m_record;
  record.order = order;
  for (const EKCssCompound& compound : selector.compounds) {
    if (!compound.type.universal && !compound.type.lowerName.isEmpty())
      record.pageIdent = compound.type.lowerName;
    for (const EKCssSimpleSelector& simple : compound.simples) {
      if (simple.kind == EKCssSimpleSelector::FUNCTIONAL_PSEUDO_CLASS && simple.lowerName == EKN_nth) {
        EKUtil::Nth nth;
        if (nth.parse(simple.argument))
          record.nths.insert(nth);
        continue;
      }
      if (simple.kind != EKCssSimpleSelector::PSEUDO_CLASS)
        continue;
      switch (pseudoPageKind(simple.lowerName)) {
      case POSITION:
        record.positions.insert(simple.lowerName);
        break;
      case BLANK:
        record.blanks.insert(simple.lowerName);
        break;
      case SIDE:
        record.sides.insert(simple.lowerName);
        break;
      case NO_PSEUDO_PAGE:
        break;
      }
    }
  }
  return page;
}

EKName EKCssPageSelector::getPageIdent() const { return m_record->pageIdent; }

EKName EKCssPageSelector::getPagePosition() const { return firstOf(m_record->positions); }

EKName EKCssPageSelector::getBlankOrNotBlank() const { return firstOf(m_record->blanks); }

EKName EKCssPageSelector::getOddOrEven() const { return firstOf(m_record->sides); }

const std::set<EKName>& EKCssPageSelector::getPagePositions() const { return m_record->positions; }

const std::set<EKName>& EKCssPageSelector::getBlanks() const { return m_record->blanks; }

const std::set<EKName>& EKCssPageSelector::getSides() const { return m_record->sides; }

const std::set<EKUtil::Nth>* EKCssPageSelector::getNths() const { return &m_record->nths; }

int32_t EKCssPageSelector::getOrder() const { return m_record->order; }

bool EKCssPageSelector::leftRight2oddEven(EKWritingMode wm) {
  m_record->sides = asParity(m_record->sides, wm);
  return m_record->positions.size() <= 1 && m_record->blanks.size() <= 1 && m_record->sides.size() <= 1;
}

bool EKCssPageSelector::appliesTo(const EKCssPageSelector& page, EKWritingMode wm) const {
  const Record& rule = *m_record;
  if (!rule.pageIdent.isEmpty() && rule.pageIdent != page.m_record->pageIdent)
    return false;
  EKCssPageSelector ruleParity(*this);
  EKCssPageSelector pageParity(page);
  if (!ruleParity.leftRight2oddEven(wm))
    return false;
  pageParity.leftRight2oddEven(wm);
  const Record& mine = *ruleParity.m_record;
  const Record& theirs = *pageParity.m_record;
  if (!includes(theirs.positions, mine.positions) || !includes(theirs.blanks, mine.blanks) ||
      !includes(theirs.sides, mine.sides))
    return false;
  for (const EKUtil::Nth& nth : mine.nths) {
    if (theirs.nths.count(nth) == 0)
      return false;
  }
  return true;
}

} // namespace EKCommonNS
