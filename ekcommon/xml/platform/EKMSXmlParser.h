// A pull parser whose documents are read by the platform's XML service (libxml2 on this platform)
// instead of the library's own parser: the whole document is loaded into the service's tree, which
// is then walked one step per event and reported through the EKXmlParser interface, so that
// EKDocument and every other client work with it unchanged. Hosts create it themselves:
//
//   EKPtr<EKMSXmlParser> parser = EKMSXmlParser::create();
//   EKPtr<EKDocument> document(new EKDocument());
//   document->setParser(parser.get());
//   try {
//     document->load(u"book.xml");          // EKError 115 when the service rejects the document
//   } catch (EKError& error) { report(error.getMessage()); }
//
// How it maps the service:
//   - The bytes are fetched by the library (EKUri::getIStream: files, HTTP, data:, jar:, gzip) or
//     read from the caller's stream, which the service reads as it parses. The service itself
//     never reads the network. With FEATURE_NO_EXTERNAL_DTD off (the default) it reads the
//     external DTD subset and external parsed entities from local files and expands every
//     entity; with it on it reads nothing but the document, and a reference to an external
//     entity stands for nothing.
//   - Only features 0 and 3 are stored; every other feature reads false. No error callback and no
//     warning queue are used: every failure is thrown as EKError with the origin
//     "EKCommonNS::EKMSXmlParser", line and column -1 and the position description after a line
//     feed.
//   - Errors: 113 "MSXML CreateInstance failed." when no service record qualifies or no parser
//     context can be made; 114 "MSXML COM interface exception." when the service fails without a
//     parse error; 115 "MSXML parsing error." and "\nReason :" with the service's message when the
//     document is rejected (the description then carries the line and column it reports).
//   - What the tree cannot tell: white space outside the root element is not reported; references
//     reach nextToken() already expanded, as TEXT (or as the elements they contain), never as
//     ENTITY_REF, and an empty CDATA section is not reported; namespace declarations come before
//     the other attributes of a start tag, and a declaration of the xml prefix is not reported;
//     columns are unknown (-1), and so are lines inside entity replacement text. A tag reads as
//     written <x/> when it was, or, in a tree the service copied or the host built, when the
//     element has no children.
//   - Where the service reads differently: values of attributes declared with a type other than
//     CDATA are normalised; XML 1.1 documents are read with XML 1.0 rules; a declaration that
//     does not start and end in one parameter entity is an error (115).
//   - Thread safety: one parser serves one thread at a time; parsers on different threads are
//     independent, and nothing global of the service is changed, so a host may use libxml2 itself.
#pragma once

#include "ekcommon/xml/EKXmlParser.h"

struct _xmlDoc;

namespace EKCommonNS {

class EKCOMMON_API EKMSXmlParser : public EKXmlParser {
  EK_TYPE_IDENTITY(EKMSXmlParser, EKXmlParser)
public:
  // Levels of the service, newest last. The libxml2 runtime counts as the newest level.
  enum MSXMLTYPE {
    MSXMLTYPE_30 = 1,
    MSXMLTYPE_40 = 2,
    MSXMLTYPE_50 = 3,
    MSXMLTYPE_60 = 4,
  };

  // One record of the service table: the service's name, the version of the runtime actually
  // loaded (libxml2's numeric form, e.g. 20914) and the level it provides.
  struct MSXMLGUID {
    const char* service;
    int runtimeVersion;
    MSXMLTYPE type;
  };

  static constexpr unsigned short ERROR_CREATE_INSTANCE = 113;
  static constexpr unsigned short ERROR_INTERFACE = 114;
  static constexpr unsigned short ERROR_PARSE = 115;

  // A new parser that uses the newest service record whose level is at most `newest`.
  static EKPtr<EKMSXmlParser> create(MSXMLTYPE newest = MSXMLTYPE_60);

  // The newest record of the service table whose level is at most `newest` and whose runtime is
  // present and compatible with the one the library was built against; null when there is none.
  static const MSXMLGUID* searchMSXml(MSXMLTYPE newest);

  // Closes any previous input and walks a document the host has already loaded (with
  // xmlReadFile, xmlReadMemory ...). The parser takes ownership: it frees the document with
  // xmlFreeDoc when the input closes (closeStream, END_DOCUMENT with auto-close on, a new input,
  // destruction). The document's URL serves as base URI. Null throws EKError 3.
  virtual void setInput(_xmlDoc* document) = 0;
  using EKXmlParser::setInput;

protected:
  EKMSXmlParser() = default;
};

} // namespace EKCommonNS
