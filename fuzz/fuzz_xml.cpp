// The XML pull parser on arbitrary documents. The first two bytes choose how it reads:
//   byte 0 bits 0-7, byte 1 bits 0-2: features 0 to 10;
//   byte 1 bit 3: nextToken() instead of next();
//   byte 1 bit 4: a DOCTYPE that declares internal, nested, parameter and external entities is
//                 put before the document;
//   byte 1 bit 5: an error callback instead of the error queue;
//   byte 1 bit 6: a huge-text limit of 64 characters.
// The rest is the document, read from a stream over the bytes through every event to
// END_DOCUMENT or the error that ends it, with every getter called on each event. Nothing is
// fetched from files or the network: a URI resolver serves every external DTD and entity from
// memory. Seeds are in fuzz/corpus/xml (their first two bytes are the choices above).
#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace EKCommonNS;

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

// Every URI the parser opens gets the same text, which reads both as an external DTD subset and
// as an external parsed entity.
class ServeFromMemory : public EKUriReferenceResolver2 {
public:
  bool resolve(const wchar_t*, EKUriWriteCallback write, void* context) override {
    static const char text[] = "<?xml encoding=\"UTF-8\"?><!-- served from memory -->";
    write(static_cast<int>(sizeof text - 1), text, context);
    return true;
  }
};

const char DOCTYPE_PREFIX[] = "<!DOCTYPE d [<!ENTITY e \"x&f;\"><!ENTITY f \"<b>y</b>\"><!ENTITY % p "
                              "\"<!ENTITY g 'z&#x41;'>\">%p;<!ENTITY ext SYSTEM \"ext.xml\">]>";

struct CallbackState {
  bool fatalSeen = false;
};

void onError(const EKError& error, void* userData) {
  if (getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL)
    static_cast<CallbackState*>(userData)->fatalSeen = true;
  error.getMessage();
}

bool isXmlWhitespace(const UnicodeString& text) {
  for (int32_t i = 0; i < text.length(); ++i)
    if (text[i] != u' ' && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r')
      return false;
  return true;
}

void readAttributes(EKXmlParser& parser) {
  const int count = parser.getAttributeCount();
  check(count >= 0);
  for (int i = 0; i < count; ++i) {
    const EKName name = parser.getAttributeName(i);
    const EKName namespaceUri = parser.getAttributeNamespace(i);
    parser.getAttributePrefix(i);
    // Attributes are unique by namespace and local name, so the lookup finds this one.
    check(parser.getAttributeValue(namespaceUri, name) == parser.getAttributeValue(i));
  }
}

void readNamespaces(EKXmlParser& parser) {
  for (int depth = 0; depth <= parser.getDepth(); ++depth)
    check(parser.getNamespaceCount(depth) >= 0);
  for (int pos = 0, count = parser.getNamespaceCount(parser.getDepth()); pos < count; ++pos) {
    // A prefix bound in the innermost scope is in scope.
    const EKName prefix = parser.getNamespacePrefix(pos);
    check(parser.getNamespace(prefix) == parser.getNamespaceUri(pos));
  }
}

// Every getter that the event allows, with the invariants the interface promises.
void readEvent(EKXmlParser& parser, EKXmlParser::EventType event) {
  check(parser.getEventType() == event);
  check(parser.getDepth() >= 0);
  parser.getLineNumber();
  parser.getColumnNumber();
  parser.getPositionDescription();
  const EKName name = parser.getName();
  parser.getPrefix();
  const UnicodeString text = parser.getText();
  switch (event) {
  case EKXmlParser::START_TAG:
    parser.isEmptyElementTag();
    parser.getNamespace();
    readAttributes(parser);
    readNamespaces(parser);
    break;
  case EKXmlParser::END_TAG:
    parser.getNamespace();
    break;
  case EKXmlParser::TEXT:
  case EKXmlParser::CDSECT:
    check(parser.isWhitespace() == isXmlWhitespace(text));
    check(name.isEmpty());
    break;
  case EKXmlParser::IGNORABLE_WHITESPACE:
    check(parser.isWhitespace());
    break;
  case EKXmlParser::PROCESSING_INSTRUCTION:
    check(parser.getTarget() == name);
    break;
  case EKXmlParser::END_DOCUMENT:
    check(parser.getDepth() == 0);
    break;
  default:
    break;
  }
  if (event != EKXmlParser::START_TAG)
    check(parser.getAttributeCount() == -1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ServeFromMemory resolver;
  static const bool installed = (EKUri::setUriReferenceResolver2(&resolver), true);
  check(installed);
  if (size < 2)
    return 0;
  const unsigned choices = data[0] | data[1] << 8;
  const bool tokens = choices & 1u << 11, doctype = choices & 1u << 12, callback = choices & 1u << 13;
  std::string document = doctype ? DOCTYPE_PREFIX : "";
  document.append(reinterpret_cast<const char*>(data) + 2, size - 2);

  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  for (int feature = 0; feature < EKXmlParser::FEATURE_COUNT; ++feature)
    parser->setFeature(static_cast<EKXmlParser::Feature>(feature), choices & 1u << feature);
  if (choices & 1u << 14)
    parser->setHugeTextLimit(64);
  CallbackState state;
  if (callback)
    parser->setCallbackError(onError, &state);
  EKStrStream in(document.data(), document.size());
  parser->setInput(in, UnicodeString(), UnicodeString());
  EKError warning;
  try {
    EKXmlParser::EventType event = parser->getEventType();
    readEvent(*parser, event);
    while (event != EKXmlParser::END_DOCUMENT) {
      event = tokens ? parser->nextToken() : parser->next();
      readEvent(*parser, event);
      while (parser->popError(warning))
        check(getErrorLevel(warning.getErrorCode()) != EKERROR_LEVEL_FATAL);
    }
    parser->hasXmlDecl();
    parser->getInputEncoding();
    parser->getPubidLiteral();
    parser->getExternalDTD();
  } catch (const EKError& error) {
    // With a callback the parse unwinds with 128 after the callback saw the fatal error; without
    // one the fatal error itself is thrown.
    if (callback)
      check(error.getErrorCode() == 128 && state.fatalSeen);
    else
      check(getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL);
  }
  return 0;
}
