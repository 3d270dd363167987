#include "ekcommon/css/internal/EKCssRulesImpl.h"

#include "ekcommon/css/internal/EKCssCascade.h"
#include "ekcommon/css/internal/EKCssDeclarationApplier.h"
#include "ekcommon/css/internal/EKCssPageRuleFactory.h"
#include "ekcommon/css/internal/EKCssRulesStylesheet.h"
#include "ekcommon/css/internal/EKCssSelectorMatcher.h"
#include "ekcommon/names/EKNameTable.h"

#include <algorithm>

namespace EKCommonNS {

EKCssRulesImpl::EKCssRulesImpl(const UnicodeString& setName) : m_setName(setName) {
  EKNameTable::addRefSharedNameTable();
}

EKCssRulesImpl::~EKCssRulesImpl() { EKNameTable::releaseSharedNameTable(); }

unsigned int EKCssRulesImpl::setFeature(unsigned int bits, bool on) {
  if (on) {
    m_options |= bits;
    return m_options;
  }
  unsigned int previous = m_options;
  m_options &= ~bits;
  return previous;
}

void EKCssRulesImpl::mergeRules(EKCssRules* sheet) {
  EKCssRulesStylesheet* source = ekCast<EKCssRulesStylesheet>(sheet);
  if (!source || source == this)
    return;
  UnicodeString sheetSetName = source->getSheetSetName();
  if (!sheetSetName.isEmpty()) {
    if (m_setName.isEmpty() && !source->isAlternate())
      m_setName = sheetSetName;
  } else if (source->isAlternate()) {
    return;
  }
  m_parserFeatures = source->m_parserFeatures;
  const int32_t sourceOffset = static_cast<int32_t>(m_sources.size());
  const int32_t orderOffset = m_ruleCounter;
  m_styleRules.appendRenumbered(source->m_styleRules, sourceOffset, orderOffset);
  m_pageRules.appendRenumbered(source->m_pageRules, sourceOffset, orderOffset);
  m_fontFaces.appendRenumbered(source->m_fontFaces, sourceOffset, orderOffset);
  m_scriptFonts.appendRenumbered(source->m_scriptFonts, sourceOffset, orderOffset);
  for (const auto& entry : source->m_counterStyles)
    m_counterStyles[entry.first].appendRenumbered(entry.second, sourceOffset, orderOffset);
  for (const EKCssSource& record : source->m_sources) {
    m_sources.push_back(record);
    if (!sheetSetName.isEmpty())
      m_sources.back().setName = sheetSetName;
  }
  m_ruleCounter += source->m_ruleCounter;
}

const EKCssSource* EKCssRulesImpl::getSource(int sourceId) const {
  if (sourceId < 0 || sourceId >= static_cast<int>(m_sources.size()))
    return nullptr;
  return &m_sources[static_cast<size_t>(sourceId)];
}

int32_t EKCssRulesImpl::addSourceRecord(EKCssSource source) {
  m_sources.push_back(std::move(source));
  return static_cast<int32_t>(m_sources.size()) - 1;
}

bool EKCssRulesImpl::declareNamespace(int sourceId, EKName prefix, EKName uri) {
  if (!getSource(sourceId))
    return false;
  m_sources[static_cast<size_t>(sourceId)].namespaces[prefix] = uri;
  return true;
}

std::pair<EKName, bool> EKCssRulesImpl::lookupNamespace(int sourceId, EKName prefix) const {
  if (const EKCssSource* source = getSource(sourceId)) {
    auto found = source->namespaces.find(prefix);
    if (found != source->namespaces.end())
      return {found->second, true};
  }
  return {EKName(), prefix.isEmpty()};
}

int EKCssRulesImpl::findSourceId(const EKUri& uri) const {
  const UnicodeString& wanted = uri.toString();
  for (size_t i = 0; i < m_sources.size(); ++i) {
    if (m_sources[i].baseUri == wanted || m_sources[i].inputUri == wanted)
      return static_cast<int>(i);
  }
  return -1;
}

EKUri EKCssRulesImpl::getSourceUri(int sourceId) const {
  const EKCssSource* source = getSource(sourceId);
  return source && !source->baseUri.isEmpty() ? EKUri(source->baseUri) : EKUri();
}

std::pair<int32_t, int32_t> EKCssRulesImpl::getLineColumn(int sourceId, int32_t offset) const {
  const EKCssSource* source = getSource(sourceId);
  if (!source || source->lineStarts.empty() || offset < source->lineStarts.front())
    return {-1, -1};
  const auto& starts = source->lineStarts;
  const size_t line = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
  int32_t column = offset - starts[line] + 1;
  if (line == 0)
    column += source->startColumn;
  return {static_cast<int32_t>(line) + source->startLine + 1, column};
}

void EKCssRulesImpl::removeOrigin(int origin) {
  m_styleRules.removeOrigin(origin, m_retired);
  m_pageRules.removeOrigin(origin, m_retired);
  m_fontFaces.removeOrigin(origin, m_retired);
  m_scriptFonts.removeOrigin(origin, m_retired);
  for (auto it = m_counterStyles.begin(); it != m_counterStyles.end();) {
    it->second.removeOrigin(origin, m_retired);
    it = it->second.empty() ? m_counterStyles.erase(it) : std::next(it);
  }
}

EKPtr<EKCssPageRuleList> EKCssRulesImpl::getPageRules() const {
  return EKCssPageRuleFactory::inCascadeOrder(m_pageRules);
}

EKPtr<EKCssDeclarationsList> EKCssRulesImpl::getCounterStyleRules(EKName name) const {
  auto found = m_counterStyles.find(name);
  if (found == m_counterStyles.end())
    return EKPtr<EKCssDeclarationsList>(new EKCssDeclarationsList({}));
  return found->second.declarationsInOrder();
}

std::vector<EKName> EKCssRulesImpl::getCounterStyleNames() const {
  std::vector<EKName> names;
  for (const auto& entry : m_counterStyles)
    names.push_back(entry.first);
  return names;
}

EKCssRulesImpl::IndexView EKCssRulesImpl::getIndex() const {
  std::lock_guard<std::mutex> guard(m_indexLock);
  if (!m_index || m_indexVersion != m_styleRules.version() || m_indexOptions != m_options) {
    if (!m_index)
      m_index = std::make_unique<EKCssRuleIndex>();
    EKCssSelectorMatcher probe(*this, m_options, nullptr, nullptr);
    m_index->build(m_styleRules, probe.lowerCaseNames());
    m_indexVersion = m_styleRules.version();
    m_indexOptions = m_options;
  }
  return {m_index.get(), &m_styleRules.sortedIndex()};
}

unsigned short EKCssRulesImpl::applyRules(EKElement* element, EKCssPropertyCallback property,
                                          EKCssErrorCallback error, EKCssPriorityFilter priorityFilter,
                                          EKCssPseudoClassCallback pseudoClass, EKCssElementCallback elementCallback,
                                          const EKName* styleAttribute) {
  return EKCssCascade(*this, property, error, priorityFilter)
      .applyRules(element, pseudoClass, elementCallback, styleAttribute);
}

unsigned short EKCssRulesImpl::applyStyleAttributes(EKElement* element, EKCssPropertyCallback property,
                                                    EKCssErrorCallback error, EKCssPriorityFilter priorityFilter,
                                                    const UnicodeString& styleText) {
  return EKCssCascade(*this, property, error, priorityFilter).applyStyleText(element, styleText);
}

unsigned short EKCssRulesImpl::applyDeclaration(EKElement* element, EKCssPropertyCallback property,
                                                EKCssErrorCallback error, EKCssPriorityFilter,
                                                const EKCssDeclaration* declaration, int sourceId) {
  if (!element || !declaration)
    return 0;
  return EKCssDeclarationApplier(this, element, property, error).apply(*declaration, sourceId);
}

} // namespace EKCommonNS
