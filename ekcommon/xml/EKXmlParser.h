// The pull parser through which the library reads XML (and, in a tolerant mode, HTML): set an
// input, then ask for one event at a time and read the current event's name, attributes, text
// and position through the getters. next() coalesces character data and skips comments,
// DOCTYPEs and (by default) processing instructions; nextToken() reports every token as it is.
//
//   EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
//   parser->setInput(u"book.xml", u"", u"");              // throws EKError 67 when unopenable
//   try {
//     for (int e = parser->next(); e != EKXmlParser::END_DOCUMENT; e = parser->next())
//       if (e == EKXmlParser::START_TAG)
//         use(parser->getNamespace(), parser->getName(), parser->getAttributeCount());
//   } catch (EKError& error) { report(error.getMessage()); }   // not well-formed
//
// Errors: without an error callback, fatal errors are thrown as EKError with their own code and
// the position description after a line feed, and warnings wait in a queue for popError. With a
// callback, every report goes to the callback first; after a fatal one the parse unwinds by
// throwing EKError 128.
//
// Limits of the native parser, which apply to untrusted input whatever the features say:
//   - One text event holds at most the huge-text limit (10,000,000 characters unless set).
//   - Entity expansion stops with error 190 once the text produced by expanding references
//     exceeds both 8 MiB and 100 times the bytes read from the input, so that nested or
//     repeated references ("billion laughs") end quickly with bounded memory.
//   - Nothing recurses on the input's nesting: element and entity depth cost heap memory only.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/resources/EKUri.h"

#include <istream>

namespace EKCommonNS {

class EKError;

class EKCOMMON_API EKXmlParser : public EKRCObject {
  EK_TYPE_IDENTITY(EKXmlParser, EKRCObject)
public:
  // Event types; the names are also what getPositionDescription prints.
  enum EventType {
    START_DOCUMENT = 0,
    END_DOCUMENT = 1,
    START_TAG = 2,
    END_TAG = 3,
    TEXT = 4,
    CDSECT = 5,
    ENTITY_REF = 6,
    IGNORABLE_WHITESPACE = 7,
    PROCESSING_INSTRUCTION = 8,
    COMMENT = 9,
    DOCDECL = 10,
  };

  // Boolean switches, all off in a new parser. Unknown numbers are ignored by setFeature and read
  // as false.
  enum Feature {
    // No external DTD subset is read and no built-in entity set is attached by a DOCTYPE or a
    // MathML math element.
    FEATURE_NO_EXTERNAL_DTD = 0,
    // Stored only.
    FEATURE_RESERVED_1 = 1,
    // An attribute prefix that nothing binds is not an error; the prefix is its namespace name.
    FEATURE_ALLOW_UNBOUND_ATTRIBUTE_PREFIX = 2,
    // Stored only.
    FEATURE_RESERVED_3 = 3,
    // An encoding without converter is read as the default decoding instead of failing.
    FEATURE_RAW_UNKNOWN_ENCODING = 4,
    // An encoding that is not built in is reported (181) before a converter is tried.
    FEATURE_BUILTIN_ENCODINGS_ONLY = 5,
    // getPositionDescription returns an empty string.
    FEATURE_NO_POSITION_DESCRIPTION = 6,
    // Characters are not checked against the XML character ranges (no error 179).
    FEATURE_NO_CHARACTER_CHECK = 7,
    // next() reports processing instructions.
    FEATURE_REPORT_PROCESSING_INSTRUCTIONS = 8,
    // External parsed entities are not read: each reference is warning 516 and expands to nothing.
    FEATURE_NO_EXTERNAL_ENTITIES = 9,
    // An element prefix that nothing binds is not an error (135 otherwise).
    FEATURE_ALLOW_UNBOUND_ELEMENT_PREFIX = 10,
  };
  static constexpr int FEATURE_COUNT = 11;

  using ErrorCallback = void (*)(const EKError& error, void* userData);

  virtual void setFeature(Feature feature, bool on) = 0;
  virtual bool getFeature(Feature feature) const = 0;
  // The lower-cased content type and the content language of `info` (may be null), and the
  // lower-cased file-name extension of the input; they feed HTML detection.
  virtual void setStreamType(const EKUri::ContentInfo* info, const UnicodeString& extension);
  // Every error and warning goes to the callback first (null removes it).
  virtual void setCallbackError(ErrorCallback callback, void* userData);
  // Closes any previous input, resets the parse state and opens the URI (the parser owns the
  // stream). `encoding` is the externally supplied encoding (empty for none); an empty baseUri
  // takes the URI's base. Throws EKError 67 when the URI cannot be opened.
  virtual void setInput(EKUri& uri, const UnicodeString& encoding, const UnicodeString& baseUri) = 0;
  // As above on the caller's stream, which must outlive the parse and is not deleted.
  virtual void setInput(std::istream& in, const UnicodeString& encoding, const UnicodeString& baseUri) = 0;
  // The URI string (no base) given to the EKUri form.
  void setInput(const UnicodeString& uri, const UnicodeString& encoding, const UnicodeString& baseUri);
  virtual void setInputUri(const EKUri& uri);
  virtual UnicodeString getInputUri();
  // Pops pushed entity streams and drops the input (deleting it when the parser owns it).
  virtual void closeStream() = 0;
  // The canonical name of the encoding in force.
  virtual UnicodeString getInputEncoding() = 0;
  // Defines or replaces a general entity by its replacement text.
  virtual void defineEntityReplacementText(EKName name, const UnicodeString& text) = 0;

  // Namespaces: the number of bindings declared at a depth (that scope alone; depth 0 holds the
  // xml and xmlns bindings), and the innermost scope's bindings by position.
  virtual int getNamespaceCount(int depth) const = 0;
  virtual EKName getNamespacePrefix(int pos) = 0;
  virtual EKName getNamespaceUri(int pos) = 0;
  // The current element's namespace (START_TAG, END_TAG), and the URI bound to a prefix in scope.
  virtual EKName getNamespace() = 0;
  virtual EKName getNamespace(EKName prefix) = 0;

  // Open elements; a start tag counts from its own event, its end tag still counts.
  virtual int getDepth() const = 0;
  // "EVENT, 'uri', Line n, Col n." with unknown parts left out.
  virtual UnicodeString getPositionDescription() = 0;
  // Line from 1, column from 0 counting characters read on the line; -1 when unknown.
  virtual int getLineNumber() const = 0;
  virtual int getColumnNumber() const = 0;
  // TEXT and CDSECT: the text is only tab, LF, CR and space; IGNORABLE_WHITESPACE: true; any other
  // event throws EKError 11.
  virtual bool isWhitespace() const = 0;
  // Character data, CDATA content, comment or PI content, or an ENTITY_REF's replacement text.
  virtual UnicodeString getText() = 0;
  // The target of a processing instruction.
  virtual EKName getTarget() = 0;
  virtual bool hasXmlDecl() const = 0;
  // Local name of START_TAG and END_TAG; entity name of ENTITY_REF ("#x41" for a character
  // reference); target of PROCESSING_INSTRUCTION; the empty name otherwise.
  virtual EKName getName() = 0;
  virtual EKName getPrefix() = 0;
  // START_TAG only (else EKError 11): the tag was written <x/>.
  virtual bool isEmptyElementTag() const = 0;
  // Attributes of START_TAG (-1 for any other event). Indexes outside 0..count-1 throw EKError 4.
  virtual int getAttributeCount() const = 0;
  virtual EKName getAttributeNamespace(int index) = 0;
  virtual EKName getAttributeName(int index) = 0;
  virtual EKName getAttributePrefix(int index) = 0;
  // START_TAG only (else EKError 4): the first attribute with that local name and namespace (an
  // empty namespace also matches an unprefixed attribute); a bogus string when there is none.
  virtual UnicodeString getAttributeValue(EKName namespaceUri, EKName localName) = 0;
  virtual UnicodeString getAttributeValue(int index) = 0;
  virtual EventType getEventType() = 0;
  // The next coalesced event, or the next token. Fatal errors throw EKError.
  virtual EventType next() = 0;
  virtual EventType nextToken() = 0;

  virtual UnicodeString getBaseUri();
  // Makes an external entity (kind = its name) or an included resource (kind "text" or "xml")
  // the current input; it is read to its end, then the outer input resumes.
  virtual void pushStream(const UnicodeString& uri, EKName kind, const UnicodeString& encoding);
  // Reports an error as the parser's own (see the class comment).
  virtual void throwError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2);
  // The oldest queued warning, moved into `error`; false when the queue is empty.
  virtual bool popError(EKError& error);
  // Queues a copy stamped with the current line, column and input URI.
  virtual void pushError(const EKError& error);
  // Attaches the built-in MathML entity set (once per input).
  virtual void addMathMLEntities();
  // A heap copy of the declared entities, owned by the caller until handed to recoverEntityMaps.
  virtual const void* saveEntityMaps() const;
  // Replaces the declared entities by a saved copy, frees it and nulls `saved`; null does nothing.
  virtual void recoverEntityMaps(const void*& saved);
  // Reads the same input again from its start, with the encoding and base URI in force.
  virtual void rewind();
  // When on (the default), reaching END_DOCUMENT closes the stream.
  virtual void setAutoClose(bool on);
  virtual bool isXML() const;
  virtual bool isHTMLSyntax() const;
  virtual bool isXHTMLSyntax() const;
  // type: auto (or empty), html, xhtml or text; htmlFlavour: the syntax detection may select.
  virtual void setParserType(EKName type, EKName htmlFlavour);
  // The encoding assumed for HTML input that declares none.
  virtual void setHtmlDefaultCharset(const UnicodeString& charset);
  virtual UnicodeString getLanguage();
  // The DOCTYPE's public and system literals.
  virtual UnicodeString getPubidLiteral();
  virtual UnicodeString getExternalDTD();
  // Largest text of one event in characters: 0 restores 10,000,000, negative means no limit.
  virtual void setHugeTextLimit(int limit);

  // A new native parser. A non-null info is copied into it and used for the DTDs it fetches.
  static EKPtr<EKXmlParser> createXmlParser(const EKUri::ContentInfo* info = nullptr);

protected:
  EKXmlParser() = default;
};

} // namespace EKCommonNS
