// The rules object proper: a rule map made by createRuleMap, and the base of the style sheets the
// parser fills. Keeps the stored rules, the source records of the sheets they came from, and the
// storage of removed rules, which lives as long as the object.
#pragma once

#include "ekcommon/css/EKCssRules.h"
#include "ekcommon/css/internal/EKCssRuleIndex.h"
#include "ekcommon/css/internal/EKCssRuleList.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace EKCommonNS {

// What the rules keep of one parsed sheet.
struct EKCssSource {
  UnicodeString baseUri;
  UnicodeString inputUri;
  // UTF-16 offsets at which the sheet's lines begin, ascending, and the position of the sheet's
  // text in a larger document.
  std::vector<int32_t> lineStarts;
  int32_t startLine = 0;
  int32_t startColumn = 0;
  // Prefix to namespace URI; the empty prefix is the default namespace.
  std::map<EKName, EKName> namespaces;
  int origin = -1;
  UnicodeString setName;
};

class EKCOMMON_API EKCssRulesImpl : public EKCssRules {
  EK_TYPE_IDENTITY(EKCssRulesImpl, EKCssRules)
public:
  // The parser's feature word a new rules object assumes.
  static constexpr unsigned int DEFAULT_PARSER_FEATURES = 128;

  // The rules keep names (selectors, properties, namespaces) for their whole life, so they hold a
  // reference on the shared name table.
  explicit EKCssRulesImpl(const UnicodeString& setName);
  ~EKCssRulesImpl() override;

  unsigned int setFeature(unsigned int bits, bool on) override;
  unsigned int getFeature(unsigned int bits) const override { return m_options & bits; }
  using EKCssRules::applyRules;
  using EKCssRules::applyStyleAttributes;
  unsigned short applyRules(EKElement* element, EKCssPropertyCallback property, EKCssErrorCallback error,
                            EKCssPriorityFilter priorityFilter, EKCssPseudoClassCallback pseudoClass,
                            EKCssElementCallback elementCallback, const EKName* styleAttribute) override;
  unsigned short applyStyleAttributes(EKElement* element, EKCssPropertyCallback property, EKCssErrorCallback error,
                                      EKCssPriorityFilter priorityFilter, const UnicodeString& styleText) override;
  unsigned short applyDeclaration(EKElement* element, EKCssPropertyCallback property, EKCssErrorCallback error,
                                  EKCssPriorityFilter priorityFilter, const EKCssDeclaration* declaration,
                                  int sourceId) override;
  void mergeRules(EKCssRules* sheet) override;
  bool hasRules() const override { return m_ruleCounter != 0; }
  std::pair<EKName, bool> lookupNamespace(int sourceId, EKName prefix) const override;
  int getSourceCount() const override { return static_cast<int>(m_sources.size()); }
  int findSourceId(const EKUri& uri) const override;
  UnicodeString getSetName() const override { return m_setName; }
  EKUri getSourceUri(int sourceId) const override;
  std::pair<int32_t, int32_t> getLineColumn(int sourceId, int32_t offset) const override;
  void removeOrigin(int origin) override;
  EKPtr<EKCssPageRuleList> getPageRules() const override;
  EKPtr<EKCssDeclarationsList> getFontFaceRules() const override { return m_fontFaces.declarationsInOrder(); }
  EKPtr<EKCssDeclarationsList> getScriptFontRules() const override { return m_scriptFonts.declarationsInOrder(); }
  EKPtr<EKCssDeclarationsList> getCounterStyleRules(EKName name) const override;
  int getOrigin() const override { return -1; }
  UnicodeString getSheetSetName() const override { return UnicodeString(); }
  bool isAlternate() const override { return false; }

  // The source record sourceId; null for an unknown id.
  const EKCssSource* getSource(int sourceId) const;
  // Binds prefix to uri in the source record, replacing an earlier binding; false for an unknown
  // source.
  bool declareNamespace(int sourceId, EKName prefix, EKName uri);
  // The source order number for the next rule set, counting it as seen.
  int32_t nextRuleNumber() { return m_ruleCounter++; }
  int32_t getRuleCounter() const { return m_ruleCounter; }
  // The parser's feature word, copied when a sheet is parsed or merged.
  unsigned int getParserFeatures() const { return m_parserFeatures; }
  void setParserFeatures(unsigned int features) { m_parserFeatures = features; }

  const EKCssRuleList& getStyleRules() const { return m_styleRules; }
  // The bucket index of the style rules and their cascade order, rebuilt first when the rules or
  // the options changed since it was built. Safe to call from several threads at once.
  struct IndexView {
    const EKCssRuleIndex* index;
    const std::vector<int32_t>* order;
  };
  IndexView getIndex() const;
  const EKCssRuleList& getPageRuleList() const { return m_pageRules; }
  // The names that have counter-style blocks, in name-number order.
  std::vector<EKName> getCounterStyleNames() const;
  // Removed rules; kept so that declarations handed out earlier stay valid.
  int getRetiredCount() const { return static_cast<int>(m_retired.size()); }

protected:
  int32_t addSourceRecord(EKCssSource source);

  UnicodeString m_setName;
  EKCssRuleList m_styleRules;
  int32_t m_ruleCounter = 0;
  unsigned int m_options = DEFAULT_OPTIONS;
  unsigned int m_parserFeatures = DEFAULT_PARSER_FEATURES;
  std::vector<EKCssSource> m_sources;
  std::vector<EKPtr<SelectorDeclarationsPair>> m_retired;
  // One pair per page selector and importance; the normal one holds the nested blocks.
  EKCssRuleList m_pageRules;
  EKCssRuleList m_fontFaces;
  EKCssRuleList m_scriptFonts;
  std::map<EKName, EKCssRuleList> m_counterStyles;

private:
  mutable std::mutex m_indexLock;
  mutable std::unique_ptr<EKCssRuleIndex> m_index;
  mutable uint64_t m_indexVersion = 0;
  mutable unsigned int m_indexOptions = 0;
};

} // namespace EKCommonNS
