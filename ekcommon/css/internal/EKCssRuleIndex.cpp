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

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

} // namespace

void EKCssRuleIndex::build(const EKCssRuleList& list, bool lowerNames) {
  m_lowerNames = lowerNames;
  m_ids.clear();
  m_classes.clear();
  m_types.clear();
  m_universal.clear();
  const std::vector<int32_t>& order = list.sortedIndex();
  for (size_t rank = 0; rank < order.size(); ++rank) {
    const EKCssSelector& selector = list.at(order[rank])->getSelector();
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
    const int32_t r = static_cast<int32_t>(rank);
    if (id)
      m_ids[view(lowerNames ? id->lowerName : id->name)].push_back(r);
    else if (cls)
      m_classes[view(lowerNames ? cls->lowerName : cls->name)].push_back(r);
    else if (!last.type.universal)
      m_types[view(last.type.lowerName)].push_back(r);
    else
      m_universal.push_back(r);
  }
}

void EKCssRuleIndex::add(const Buckets& buckets, std::u16string_view key, std::vector<int32_t>& out) {
  auto it = buckets.find(key);
  if (it != buckets.end())
    out.insert(out.end(), it->second.begin(), it->second.end());
}

void EKCssRuleIndex::candidates(EKElement* element, std::vector<int32_t>& out) const {
  out.assign(m_universal.begin(), m_universal.end());
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
    std::vector<std::u16string_view> words;
    for (size_t i = 0; i < text.size();) {
      while (i < text.size() && isSpace(text[i]))
        ++i;
      size_t end = i;
      while (end < text.size() && !isSpace(text[end]))
        ++end;
      if (end > i)
        words.push_back(text.substr(i, end - i));
      i = end;
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    for (std::u16string_view word : words)
      add(m_classes, word, out);
  }
  std::sort(out.begin(), out.end());
}

} // namespace EKCommonNS
