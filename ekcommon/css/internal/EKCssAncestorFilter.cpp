#include "ekcommon/css/internal/EKCssAncestorFilter.h"

#include "ekcommon/css/internal/EKCssSelectorMatcher.h"
#include "ekcommon/dom/EKElement.h"

#include <algorithm>
#include <cstring>

namespace EKCommonNS {

namespace {

std::u16string_view view(const UnicodeString& s) {
  return std::u16string_view(s.getBuffer(), static_cast<size_t>(s.length()));
}

} // namespace

uint32_t EKCssAncestorFilter::hash(Kind kind, std::u16string_view name) {
  // FNV-1a over the ASCII-folded units, then a final mix so that both bit positions taken from
  // the result are well spread.
  uint32_t h = 2166136261u ^ static_cast<uint32_t>(kind);
  for (char16_t c : name) {
    if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c + 32);
    h = (h ^ c) * 16777619u;
  }
  h ^= h >> 16;
  h *= 0x85ebca6bu;
  h ^= h >> 13;
  h *= 0xc2b2ae35u;
  h ^= h >> 16;
  return h;
}

void EKCssAncestorFilter::add(uint32_t h) {
  const uint32_t a = h % BITS;
  const uint32_t b = (h >> 16) % BITS;
  m_bits[a / 64] |= uint64_t(1) << (a % 64);
  m_bits[b / 64] |= uint64_t(1) << (b % 64);
}

bool EKCssAncestorFilter::has(uint32_t h) const {
  const uint32_t a = h % BITS;
  const uint32_t b = (h >> 16) % BITS;
  return (m_bits[a / 64] & (uint64_t(1) << (a % 64))) != 0 && (m_bits[b / 64] & (uint64_t(1) << (b % 64))) != 0;
}

int EKCssAncestorFilter::selectorHashes(const EKCssSelector& selector, uint32_t* out) {
  // Each candidate is (priority, hash): ids are the rarest names, element types the commonest.
  std::pair<int, uint32_t> found[3 * MAX_SELECTOR_HASHES];
  int count = 0;
  const auto offer = [&](int priority, uint32_t h) {
    if (count < static_cast<int>(std::size(found)))
      found[count++] = {priority, h};
  };
  const std::vector<EKCssCompound>& compounds = selector.compounds;
  bool ancestor = false;
  for (size_t i = compounds.size(); i-- > 1;) {
    // compounds[i].combinator joins compounds[i - 1] to compounds[i]. Once a descendant or child
    // step has been taken, every compound further left matches an ancestor (siblings of an
    // ancestor's descendants share those ancestors).
    const uint32_t combinator = compounds[i].combinator;
    ancestor = ancestor || combinator == EKCssCompound::DESCENDANT || combinator == EKCssCompound::CHILD;
    if (!ancestor)
      continue;
    const EKCssCompound& compound = compounds[i - 1];
    for (const EKCssSimpleSelector& simple : compound.simples) {
      if (simple.kind == EKCssSimpleSelector::ID)
        offer(0, hash(ID_HASH, view(simple.name.toString())));
      else if (simple.kind == EKCssSimpleSelector::CLASS)
        offer(1, hash(CLASS_HASH, view(simple.name.toString())));
    }
    if (!compound.type.universal)
      offer(2, hash(TYPE_HASH, view(compound.type.localName.toString())));
  }
  std::stable_sort(found, found + count, [](const auto& a, const auto& b) { return a.first < b.first; });
  const int written = std::min(count, MAX_SELECTOR_HASHES);
  for (int i = 0; i < written; ++i)
    out[i] = found[i].second;
  return written;
}

void EKCssAncestorFilter::build(const EKElement* element) {
  std::memset(m_bits, 0, sizeof m_bits);
  m_complete = true;
  UnicodeString scratch;
  int depth = 0;
  for (EKElement* e = EKCssSelectorMatcher::parentElement(element); e; e = EKCssSelectorMatcher::parentElement(e)) {
    if (++depth > MAX_DEPTH) {
      m_complete = false;
      return;
    }
    add(hash(TYPE_HASH, view(e->getLocalName().toString())));
    const std::u16string_view id = EKCssSelectorMatcher::attributeText(e, EKN_id, scratch);
    if (!id.empty())
      add(hash(ID_HASH, id));
    anyWord(EKCssSelectorMatcher::attributeText(e, EKN_class, scratch), [this](std::u16string_view word) {
      add(hash(CLASS_HASH, word));
      return false;
    });
  }
}

bool EKCssAncestorFilter::mayMatch(const uint32_t* hashes, int count) const {
  if (!m_complete)
    return true;
  for (int i = 0; i < count; ++i) {
    if (!has(hashes[i]))
      return false;
  }
  return true;
}

} // namespace EKCommonNS
