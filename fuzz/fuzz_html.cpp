// The parser in HTML syntax on arbitrary pages. The first byte chooses how it reads:
//   bit 0: HTML detected from the content type text/html (parser type auto) instead of forced
//          with the parser type html;
//   bit 1: an HTML default charset of windows-1252;
//   bit 2: an error callback instead of the error queue;
//   bit 3: the second reading rewinds the first parser instead of starting a fresh one;
//   bit 4: the first reading uses nextToken() and the second next(), instead of the reverse.
// The rest is the page, read twice from a stream over the bytes, with next() and with
// nextToken(), through every event to END_DOCUMENT or the error that ends it, with every getter
// called on each event. Each reading's start and end tags must nest, and both readings must
// report the same elements and end alike where they read the same characters. Then the page is
// loaded into an EKDocument in HTML syntax; when that load ends without a fatal error, the saved
// tree must load again as XML, to a tree that saves to the same text.
// Nothing is fetched from files or the network: a URI resolver answers every URI with nothing.
// Seeds are in fuzz/corpus/html (their first byte is the choices above).
#include "FuzzParserEvents.h"

#include <ekcommon/ekcommon.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace EKCommonNS;
using namespace fuzzevents;

namespace {

class ServeNothing : public EKUriReferenceResolver2 {
public:
  bool resolve(const wchar_t*, EKUriWriteCallback, void*) override { return true; }
};

struct Choices {
  bool detect, defaultCharset, callback, rewind, tokensFirst;
  explicit Choices(uint8_t byte)
      : detect(byte & 1), defaultCharset(byte & 2), callback(byte & 4), rewind(byte & 8), tokensFirst(byte & 16) {}
};

// Sets the parser up for HTML as the choices say.
void configure(EKXmlParser& parser, const Choices& choices) {
  if (choices.detect) {
    EKUri::ContentInfo info;
    info.contentType = UnicodeString(u"text/html");
    parser.setStreamType(&info, UnicodeString(u"html"));
  } else {
    parser.setParserType(EKN_html, EKN_html);
  }
  if (choices.defaultCharset)
    parser.setHtmlDefaultCharset(UnicodeString(u"windows-1252"));
}

// What one reading saw: its start and end tags as (event, namespace, local name), and how it
// ended.
struct Reading {
  std::vector<std::pair<int, std::pair<EKNameEnum, EKNameEnum>>> tags;
  bool references = false; // an ENTITY_REF token, which nextToken() does not expand
  UnicodeString firstEncoding, lastEncoding;
  int thrown = -1;
};

// Reads the current input to its end; start and end tags must nest, one depth a level. When the
// page declares no namespace (`undeclared`), a root element in HTML syntax is in one.
Reading read(EKXmlParser& parser, bool tokens, bool callback, bool undeclared) {
  Reading reading;
  CallbackState state;
  parser.setCallbackError(callback ? onError : nullptr, &state);
  std::vector<std::pair<EKNameEnum, EKNameEnum>> open;
  try {
    EKXmlParser::EventType event = parser.getEventType();
    readEvent(parser, event);
    while (event != EKXmlParser::END_DOCUMENT) {
      event = tokens ? parser.nextToken() : parser.next();
      readEvent(parser, event);
      checkQueuedWarnings(parser);
      if (reading.firstEncoding.isEmpty())
        reading.firstEncoding = parser.getInputEncoding();
      reading.references |= event == EKXmlParser::ENTITY_REF;
      if (event != EKXmlParser::START_TAG && event != EKXmlParser::END_TAG)
        continue;
      const std::pair<EKNameEnum, EKNameEnum> tag(static_cast<EKNameEnum>(parser.getNamespace()),
                                                  static_cast<EKNameEnum>(parser.getName()));
      // The root element of a page in HTML syntax is never without namespace.
      if (event == EKXmlParser::START_TAG && undeclared && parser.isHTMLSyntax() && reading.tags.empty())
        check(tag.first != EKN_EMPTY);
      if (event == EKXmlParser::START_TAG) {
        open.push_back(tag);
      } else {
        check(!open.empty() && open.back() == tag);
        open.pop_back();
      }
      check(parser.getDepth() == static_cast<int>(open.size()) + (event == EKXmlParser::END_TAG));
      reading.tags.emplace_back(event, tag);
    }
    check(open.empty());
    readDocumentFacts(parser);
    check(parser.isHTMLSyntax() == !parser.isXML());
  } catch (const EKError& error) {
    checkThrown(error, callback, state);
    reading.thrown = error.getErrorCode();
  }
  reading.lastEncoding = parser.getInputEncoding();
  parser.setCallbackError(nullptr, nullptr);
  return reading;
}

// The page read with next() and with nextToken(): both see the same elements and end alike,
// unless nextToken() met references, whose replacement text only next() reads as markup, or a
// rewound parser starts in an encoding that a meta element switched to.
void checkReadings(const std::string& page, const Choices& choices, bool undeclared) {
  EKStrStream in(page.data(), page.size());
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  configure(*parser, choices);
  parser->setAutoClose(!choices.rewind);
  parser->setInput(in, UnicodeString(), UnicodeString());
  const Reading first = read(*parser, choices.tokensFirst, choices.callback, undeclared);

  EKStrStream again(page.data(), page.size());
  if (choices.rewind) {
    parser->rewind();
  } else {
    parser = EKXmlParser::createXmlParser();
    configure(*parser, choices);
    parser->setInput(again, UnicodeString(), UnicodeString());
  }
  const Reading second = read(*parser, !choices.tokensFirst, choices.callback, undeclared);
  const Reading& tokens = choices.tokensFirst ? first : second;
  if (tokens.references || (choices.rewind && first.firstEncoding != first.lastEncoding))
    return;
  check(first.tags == second.tags && first.thrown == second.thrown);
}

EKPtr<EKDocument> newDocument() {
  EKPtr<EKDocument> doc(new EKDocument());
  doc->getParser()->setFeature(EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS, true);
  return doc;
}

// The page loaded in HTML syntax; when that works and gives a document element, the saved tree
// loads as XML to a tree that saves the same.
void checkSavedXhtml(const std::string& page, const Choices& choices) {
  EKPtr<EKDocument> html = newDocument();
  configure(*html->getParser(), choices);
  CallbackState state;
  if (choices.callback)
    html->getParser()->setCallbackError(onError, &state);
  EKStrStream in(page.data(), page.size());
  try {
    html->load(in, nullptr, UnicodeString(u"fuzz.html"));
  } catch (const EKError& error) {
    checkThrown(error, choices.callback, state);
    return;
  }
  // A page whose first element ended before others began has several top-level elements (each
  // after the first reported as 521): no XML document can hold it.
  int topLevelElements = 0;
  for (EKNode* child = html->getFirstChildFast(); child; child = child->getNextSiblingFast())
    topLevelElements += child->isElementNode() ? 1 : 0;
  if (topLevelElements != 1)
    return;
  std::ostringstream saved;
  html->save(saved);
  const std::string xhtml = saved.str();
  EKPtr<EKDocument> xml = newDocument();
  xml->getParser()->setParserType(EKN_xml, EKName());
  std::istringstream reread(xhtml);
  try {
    xml->load(reread, nullptr, UnicodeString(u"fuzz.xhtml"));
  } catch (const EKError&) {
    check(false);
  }
  // Attributes whose names XML cannot write are left out of the saved form, so the trees are
  // compared as saved.
  std::ostringstream again;
  xml->save(again);
  check(again.str() == xhtml);
}

// Whether the page may declare a namespace: "xmlns" in any case, in single bytes or in UTF-16 or
// UTF-32 code units.
bool mentionsXmlns(const std::string& page) {
  std::string folded;
  for (char c : page)
    if (c != '\0')
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded.find("xmlns") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ServeNothing resolver;
  static const bool installed = (EKUri::setUriReferenceResolver2(&resolver), true);
  check(installed);
  if (size < 1)
    return 0;
  const Choices choices(data[0]);
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  const bool undeclared = !mentionsXmlns(page);
  checkReadings(page, choices, undeclared);
  checkSavedXhtml(page, choices);
  return 0;
}
