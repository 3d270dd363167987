// Fuzzes selector parsing and matching: the input, as UTF-8, is a style sheet applied to every
// element of a fixed small document (namespaces, ids, classes, attributes, siblings, nesting).
// For each element the rules the index offers and that match must be exactly the rules that
// match when every rule is tried, and applying must end with 0 or a style-sheet error code.
#include <ekcommon/css/internal/EKCssAncestorFilter.h>
#include <ekcommon/css/internal/EKCssRuleIndex.h>
#include <ekcommon/css/internal/EKCssRulesImpl.h>
#include <ekcommon/css/internal/EKCssSelectorMatcher.h>
#include <ekcommon/ekcommon.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

const char* const DOCUMENT =
    "<html xmlns='http://www.w3.org/1999/xhtml' xmlns:s='urn:s' lang='en'>"
    "<body id='b' class='page Main'><div class='a b' id='d1' title='one two' data-x='1-2'>"
    "<p class='a' lang='en-US'>t</p><p id='p2'/><s:rect s:w='3' class='b'/><span/></div>"
    "<ul><li class='x'/><li class='x y'/><li/><li id='last'><em/></li></ul><div/></body></html>";

struct Tree {
  EKPtr<EKDocument> doc{new EKDocument()};
  std::vector<EKElement*> elements;
  Tree() {
    std::istringstream in(DOCUMENT);
    doc->load(in, nullptr, UnicodeString(u"fuzz.xhtml"));
    std::vector<EKNode*> stack{doc->getDocumentElement()};
    while (!stack.empty()) {
      EKNode* node = stack.back();
      stack.pop_back();
      if (node->getNodeType() != ELEMENT_NODE)
        continue;
      elements.push_back(static_cast<EKElement*>(node));
      for (EKNode* child = node->getLastChild(); child; child = child->getPreviousSibling())
        stack.push_back(child);
    }
  }
};

bool g_hover = false;

bool pseudoClass(EKElement* element, EKName, const EKValue&) {
  check(element != nullptr);
  return g_hover;
}

unsigned short property(EKElement* element, EKName, EKValue, int, const EKCssDeclaration*) {
  check(element != nullptr);
  return 0;
}

bool anyMedium(const EKCssMediaQuery*, void*) { return true; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  // A fresh tree each time: applying sets custom properties on the elements.
  Tree tree;
  g_hover = (data[0] & 1) != 0;
  const unsigned int options = (data[0] & 2 ? 2u : 0u) | (data[0] & 4 ? 256u : 0u) | (data[0] & 8 ? 0u : 16u) | 8u;
  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, anyMedium, nullptr);
  parser->setText(UnicodeString::fromUTF8(std::string(reinterpret_cast<const char*>(data + 1), size - 1)), EKName(),
                  EKUri());
  parser->parseInto(sheet.get());
  sheet->setFeature(~0u, false);
  sheet->setFeature(options, true);

  const EKCssRulesImpl& rules = *static_cast<const EKCssRulesImpl*>(sheet.get());
  const EKCssRuleList& list = rules.getStyleRules();
  const EKCssRulesImpl::IndexView index = rules.getIndex();
  EKCssSelectorMatcher matcher(rules, options, pseudoClass, nullptr);
  const EKName style(UnicodeString(u"style"));
  std::vector<const EKCssRuleIndex::Bucket*> buckets;
  for (EKElement* element : tree.elements) {
    std::set<int32_t> everyRule, indexed;
    for (size_t rank = 0; rank < index.order->size(); ++rank) {
      const SelectorDeclarationsPair* pair = list.at((*index.order)[rank]);
      if (matcher.matches(pair->getSelector(), pair->getDeclarations().getSourceId(), element, EKName(), nullptr))
        everyRule.insert(static_cast<int32_t>(rank));
    }
    index.index->candidates(element, buckets);
    std::vector<int32_t> ranks;
    EKCssAncestorFilter filter;
    filter.build(element);
    for (const EKCssRuleIndex::Bucket* bucket : buckets) {
      for (const EKCssRuleIndex::Candidate& candidate : *bucket) {
        ranks.push_back(candidate.rank);
        if (!filter.mayMatch(candidate.ancestorHashes, candidate.ancestorHashCount))
          continue;
        const SelectorDeclarationsPair* pair = index.index->entry(candidate.rank).pair;
        check(pair == list.at((*index.order)[static_cast<size_t>(candidate.rank)]));
        if (matcher.matches(pair->getSelector(), pair->getDeclarations().getSourceId(), element, EKName(), nullptr))
          indexed.insert(candidate.rank);
      }
    }
    std::sort(ranks.begin(), ranks.end());
    check(std::adjacent_find(ranks.begin(), ranks.end()) == ranks.end());
    check(everyRule == indexed);
    const unsigned short code =
        sheet->applyRules(element, property, nullptr, nullptr, pseudoClass, nullptr, &style);
    check(code == 0 || (code >= 929 && code <= 988));
  }
  return 0;
}
