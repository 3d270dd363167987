// ekcommon css cascade: applies style sheets to a document and prints, for each element, the
// declarations that win, after var() substitution and shorthand expansion, with the origin,
// specificity and position of the rule each comes from; to see why an element gets its style.
#include "Tool.h"

#include "ekcommon/css/internal/EKCssRulesImpl.h"

#include <iostream>
#include <map>
#include <unordered_map>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* const COMMAND = "css";

// Where a stored declaration comes from: its rule's precedence and specificity.
struct Origin {
  uint32_t precedence;
  uint64_t specificity;
};

struct Winner {
  std::string value;
  int sourceId;
  const EKCssDeclaration* declaration;
};

// The winners of the element being applied: the last call for a property wins.
thread_local std::map<std::string, Winner>* tWinners = nullptr;

unsigned short record(EKElement*, EKName property, EKValue value, int sourceId, const EKCssDeclaration* declaration) {
  if (!value.isNull())
    (*tWinners)[toUtf8(property.toString())] = {toUtf8(value.toString()), sourceId, declaration};
  return 0;
}

bool anyMedium(const EKCssMediaQuery*, void*) { return true; }

const char* originName(uint32_t precedence) {
  switch (precedence) {
  case 1:
  case 7:
    return "user-agent";
  case 2:
  case 6:
    return "user";
  default:
    return "author";
  }
}

// "/r/s[2]/p": each step the element's name, with its position among same-named siblings when
// it has such siblings.
std::string pathOf(EKElement* element) {
  std::string path;
  for (EKNode* node = element; node && node->getNodeType() == ELEMENT_NODE; node = node->getParentNode()) {
    int before = 0, after = 0;
    for (EKNode* s = node->getPreviousSibling(); s; s = s->getPreviousSibling())
      before += s->getNodeType() == ELEMENT_NODE && s->getLocalName() == node->getLocalName();
    for (EKNode* s = node->getNextSibling(); s; s = s->getNextSibling())
      after += s->getNodeType() == ELEMENT_NODE && s->getLocalName() == node->getLocalName();
    std::string step = "/" + toUtf8(node->getNodeName().toString());
    if (before + after > 0)
      step += "[" + std::to_string(before + 1) + "]";
    path = step + path;
  }
  return path;
}

void printWinners(const EKCssRulesImpl& rules, const std::unordered_map<const EKCssDeclaration*, Origin>& origins,
                  const std::map<std::string, Winner>& winners) {
  for (const auto& entry : winners) {
    const Winner& winner = entry.second;
    std::cout << "  " << entry.first << ": " << winner.value;
    auto found = origins.find(winner.declaration);
    if (found != origins.end()) {
      const uint64_t s = found->second.specificity;
      std::cout << "  (" << originName(found->second.precedence)
                << (found->second.precedence >= 5 ? " !important" : "") << ", "
                << EKCssSelector::specificityIds(s) << ',' << EKCssSelector::specificityClasses(s) << ','
                << EKCssSelector::specificityTypes(s);
      const std::pair<int32_t, int32_t> at =
          rules.getLineColumn(winner.sourceId, winner.declaration->getSourceOffset());
      std::cout << ", " << toUtf8(rules.getSourceUri(winner.sourceId).getLocalPath()) << ':' << at.first << ':'
                << at.second << ')';
    } else if (winner.declaration) {
      std::cout << "  (style attribute)";
    }
    std::cout << '\n';
  }
}

} // namespace

int runCssCascade(const std::vector<std::string>& args) {
  std::vector<std::pair<EKCascadingOrigin, std::string>> sheets;
  std::string document, element;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--sheet" || arg == "--user-sheet" || arg == "--ua-sheet" || arg == "--element";
    if (takesValue && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (arg == "--element")
        element = value;
      else
        sheets.emplace_back(arg == "--sheet" ? EK_ORIGIN_AUTHOR : arg == "--user-sheet" ? EK_ORIGIN_USER
                                                                                         : EK_ORIGIN_USER_AGENT,
                            value);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError(COMMAND, "cascade: unknown option '" + arg + "'");
    } else if (document.empty()) {
      document = arg;
    } else {
      return usageError(COMMAND, "cascade: give one DOCUMENT");
    }
  }
  if (document.empty() || sheets.empty())
    return usageError(COMMAND, "cascade: give at least one --sheet and a DOCUMENT");

  int status = EXIT_OK;
  EKPtr<EKCssRules> rules = EKCssRules::createRuleMap(UnicodeString());
  for (const auto& sheet : sheets) {
    EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
    EKPtr<EKCssRules> parsed = EKCssRules::createCssRules(sheet.first, UnicodeString(), false, anyMedium, nullptr);
    if (parser->load(nullptr, EKUri(fromUtf8(sheet.second)), UnicodeString()) == 0)
      parser->parseInto(parsed.get());
    if (const std::vector<EKError>* errors = parser->getIssuedErrors()) {
      for (const EKError& error : *errors)
        std::cerr << sheet.second << ':' << error.getLineNumber() << ':' << error.getColumnNumber() << ": "
                  << error.getErrorCode() << ' ' << toUtf8(error.getRawMessage()) << '\n';
      status = EXIT_INPUT_ERROR;
    }
    rules->mergeRules(parsed.get());
  }
  const EKCssRulesImpl& impl = *static_cast<const EKCssRulesImpl*>(rules.get());
  std::unordered_map<const EKCssDeclaration*, Origin> origins;
  const EKCssRuleList& list = impl.getStyleRules();
  for (int pos = 0; pos < list.size(); ++pos) {
    const EKCssSelector& selector = list.at(pos)->getSelector();
    for (const EKCssDeclaration& declaration : list.at(pos)->getDeclarations())
      origins[&declaration] = {selector.precedence, selector.specificity};
  }

  EKPtr<EKDocument> doc(new EKDocument());
  try {
    doc->load(fromUtf8(document));
  } catch (const EKError& error) {
    std::cerr << document << ": " << error.getErrorCode() << ' ' << toUtf8(error.getRawMessage()) << '\n';
    return EXIT_INPUT_ERROR;
  }
  const EKName style(UnicodeString(u"style"));
  bool found = element.empty();
  EKTreeIterator it(doc->getDocumentElement(), EKTreeIterator::PRE_ORDER);
  while (EKNode* node = it.nextNode()) {
    if (!node->isElementNode())
      continue;
    EKElement* e = static_cast<EKElement*>(node);
    if (element.empty() || toUtf8(e->getAttribute(EKN_id).toString()) == element) {
      found = true;
      std::map<std::string, Winner> winners;
      tWinners = &winners;
      rules->applyRules(e, record, nullptr, nullptr, nullptr, nullptr, &style);
      tWinners = nullptr;
      std::cout << pathOf(e) << '\n';
      printWinners(impl, origins, winners);
    }
  }
  if (!found) {
    std::cerr << "ekcommon css: cascade: no element has the id '" << element << "'\n";
    return EXIT_INPUT_ERROR;
  }
  return status;
}

} // namespace EKTool
