// The style-sheet parser on arbitrary sheets. The first two bytes choose how it reads:
//   byte 0 bits 0-7, byte 1 bits 0-1: the ten parser features, in the order of FEATURES;
//   byte 1 bit 2: the text comes from a style element (a context element is given);
//   byte 1 bit 3: the bytes are loaded from a stream (byte-order marks and @charset decoded),
//                 otherwise the rest is decoded as UTF-8 and set as text;
//   byte 1 bits 4-5: the default encoding of the load, from ENCODINGS;
//   byte 1 bit 6: imported sheets are the input itself (loops and the depth limit), up to
//                 INPUT_FETCHES times in one run, then a small fixed sheet; otherwise always the
//                 fixed sheet. (Without the budget a sheet importing itself twice is parsed about
//                 a thousand times, the overall import limit, which only slows the search.)
// Nothing is fetched from files or the network: a URI resolver serves every import from memory.
// Checked: parseInto returns its first error's code, every error code is one of the sheet
// errors, and every stored selector written back reads back to the same text and specificity.
// Seeds are in fuzz/corpus/css_sheet (their first two bytes are the choices above).
#include <ekcommon/css/internal/EKCssParserImpl.h>
#include <ekcommon/css/internal/EKCssRulesImpl.h>
#include <ekcommon/css/internal/EKCssSelectorParser.h>
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

const unsigned int FEATURES[] = {EKCssParser::FEATURE_EXPRESSIONS,         EKCssParser::FEATURE_DOTTED_PROPERTIES,
                                 EKCssParser::FEATURE_HASH_ANYWHERE,       EKCssParser::FEATURE_DECLARATION_OFFSETS,
                                 EKCssParser::FEATURE_IGNORE_IMPORT,       EKCssParser::FEATURE_IGNORE_MEDIA,
                                 EKCssParser::FEATURE_IGNORE_PAGE_CONTEXT, EKCssParser::FEATURE_IGNORE_FOOTNOTE,
                                 EKCssParser::FEATURE_IGNORE_FONT_FACE,    EKCssParser::FEATURE_IGNORE_COUNTER_STYLE};
const char16_t* const ENCODINGS[] = {u"", u"UTF-8", u"ISO-8859-1", u"UTF-16LE"};

const char FIXED_SHEET[] = "@namespace x 'urn:x'; x|a, b > c:hover { color: red !important } "
                           "@media print { d { e: f } } @font-face { src: url(g) }";

// Enough for a chain of imports to pass the depth limit.
const int INPUT_FETCHES = EKCssParserImpl::MAX_IMPORT_DEPTH + 1;

// Serves every URI with the current input's sheet bytes or with the fixed sheet.
class ServeFromMemory : public EKUriReferenceResolver2 {
public:
  std::string input;
  int inputFetches = 0; // left in this run
  bool resolve(const wchar_t*, EKUriWriteCallback write, void* context) override {
    if (inputFetches > 0) {
      --inputFetches;
      write(static_cast<int>(input.size()), input.data(), context);
    } else {
      write(static_cast<int>(sizeof FIXED_SHEET - 1), FIXED_SHEET, context);
    }
    return true;
  }
};

// Media queries hold for print; any query list is answered, so both branches run.
bool printMedium(const EKCssMediaQuery* query, void*) { return query->matchesType(EKName(UnicodeString(u"print"))); }

// `written` read as a selector group with the namespaces of the rule's sheet must give one
// selector that writes the same and has the same specificity.
void checkReadsBack(const EKCssSelector& selector, const std::map<EKName, EKName>* namespaces, bool hashAnywhere) {
  const UnicodeString written = selector.toString();
  std::u16string buffer(reinterpret_cast<const char16_t*>(written.getBuffer()), static_cast<size_t>(written.length()));
  buffer += u"{";
  const std::vector<uint32_t> lineStarts = cssLineStarts(buffer.c_str(), static_cast<int32_t>(buffer.size()));
  EKCssReader reader(buffer.data(), &lineStarts, 0, 0, UnicodeString());
  reader.scanner().setHashAnywhere(hashAnywhere);
  std::vector<EKCssSelector> again;
  check(EKCssSelectorParser(reader, namespaces).parseGroup(again, u'{'));
  check(reader.getErrors().empty() && reader.kind() == u'{' && again.size() == 1);
  check(again[0].toString() == written);
  check(again[0].specificity == selector.specificity);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ServeFromMemory resolver;
  static const bool installed = (EKUri::setUriReferenceResolver2(&resolver), true);
  check(installed);
  if (size < 2)
    return 0;
  const unsigned choices = data[0] | data[1] << 8;
  unsigned int features = 0;
  for (size_t bit = 0; bit < sizeof FEATURES / sizeof FEATURES[0]; ++bit) {
    if (choices & 1u << bit)
      features |= FEATURES[bit];
  }
  const bool inElement = choices & 1u << 10, fromStream = choices & 1u << 11;
  const char16_t* defaultEncoding = ENCODINGS[(choices >> 12) & 3u];
  resolver.input.assign(reinterpret_cast<const char*>(data) + 2, size - 2);
  resolver.inputFetches = choices & 1u << 14 ? INPUT_FETCHES : 0;

  EKPtr<EKCssParser> parser = EKCssParser::createCssParser(nullptr, nullptr);
  parser->setFeature(~0u, false);
  parser->setFeature(features, true);
  const EKUri uri(UnicodeString(u"http://host.invalid/sheet.css"));
  std::istringstream in(resolver.input);
  if (fromStream && parser->load(&in, uri, UnicodeString(defaultEncoding)) != 0)
    return 0;
  if (!fromStream)
    parser->setText(UnicodeString::fromUTF8(resolver.input), inElement ? EKName(UnicodeString(u"style")) : EKName(),
                    uri);
  EKPtr<EKCssRules> sheet = EKCssRules::createCssRules(EK_ORIGIN_AUTHOR, UnicodeString(), false, printMedium, nullptr);
  const unsigned short first = parser->parseInto(sheet.get());

  const std::vector<EKError>* errors = parser->getIssuedErrors();
  check(first == (errors ? errors->front().getErrorCode() : 0));
  if (errors) {
    for (const EKError& error : *errors)
      check(error.getErrorCode() >= 929 && error.getErrorCode() <= 988);
  }
  const auto* rules = static_cast<const EKCssRulesImpl*>(sheet.get());
  const EKCssRuleList& list = rules->getStyleRules();
  for (int pos = 0; pos < list.size(); ++pos) {
    const EKCssSource* source = rules->getSource(list.at(pos)->getDeclarations().getSourceId());
    checkReadsBack(list.at(pos)->getSelector(), source ? &source->namespaces : nullptr,
                   (features & EKCssParser::FEATURE_HASH_ANYWHERE) != 0);
  }
  return 0;
}
