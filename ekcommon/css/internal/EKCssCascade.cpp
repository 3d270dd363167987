#include "ekcommon/css/internal/EKCssCascade.h"

#include "ekcommon/css/internal/EKCssAncestorFilter.h"
#include "ekcommon/css/internal/EKCssDeclarationApplier.h"
#include "ekcommon/css/internal/EKCssDeclarationParser.h"
#include "ekcommon/css/internal/EKCssRuleIndex.h"
#include "ekcommon/css/internal/EKCssRulesImpl.h"
#include "ekcommon/css/internal/EKCssSelectorMatcher.h"
#include "ekcommon/dom/EKElement.h"

#include <algorithm>
#include <string>

namespace EKCommonNS {

namespace {

// Precedences below these come before a style attribute's normal and important declarations.
constexpr uint32_t STYLE_NORMAL_PLACE = 4;
constexpr uint32_t STYLE_IMPORTANT_PLACE = 6;

bool isCustomProperty(EKName property) { return property.toString().startsWith(u"--"); }

} // namespace

EKCssCascade::EKCssCascade(const EKCssRulesImpl& rules, EKCssPropertyCallback property, EKCssErrorCallback error,
                           EKCssPriorityFilter filter)
    : m_rules(rules), m_property(property), m_error(error), m_filter(filter) {}

unsigned short EKCssCascade::applyRules(EKElement* element, EKCssPseudoClassCallback pseudoClass,
                                        EKCssElementCallback elementCallback, const EKName* styleAttribute) {
  if (!element)
    return 0;
  EKName target;
  if (elementCallback)
    elementCallback(element, EK_CSS_MATCH_TARGET, &target);
  EKCssSelectorMatcher matcher(m_rules, m_rules.getFeature(~0u), pseudoClass, elementCallback);
  std::vector<const EKCssRuleIndex::Bucket*> buckets;
  // Ranks of the rules that match, and of those that would match for a pseudo-element.
  std::vector<int32_t> matched;
  std::vector<std::pair<int32_t, EKName>> pseudoMatched;
  {
    const EKCssRulesImpl::IndexView index = m_rules.getIndex();
    index.index->candidates(element, buckets);
    const UnicodeString setName = m_rules.getSetName();
    EKCssAncestorFilter filter;
    bool filterBuilt = false;
    for (const EKCssRuleIndex::Bucket* bucket : buckets) {
      for (const EKCssRuleIndex::Candidate& candidate : *bucket) {
        if (candidate.ancestorHashCount > 0) {
          if (!filterBuilt) {
            filter.build(element);
            filterBuilt = true;
          }
          if (!filter.mayMatch(candidate.ancestorHashes, candidate.ancestorHashCount))
            continue;
        }
        const SelectorDeclarationsPair* pair = index.index->entry(candidate.rank).pair;
        const int sourceId = pair->getDeclarations().getSourceId();
        const EKCssSource* source = m_rules.getSource(sourceId);
        if (source && !source->setName.isEmpty() && source->setName != setName)
          continue;
        EKName pseudo;
        if (matcher.matches(pair->getSelector(), sourceId, element, target, &pseudo))
          matched.push_back(candidate.rank);
        else if (!pseudo.isEmpty())
          pseudoMatched.emplace_back(candidate.rank, pseudo);
      }
    }
    std::sort(matched.begin(), matched.end());
    for (int32_t rank : matched) {
      const EKCssRuleIndex::Entry& entry = index.index->entry(rank);
      const EKCssDeclarations& declarations = entry.pair->getDeclarations();
      const uint32_t precedence = entry.pair->getSelector().precedence;
      for (int i = 0; i < declarations.size(); ++i) {
        const EKCssDeclaration& declaration = declarations.at(i);
        m_collected.push_back({&declaration, declarations.getSourceId(), precedence,
                               index.index->slot(entry, static_cast<size_t>(i)),
                               isCustomProperty(declaration.getProperty())});
      }
    }
  }
  // Each pseudo-element with rules is announced once, in cascade order.
  std::sort(pseudoMatched.begin(), pseudoMatched.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<EKName> pseudoElements;
  for (const auto& item : pseudoMatched) {
    if (std::find(pseudoElements.begin(), pseudoElements.end(), item.second) == pseudoElements.end())
      pseudoElements.push_back(item.second);
  }
  unsigned short result = 0;
  if (styleAttribute && !styleAttribute->isEmpty() && element->hasAttribute(*styleAttribute)) {
    result = parseStyle(element->getAttribute(*styleAttribute).toString());
    insertStyle();
  }
  const unsigned short applied = applyCollected(element);
  for (EKName pseudo : pseudoElements) {
    if (elementCallback)
      elementCallback(element, EK_CSS_PSEUDO_ELEMENT_MATCHED, &pseudo);
  }
  return result != 0 ? result : applied;
}

unsigned short EKCssCascade::applyStyleText(EKElement* element, const UnicodeString& styleText) {
  if (!element)
    return 0;
  const unsigned short result = parseStyle(styleText);
  insertStyle();
  const unsigned short applied = applyCollected(element);
  return result != 0 ? result : applied;
}

unsigned short EKCssCascade::parseStyle(const UnicodeString& text) {
  std::u16string buffer(text.getBuffer(), static_cast<size_t>(text.length()));
  const std::vector<uint32_t> lineStarts = cssLineStarts(buffer.c_str(), static_cast<int32_t>(buffer.size()));
  EKCssReader reader(buffer.data(), &lineStarts, 0, 0, UnicodeString());
  m_style = EKCssDeclarations(-1);
  return EKCssDeclarationParser(reader, m_rules.getParserFeatures()).parseList(m_style);
}

void EKCssCascade::insertStyle() {
  // The collected declarations are in ascending precedence, so each insertion point is the end
  // of a run; the attribute's own order is kept within each importance.
  for (bool important : {false, true}) {
    const uint32_t place = important ? STYLE_IMPORTANT_PLACE : STYLE_NORMAL_PLACE;
    auto at = std::partition_point(m_collected.begin(), m_collected.end(),
                                   [place](const Collected& c) { return c.precedence < place; });
    std::vector<Collected> inserted;
    for (const EKCssDeclaration& declaration : m_style) {
      if (declaration.isImportant() == important)
        inserted.push_back({&declaration, -1, place, nullptr, isCustomProperty(declaration.getProperty())});
    }
    m_collected.insert(at, inserted.begin(), inserted.end());
  }
}

unsigned short EKCssCascade::applyCollected(EKElement* element) {
  for (const Collected& c : m_collected) {
    if (c.custom)
      element->setAttributeNS(EKCssDeclarationApplier::customPropertyNamespace(),
                              EKCssDeclarationApplier::customPropertyPrefix(), c.declaration->getProperty(),
                              EKValue(c.declaration->getValueText(), UNIT_STRING));
  }
  EKCssDeclarationApplier applier(&m_rules, element, m_property, m_error);
  unsigned short first = 0;
  auto apply = [&](const Collected& c) {
    const unsigned short code = applier.apply(*c.declaration, c.sourceId, c.slot);
    if (first == 0)
      first = code;
  };
  if (!m_filter) {
    for (const Collected& c : m_collected) {
      if (!c.custom)
        apply(c);
    }
    m_collected.clear();
    return first;
  }
  // Declarations applied in the first pass; when none was, the second pass applies them all.
  std::vector<bool> early(m_collected.size(), false);
  for (size_t i = 0; i < m_collected.size(); ++i) {
    const Collected& c = m_collected[i];
    if (c.custom || !m_filter(element, c.declaration->getProperty()))
      continue;
    early[i] = true;
    apply(c);
  }
  m_filter(element, EKName());
  for (size_t i = 0; i < m_collected.size(); ++i) {
    if (!early[i] && !m_collected[i].custom)
      apply(m_collected[i]);
  }
  m_collected.clear();
  return first;
}

} // namespace EKCommonNS
