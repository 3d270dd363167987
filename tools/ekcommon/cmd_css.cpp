// ekcommon css: the library's style-sheet grammar on the command line. "parse" reads a sheet and
// prints the rules as they were stored, to see what each selector and declaration was read as;
// "page" prints a sheet's @page rules as a host receives them, optionally only those that apply
// to a given page; "media" reads media query lists as they follow @media and prints each as the
// library writes it back. All list the errors met.
#include "Tool.h"

#include "ekcommon/css/internal/EKCssMediaQueryParser.h"
#include "ekcommon/css/internal/EKCssRulesImpl.h"

#include <algorithm>
#include <iostream>
#include <sstream>

namespace EKTool {

using namespace EKCommonNS;

namespace {

const char* const COMMAND = "css";

void printErrors(const std::vector<EKError>& errors) {
  for (const EKError& reported : errors)
    std::cerr << reported.getLineNumber() << ':' << reported.getColumnNumber() << ": " << reported.getErrorCode()
              << ' ' << toUtf8(reported.getRawMessage()) << '\n';
}

// "--feature" names: the constant's name without "FEATURE_", in any case, '-' or '_' between words.
bool featureBit(std::string name, unsigned int& bit) {
  static const std::pair<const char*, unsigned int> FEATURES[] = {
      {"expressions", EKCssParser::FEATURE_EXPRESSIONS},
      {"dotted-properties", EKCssParser::FEATURE_DOTTED_PROPERTIES},
      {"hash-anywhere", EKCssParser::FEATURE_HASH_ANYWHERE},
      {"declaration-offsets", EKCssParser::FEATURE_DECLARATION_OFFSETS},
      {"ignore-import", EKCssParser::FEATURE_IGNORE_IMPORT},
      {"ignore-media", EKCssParser::FEATURE_IGNORE_MEDIA},
      {"ignore-page-context", EKCssParser::FEATURE_IGNORE_PAGE_CONTEXT},
      {"ignore-footnote", EKCssParser::FEATURE_IGNORE_FOOTNOTE},
      {"ignore-font-face", EKCssParser::FEATURE_IGNORE_FONT_FACE},
      {"ignore-counter-style", EKCssParser::FEATURE_IGNORE_COUNTER_STYLE}};
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  if (name.rfind("feature-", 0) == 0)
    name.erase(0, 8);
  for (const auto& feature : FEATURES) {
    if (name == feature.first) {
      bit = feature.second;
      return true;
    }
  }
  return false;
}

// The tool knows no medium: every media query counts as holding.
bool anyMedium(const EKCssMediaQuery*, void*) { return true; }

void printDeclarations(const EKCssRules& rules, const EKCssDeclarations& declarations,
                       const char* indent = "  ") {
  for (const EKCssDeclaration& declaration : declarations) {
    std::cout << indent << toUtf8(declaration.getProperty().toString()) << ": " << toUtf8(declaration.getValueText());
    if (declaration.isImportant())
      std::cout << " !important";
    const std::pair<int32_t, int32_t> position =
        rules.getLineColumn(declarations.getSourceId(), declaration.getSourceOffset());
    if (declaration.getSourceOffset() >= 0 && position.first > 0)
      std::cout << "  @" << position.first << ':' << position.second;
    std::cout << '\n';
  }
}

void printBlocks(const EKCssRules& rules, const std::string& heading, const EKCssDeclarationsList& blocks) {
  for (const EKCssDeclarations* block : blocks) {
    std::cout << heading << '\n';
    printDeclarations(rules, *block);
  }
}

std::ostream& operator<<(std::ostream& out, const EKCssSelector& selector) {
  return out << toUtf8(selector.toString()) << "  (" << EKCssSelector::specificityIds(selector.specificity) << ','
             << EKCssSelector::specificityClasses(selector.specificity) << ','
             << EKCssSelector::specificityTypes(selector.specificity) << ')';
}

// A page rule as "page ORDER: @page SELECTOR  (IDS,CLASSES,TYPES)", its declarations, then each
// nested block as "  @NAME" with its declarations indented further.
void printPageRule(const EKCssRules& rules, const EKCssPageRule& rule) {
  std::cout << "page " << rule.getSelector()->sourceOrder << ": " << *rule.getSelector() << '\n';
  for (const EKCssDeclarations* declarations : *rule.getPageDeclarations())
    printDeclarations(rules, *declarations);
  EKCssPageInnerRulesIterator inner(rule.getInnerRules());
  for (auto entry = inner.next(); entry.second; entry = inner.next()) {
    std::cout << "  @" << toUtf8(entry.first.toString()) << '\n';
    for (const EKCssDeclarations* declarations : *entry.second->getDeclarations())
      printDeclarations(rules, *declarations, "    ");
  }
}

void printSheet(const EKCssRulesImpl& rules) {
  for (int id = 0; id < rules.getSourceCount(); ++id) {
    const EKCssSource* source = rules.getSource(id);
    std::cout << "source " << id << ": " << toUtf8(source->baseUri) << '\n';
    for (const auto& binding : source->namespaces)
      std::cout << "@namespace " << toUtf8(binding.first.toString()) << (binding.first.isEmpty() ? "" : " ") << '"'
                << toUtf8(binding.second.toString()) << "\"\n";
  }
  const EKCssRuleList& list = rules.getStyleRules();
  for (int pos = 0; pos < list.size(); ++pos) {
    const EKCssSelector& selector = list.at(pos)->getSelector();
    std::cout << "rule " << selector.sourceOrder << ": " << selector << '\n';
    printDeclarations(rules, list.at(pos)->getDeclarations());
  }
  const EKPtr<EKCssPageRuleList> pageRules = rules.getPageRules();
  for (const EKCssPageRule& rule : *pageRules)
    printPageRule(rules, rule);
  printBlocks(rules, "@font-face", *rules.getFontFaceRules());
  printBlocks(rules, "@script-font", *rules.getScriptFontRules());
  for (EKName name : rules.getCounterStyleNames())
    printBlocks(rules, "@counter-style " + toUtf8(name.toString()), *rules.getCounterStyleRules(name));
}

// Parses the sheet `operand` (a path, a URI or "-" for standard input) into a new author sheet.
EKPtr<EKCssRules> parseSheet(EKCssParser& parser, const std::string& operand) {
  unsigned short loaded = 0;
  if (operand == "-") {
    std::stringstream bytes;
    bytes << std::cin.rdbuf();
    loaded = parser.load(&bytes, EKUri(), UnicodeString());
  } else {
    loaded = parser.load(nullptr, EKUri(fromUtf8(operand)), UnicodeString());
  }
  EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, anyMedium, nullptr);
  if (loaded == 0)
    parser.parseInto(sheet.get());
  return loaded == 0 ? sheet : EKPtr<EKCssRules>();
}

// Prints the parser's errors; the exit status for them.
int finish(const EKCssParser& parser) {
  std::cout << std::flush;
  const std::vector<EKError>* errors = parser.getIssuedErrors();
  if (!errors)
    return EXIT_OK;
  printErrors(*errors);
  return EXIT_INPUT_ERROR;
}

int runParse(const std::vector<std::string>& args) {
  unsigned int features = EKCssParser::DEFAULT_FEATURES;
  std::vector<std::string> operands;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--feature" && i + 1 < args.size()) {
      unsigned int bit = 0;
      if (!featureBit(args[++i], bit))
        return usageError(COMMAND, "parse: unknown feature '" + args[i] + "'");
      features |= bit;
    } else if (args[i] == "--") {
      operands.insert(operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return usageError(COMMAND, "parse: unknown option '" + args[i] + "'");
    } else {
      operands.push_back(args[i]);
    }
  }
  if (operands.size() != 1)
    return usageError(COMMAND, "parse: give one SHEET or URI");
  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  parser->setFeature(~0u, false);
  parser->setFeature(features, true);
  if (EKPtr<EKCssRules> sheet = parseSheet(*parser, operands[0]))
    printSheet(*static_cast<const EKCssRulesImpl*>(sheet.get()));
  return finish(*parser);
}

// The pages that SELECTOR texts describe, read as the selectors of an @page rule; false with the
// first error's message for a text that is no page selector.
bool describedPages(const std::vector<std::string>& texts, std::vector<EKCssPageSelector>& pages, std::string& error) {
  for (const std::string& text : texts) {
    EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
    parser->setText(u"@page " + fromUtf8(text) + u" {}", EKName(), EKUri());
    EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, anyMedium, nullptr);
    parser->parseInto(sheet.get());
    if (const std::vector<EKError>* errors = parser->getIssuedErrors()) {
      error = "page: bad SELECTOR '" + text + "': " + toUtf8(errors->front().getRawMessage());
      return false;
    }
    const EKPtr<EKCssPageRuleList> rules = sheet->getPageRules();
    for (const EKCssPageRule& rule : *rules)
      pages.push_back(rule.getPageSelector());
  }
  return true;
}

int runPage(const std::vector<std::string>& args) {
  std::string sheetOperand;
  std::vector<std::string> selectors;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sheet" && i + 1 < args.size()) {
      sheetOperand = args[++i];
    } else if (args[i] == "--") {
      selectors.insert(selectors.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return usageError(COMMAND, "page: unknown option '" + args[i] + "'");
    } else {
      selectors.push_back(args[i]);
    }
  }
  if (sheetOperand.empty())
    return usageError(COMMAND, "page: give --sheet SHEET");
  std::vector<EKCssPageSelector> pages;
  std::string error;
  if (!describedPages(selectors, pages, error))
    return usageError(COMMAND, error);
  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  if (EKPtr<EKCssRules> sheet = parseSheet(*parser, sheetOperand)) {
    const EKPtr<EKCssPageRuleList> rules = sheet->getPageRules();
    for (const EKCssPageRule& rule : *rules) {
      const bool shown = selectors.empty() || std::any_of(pages.begin(), pages.end(), [&](const auto& page) {
                           return rule.getPageSelector().appliesTo(page);
                         });
      if (shown)
        printPageRule(*sheet, rule);
    }
  }
  return finish(*parser);
}

int runMedia(const std::vector<std::string>& operands) {
  if (operands.empty())
    return usageError(COMMAND, "media: no query given");
  for (const std::string& operand : operands) {
    std::u16string buffer(reinterpret_cast<const char16_t*>(fromUtf8(operand).getTerminatedBuffer()));
    const std::vector<uint32_t> lineStarts = cssLineStarts(buffer.c_str(), static_cast<int32_t>(buffer.size()));
    EKCssReader reader(buffer.data(), &lineStarts, 0, 0, UnicodeString());
    unsigned short error = 0;
    const EKPtr<EKCssMediaQueryList> list = EKCssMediaQueryParser(reader).parseList(error);
    std::cout << toUtf8(list->toString()) << '\n' << std::flush; // before its errors
    printErrors(reader.getErrors());
  }
  return EXIT_OK;
}

} // namespace

int runCss(const std::vector<std::string>& args) {
  if (args.empty())
    return usageError(COMMAND, "no subcommand given");
  if (args[0] == "parse")
    return runParse(std::vector<std::string>(args.begin() + 1, args.end()));
  if (args[0] == "cascade")
    return runCssCascade(std::vector<std::string>(args.begin() + 1, args.end()));
  if (args[0] == "page")
    return runPage(std::vector<std::string>(args.begin() + 1, args.end()));
  std::vector<std::string> operands;
  if (!splitOperands(COMMAND, std::vector<std::string>(args.begin() + 1, args.end()), operands))
    return EXIT_USAGE;
  if (args[0] == "media")
    return runMedia(operands);
  return usageError(COMMAND, "unknown subcommand '" + args[0] + "'");
}

} // namespace EKTool
