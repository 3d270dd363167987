#include "ekcommon/css/internal/EKCssRuleIndex.h"

#include "ekcommon/css/internal/EKCssSelectorMatcher.h"
#include "ekcommon/dom/EKElement.h"

#include <algorithm>

namespace EKCommonNS {

namespace {

std::u16string_view view(EKName name) {
  const UnicodeString& s = name.toString();
  return std::u16string_view(s.getBuffer(), static_cast<size_t>(s.length()));
}

} // namespace

EKCssRuleIndex::~EKCssRuleIndex() { clearSlots(); }

void EKCssRuleIndex::clearSlots() {
  for (size_t i = 0; i < m_slotCount; ++i)
    delete m_slots[i].load(std::memory_order_relaxed);
  m_slots.reset();
  m_slotCount = 0;
}

void EKCssRuleIndex::build(const EKCssRuleList& list, bool lowerNames) {
  clearSlots();
  m_lowerNames = lowerNames;
  m_ids.clear();
  m_classes.clear();
  m_types.clear();
  m_universal.clear();
  m_entries.clear();
  const std::vector<int32_t>& order = list.sortedIndex();
  m_entries.reserve(order.size());
  for (size_t rank = 0; rank < order.size(); ++rank) {
    const SelectorDeclarationsPair* pair = list.at(order[rank]);
    const EKCssSelector& selector = pair->getSelector();
    m_entries.push_back({pair, m_slotCount});
    m_slotCount += static_cast<size_t>(pair->getDeclarations().size());
    if (selector.compounds.empty())
      continue;
    const EKCssCompound& last = selector.compounds.back();
    const EKCssSimpleSelector* id = nullptr;
    const EKCssSimpleSelector* cls = nullptr;
    for (const EKCssSimpleSelector& simple : last.simples) {
      if (simple.kind == EKCssSimpleSelector::ID && !id)
        id = &simple;
      else if (simple.kind == EKCssSimpleSelector::CLASS && !cls)
        cls = &simple;
    }
    Candidate candidate;
    candidate.rank = static_cast<int32_t>(rank);
    candidate.ancestorHashCount = EKCssAncestorFilter::selectorHashes(selector, candidate.ancestorHashes);
    if (id)
      m_ids[view(lowerNames ? id->lowerName : id->name)].push_back(candidate);
    else if (cls)
      m_classes[view(lowerNames ? cls->lowerName : cls->name)].push_back(candidate);
    else if (!last.type.universal)
      m_types[view(last.type.lowerName)].push_back(candidate);
    else
      m_universal.push_back(candidate);
  }
  m_slots.reset(new EKCssDeclarationApplier::PreparedSlot[m_slotCount]);
  for (size_t i = 0; i < m_slotCount; ++i)
    m_slots[i].store(nullptr, std::memory_order_relaxed);
}

void EKCssRuleIndex::add(const Buckets& buckets, std::u16string_view key, std::vector<const Bucket*>& out) {
  auto it = buckets.find(key);
  if (it != buckets.end())
    out.push_back(&it->second);
}

void EKCssRuleIndex::candidates(EKElement* element, std::vector<const Bucket*>& out) const {
  out.clear();
  if (!m_universal.empty())
    out.push_back(&m_universal);
  if (!m_types.empty())
    add(m_types, view(element->getLocalName().lowerName()), out);
  UnicodeString scratch;
  if (!m_ids.empty()) {
    std::u16string_view id = EKCssSelectorMatcher::attributeText(element, EKN_id, scratch);
    if (m_lowerNames) {
      scratch = UnicodeString(id.data(), static_cast<int32_t>(id.size())).toLower();
      id = std::u16string_view(scratch.getBuffer(), static_cast<size_t>(scratch.length()));
    }
    if (!id.empty())
      add(m_ids, id, out);
  }
  if (!m_classes.empty()) {
    std::u16string_view text = EKCssSelectorMatcher::attributeText(element, EKN_class, scratch);
    if (m_lowerNames) {
      scratch = UnicodeString(text.data(), static_cast<int32_t>(text.size())).toLower();
      text = std::u16string_view(scratch.getBuffer(), static_cast<size_t>(scratch.length()));
    }
    EKCssAncestorFilter::anyWord(text, [&](std::u16string_view word) {
      add(m_classes, word, out);
      return false;
    });
  }
  // A class written twice finds its bucket twice; each bucket must be offered once.
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

} // namespace EKCommonNS
