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
#include "FuzzParserEvents.h"

#include <ekcommon/ekcommon.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace EKCommonNS;
using namespace fuzzevents;

namespace {

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
  try {
    EKXmlParser::EventType event = parser->getEventType();
    readEvent(*parser, event);
    while (event != EKXmlParser::END_DOCUMENT) {
      event = tokens ? parser->nextToken() : parser->next();
      readEvent(*parser, event);
      checkQueuedWarnings(*parser);
    }
    readDocumentFacts(*parser);
  } catch (const EKError& error) {
    checkThrown(error, callback, state);
  }
  return 0;
}
