// The libxml2-backed parser: loading a document into a libxml2 tree, and walking the tree.

#include "ekcommon/xml/platform/internal/EKMSXmlParserImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/xml/internal/EKXmlDecoder.h"
#include "ekcommon/xml/internal/EKXmlMessages.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace EKCommonNS {

namespace {

const UnicodeString ORIGIN(u"EKCommonNS::EKMSXmlParser");

// While the library parses, each element gets a mark in its _private field, which libxml2 leaves
// to applications: that the mark is there, whether an end tag closed the element (rather than
// "/>"), and the line of that end. Elements copied from entity replacement text carry no mark.
constexpr uintptr_t MARKED = 1;
constexpr uintptr_t CLOSED_BY_END_TAG = 2;
constexpr int MARK_LINE_SHIFT = 2;

// What the error handler learns during one parse on this thread.
struct ParseReport {
  std::string reason;
  int line = -1;
  int column = -1;
  bool fatal = false; // `reason` is the first fatal error, not only the first error
};

thread_local ParseReport* t_report = nullptr;

void onParseError(void*, xmlErrorPtr error) {
  if (!t_report || !error || error->level < XML_ERR_ERROR || t_report->fatal)
    return;
  if (!t_report->reason.empty() && error->level != XML_ERR_FATAL)
    return;
  t_report->reason = error->message ? error->message : "";
  while (!t_report->reason.empty() && (t_report->reason.back() == '\n' || t_report->reason.back() == ' '))
    t_report->reason.pop_back();
  t_report->line = error->line > 0 ? error->line : -1;
  t_report->column = error->int2 > 0 ? error->int2 : -1;
  t_report->fatal = error->level == XML_ERR_FATAL;
}

void ignoreGenericError(void*, const char*, ...) {}

void onEndElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  const auto* parserContext = static_cast<xmlParserCtxtPtr>(context);
  xmlNodePtr element = parserContext->node;
  const xmlParserInputPtr input = parserContext->input;
  if (element && element->type == XML_ELEMENT_NODE && input && input->cur - input->base >= 2) {
    // The callback comes right after the tag: "/>" for an empty-element tag, else the ">" of an
    // end tag, before which no "/" can stand.
    const bool endTag = input->cur[-2] != '/';
    const uintptr_t line = input->line > 0 ? static_cast<uintptr_t>(input->line) : 0;
    element->_private =
        reinterpret_cast<void*>(line << MARK_LINE_SHIFT | (endTag ? CLOSED_BY_END_TAG : 0) | MARKED);
  }
  xmlSAX2EndElementNs(context, localName, prefix, uri);
}

// The input stream as the service reads it.
struct StreamSource {
  std::istream* in;
  bool failed; // the stream broke (not merely ended)
};

int readSource(void* context, char* buffer, int length) {
  auto* source = static_cast<StreamSource*>(context);
  try {
    source->in->read(buffer, length);
    if (source->in->bad()) {
      source->failed = true;
      return -1;
    }
    return static_cast<int>(source->in->gcount());
  } catch (...) {
    // A stream that throws must not unwind through the service's C frames.
    source->failed = true;
    return -1;
  }
}

int closeSource(void*) { return 0; }

// Frees a parser context however the parse ends.
struct ContextHolder {
  xmlParserCtxtPtr context;
  ~ContextHolder() {
    if (context) {
      if (context->myDoc)
        xmlFreeDoc(context->myDoc);
      xmlFreeParserCtxt(context);
    }
  }
};

std::string toUtf8String(const UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

const char* chars(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

UnicodeString fromXml(const xmlChar* text) { return UnicodeString::fromUTF8(chars(text)); }

bool isXmlSpace(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r')
      return false;
  return true;
}

} // namespace

EKMSXmlParserImpl::EKMSXmlParserImpl(MSXMLTYPE newest) : m_newest(newest), m_namespaces(new EKNamespaceManager()) {
  m_attributes.reserve(16);
}

EKMSXmlParserImpl::~EKMSXmlParserImpl() { closeStream(); }

void EKMSXmlParserImpl::setFeature(Feature feature, bool on) {
  if (feature == FEATURE_NO_EXTERNAL_DTD)
    m_noExternalDtd = on;
  else if (feature == FEATURE_RESERVED_3)
    m_reserved3 = on;
}

bool EKMSXmlParserImpl::getFeature(Feature feature) const {
  if (feature == FEATURE_NO_EXTERNAL_DTD)
    return m_noExternalDtd;
  return feature == FEATURE_RESERVED_3 && m_reserved3;
}

// --- input

void EKMSXmlParserImpl::setInput(EKUri& uri, const UnicodeString& encoding, const UnicodeString& baseUri) {
  closeStream();
  resetWalk();
  if (!searchMSXml(m_newest))
    fail(ERROR_CREATE_INSTANCE, UnicodeString());
  EKUri::ContentInfo info;
  std::unique_ptr<std::istream> in(uri.getIStream(&info, nullptr));
  if (!in)
    throwCommonError(EKERR_CANNOT_OPEN_FILE, uri.getLocalPath());
  m_inputUri = uri.getLocalPath();
  m_baseUri = baseUri.isEmpty() ? uri.getBaseString() : baseUri;
  m_contentLanguage = info.language;
  m_suppliedEncoding = encoding;
  m_inputLocation = std::make_unique<EKUri>(uri);
  m_callerStream = nullptr;
  parse(*in, encoding);
}

void EKMSXmlParserImpl::setInput(std::istream& in, const UnicodeString& encoding, const UnicodeString& baseUri) {
  closeStream();
  resetWalk();
  m_baseUri = baseUri;
  m_suppliedEncoding = encoding;
  m_inputLocation.reset();
  m_callerStream = &in;
  if (in.fail())
    throwCommonError(in.eof() ? EKERR_UNEXPECTED_END_OF_INPUT : EKERR_INPUT_STREAM_ERROR, m_inputUri);
  if (!searchMSXml(m_newest))
    fail(ERROR_CREATE_INSTANCE, UnicodeString());
  parse(in, encoding);
}

void EKMSXmlParserImpl::setInput(_xmlDoc* document) {
  if (!document)
    throwCommonError(EKERR_NULL_ARGUMENT, UNICODE_STRING_SIMPLE("document"));
  closeStream();
  resetWalk();
  m_inputLocation.reset();
  m_callerStream = nullptr;
  m_suppliedEncoding.remove();
  m_inputUri.remove();
  m_baseUri = fromXml(document->URL);
  adopt(document, false);
}

void EKMSXmlParserImpl::setInputUri(const EKUri& uri) { m_inputUri = uri.getLocalPath(); }

// The service pulls the bytes from the stream as it parses; relative references in its DTD
// resolve against the base URI, a local path for local files. It never reads the network, and
// reads the external subset and external entities only while FEATURE_NO_EXTERNAL_DTD is off. Its
// limits on depth and on entity expansion stay in force.
void EKMSXmlParserImpl::parse(std::istream& in, const UnicodeString& encoding) {
  StreamSource source{&in, false};
  ContextHolder holder{
      xmlCreateIOParserCtxt(nullptr, nullptr, readSource, closeSource, &source, XML_CHAR_ENCODING_NONE)};
  xmlParserCtxtPtr context = holder.context;
  if (!context)
    fail(ERROR_CREATE_INSTANCE, UnicodeString());
  int options = XML_PARSE_NONET | XML_PARSE_BIG_LINES;
  if (!m_noExternalDtd)
    options |= XML_PARSE_NOENT | XML_PARSE_DTDLOAD;
  xmlCtxtUseOptions(context, options);
  // Settings a host may have changed globally must not change what this parser reports.
  context->loadsubset = m_noExternalDtd ? 0 : XML_DETECT_IDS;
  context->validate = 0;
  context->keepBlanks = 1;
  context->sax->ignorableWhitespace = xmlSAX2Characters;
  context->sax->serror = onParseError;
  context->sax->endElementNs = onEndElement;
  if (!encoding.isEmpty()) {
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(toUtf8String(encoding).c_str());
    if (!handler)
      fail(ERROR_PARSE, UNICODE_STRING_SIMPLE("Unsupported encoding ").append(encoding));
    xmlSwitchToEncoding(context, handler);
  }
  EKUri base(m_baseUri);
  const std::string url = toUtf8String(base.isFile() ? base.getLocalPath() : base.toString());
  if (!url.empty() && context->input && !context->input->filename)
    context->input->filename = reinterpret_cast<char*>(xmlStrdup(reinterpret_cast<const xmlChar*>(url.c_str())));
  ParseReport report;
  t_report = &report;
  // A few reports (the refusal to read the network among them) skip the context's handler and go
  // to this thread's generic handler, which writes to standard error; it is silenced for the parse.
  const xmlGenericErrorFunc hostHandler = xmlGenericError;
  void* const hostHandlerContext = xmlGenericErrorContext;
  xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
  xmlParseDocument(context);
  xmlSetGenericErrorFunc(hostHandlerContext, hostHandler);
  if (report.reason.empty() && context->lastError.message)
    onParseError(nullptr, &context->lastError);
  t_report = nullptr;
  if (source.failed)
    throwCommonError(EKERR_INPUT_STREAM_ERROR, m_inputUri);
  const bool accepted = context->wellFormed && context->nsWellFormed && context->myDoc;
  if (!accepted) {
    if (report.reason.empty() && !context->myDoc && context->wellFormed)
      fail(ERROR_INTERFACE, UnicodeString());
    m_line = report.line;
    m_column = report.column;
    fail(ERROR_PARSE, UnicodeString::fromUTF8(report.reason));
  }
  xmlDoc* document = context->myDoc;
  context->myDoc = nullptr;
  adopt(document, true);
}

void EKMSXmlParserImpl::adopt(xmlDoc* document, bool parsedHere) {
  m_document = document;
  m_parsedHere = parsedHere;
  m_hasXmlDecl = document->standalone != -1;
  UnicodeString encoding = document->encoding ? fromXml(document->encoding) : m_suppliedEncoding;
  if (encoding.isEmpty())
    encoding = UNICODE_STRING_SIMPLE("UTF-8");
  EKXmlDecoder decoder;
  UnicodeString canonical;
  m_encoding = EKXmlDecoder::lookup(encoding, EKXmlDecoder(), decoder, canonical) ? canonical : encoding;
  const xmlDtd* subset = document->intSubset;
  m_pubidLiteral = subset && subset->ExternalID ? fromXml(subset->ExternalID) : UnicodeString();
  m_systemLiteral = subset && subset->SystemID ? fromXml(subset->SystemID) : UnicodeString();
}

void EKMSXmlParserImpl::closeStream() {
  if (m_document)
    xmlFreeDoc(m_document);
  m_document = nullptr;
  m_node = m_upcoming = nullptr;
  m_open.clear();
  // The service's strings die with its document; another one may reuse their addresses.
  m_names.clear();
}

void EKMSXmlParserImpl::rewind() {
  if (m_document) {
    resetWalk();
    return;
  }
  // The document was freed at its end: read the same input again.
  const UnicodeString encoding = m_suppliedEncoding;
  const UnicodeString baseUri = m_baseUri;
  if (m_callerStream) {
    std::istream& in = *m_callerStream;
    const UnicodeString inputUri = m_inputUri;
    in.clear();
    in.seekg(0);
    setInput(in, encoding, baseUri);
    m_inputUri = inputUri;
  } else if (m_inputLocation) {
    EKUri uri(*m_inputLocation);
    setInput(uri, encoding, baseUri);
  } else {
    resetWalk();
  }
}

UnicodeString EKMSXmlParserImpl::getInputEncoding() { return m_encoding; }

// --- errors

EKError EKMSXmlParserImpl::makeError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  UnicodeString message;
  switch (code) {
  case ERROR_CREATE_INSTANCE:
    message = UNICODE_STRING_SIMPLE("MSXML CreateInstance failed.");
    break;
  case ERROR_INTERFACE:
    message = UNICODE_STRING_SIMPLE("MSXML COM interface exception.");
    if (!arg1.isEmpty())
      message.append(UNICODE_STRING_SIMPLE("\nDescription :")).append(arg1);
    break;
  case ERROR_PARSE:
    message = UNICODE_STRING_SIMPLE("MSXML parsing error.");
    if (!arg1.isEmpty())
      message.append(UNICODE_STRING_SIMPLE("\nReason :")).append(arg1);
    break;
  default:
    message = xmlErrorMessage(code, arg1, arg2);
  }
  const UnicodeString description = getPositionDescription();
  if (!description.isEmpty())
    message.append(u'\n').append(description);
  return EKError(code, message, ORIGIN, -1, -1);
}

void EKMSXmlParserImpl::throwError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  const EKError error = makeError(code, arg1, arg2);
  if (getErrorLevel(code) == EKERROR_LEVEL_FATAL)
    throw error;
}

void EKMSXmlParserImpl::fail(unsigned short code, const UnicodeString& detail) {
  throw makeError(code, detail, UnicodeString());
}

UnicodeString EKMSXmlParserImpl::getPositionDescription() {
  return xmlPositionDescription(m_event, m_inputUri, m_baseUri, m_line, m_column);
}

// --- the walk

void EKMSXmlParserImpl::resetWalk() {
  m_event = START_DOCUMENT;
  m_node = m_upcoming = nullptr;
  m_open.clear();
  m_started = m_enterPending = m_closeEmpty = m_popPending = false;
  m_namespaces->reset();
  m_attributeCount = -1;
  m_emptyTag = false;
  m_line = m_column = -1;
  m_textInPlace = nullptr;
  m_textJoined = m_textCached = false;
}

// Takes the steps that report nothing: into the children of the element just started, into and
// out of the content of entity references, and over nodes that have no event. Afterwards
// m_closeEmpty says the element just started ends at once; else m_upcoming is the node of the next
// event, or null when the innermost open element (or the document) ends.
void EKMSXmlParserImpl::settle() {
  if (m_enterPending) {
    m_enterPending = false;
    if (!m_node->children) {
      m_closeEmpty = true;
      return;
    }
    m_open.push_back(m_node);
    m_upcoming = m_node->children;
  }
  for (;;) {
    if (!m_upcoming) {
      if (m_open.empty() || m_open.back()->type == XML_ELEMENT_NODE)
        return;
      m_upcoming = m_open.back()->next;
      m_open.pop_back();
      continue;
    }
    switch (m_upcoming->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
    case XML_DTD_NODE:
      return;
    case XML_ENTITY_REF_NODE: {
      // An unexpanded reference: its child is the entity's declaration, whose children are the
      // replacement (none for an external entity that was not read).
      const xmlNode* declaration = m_upcoming->children;
      xmlNode* content = declaration && declaration->type == XML_ENTITY_DECL ? declaration->children : nullptr;
      if (content) {
        m_open.push_back(m_upcoming);
        m_upcoming = content;
        continue;
      }
      break;
    }
    default:
      break;
    }
    m_upcoming = m_upcoming->next;
  }
}

EKXmlParser::EventType EKMSXmlParserImpl::nextToken() {
  if (m_event == END_DOCUMENT)
    return END_DOCUMENT;
  if (!m_document)
    throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE);
  if (m_popPending) {
    m_popPending = false;
    m_namespaces->popScope();
  }
  m_attributeCount = -1;
  m_textInPlace = nullptr;
  m_textJoined = m_textCached = false;
  if (!m_started) {
    m_started = true;
    m_upcoming = m_document->children;
  }
  settle();
  if (m_closeEmpty || !m_upcoming) {
    if (m_closeEmpty) {
      m_closeEmpty = false;
    } else if (m_open.empty()) {
      endDocument();
      return END_DOCUMENT;
    } else {
      m_node = m_open.back();
      m_open.pop_back();
      m_upcoming = m_node->next;
    }
    const auto mark = reinterpret_cast<uintptr_t>(m_node->_private);
    m_line = m_parsedHere && (mark & MARKED) ? static_cast<int>(mark >> MARK_LINE_SHIFT) : -1;
    m_popPending = true;
    return m_event = END_TAG;
  }
  m_node = m_upcoming;
  m_upcoming = m_node->next;
  // Nodes copied from entity replacement text carry no line.
  const long line = xmlGetLineNo(m_node);
  m_line = line > 0 && line <= INT_MAX ? static_cast<int>(line) : -1;
  switch (m_node->type) {
  case XML_ELEMENT_NODE:
    startElement(m_node);
    m_enterPending = true;
    return m_event = START_TAG;
  case XML_TEXT_NODE:
    m_textInPlace = m_node->content;
    return m_event = TEXT;
  case XML_CDATA_SECTION_NODE:
    m_textInPlace = m_node->content;
    return m_event = CDSECT;
  case XML_COMMENT_NODE:
    m_textInPlace = m_node->content;
    return m_event = COMMENT;
  case XML_PI_NODE:
    m_textInPlace = m_node->content;
    return m_event = PROCESSING_INSTRUCTION;
  default:
    m_line = -1;
    return m_event = DOCDECL;
  }
}

// Text and CDATA sections are joined into one TEXT event, across comments, processing
// instructions and entity boundaries; text that comes to nothing gives no event.
EKXmlParser::EventType EKMSXmlParserImpl::next() {
  for (;;) {
    const EventType event = nextToken();
    if (event == COMMENT || event == PROCESSING_INSTRUCTION || event == DOCDECL)
      continue;
    if (event != TEXT && event != CDSECT)
      return event;
    xmlNode* const first = m_node;
    const int line = m_line;
    for (;;) {
      settle();
      if (!m_upcoming)
        break;
      const xmlElementType type = m_upcoming->type;
      if (type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE)
        appendText(m_upcoming);
      else if (type != XML_COMMENT_NODE && type != XML_PI_NODE)
        break;
      m_upcoming = m_upcoming->next;
    }
    m_node = first;
    m_line = line;
    m_event = TEXT;
    if (m_textJoined ? !m_joinedText.empty() : m_textInPlace && *m_textInPlace)
      return TEXT;
  }
}

void EKMSXmlParserImpl::appendText(const xmlNode* node) {
  if (!m_textJoined) {
    m_joinedText.assign(chars(m_textInPlace));
    m_textJoined = true;
  }
  m_joinedText.append(chars(node->content));
}

void EKMSXmlParserImpl::endDocument() {
  m_event = END_DOCUMENT;
  m_line = m_column = -1;
  m_node = nullptr;
  if (m_autoClose)
    closeStream();
}

EKName EKMSXmlParserImpl::intern(const xmlChar* utf8) {
  if (!utf8 || !*utf8)
    return EKName();
  auto found = m_names.find(utf8);
  if (found != m_names.end())
    return found->second;
  const EKName name(fromXml(utf8));
  m_names.emplace(utf8, name);
  return name;
}

// Opens the element's namespace scope and lists its attributes: the namespace declarations
// first (the tree keeps them apart from the other attributes), then the others in order.
void EKMSXmlParserImpl::startElement(xmlNode* element) {
  m_namespaces->pushScope();
  EKName prefix;
  EKName localName;
  if (element->ns) {
    prefix = intern(element->ns->prefix);
    localName = intern(element->name);
  } else {
    // A tree the host built may hold an unbound prefix in the name itself.
    const char* name = chars(element->name);
    const char* colon = std::strchr(name, ':');
    if (colon && colon != name && colon[1]) {
      prefix = EKName(UnicodeString::fromUTF8(icu::StringPiece(name, static_cast<int32_t>(colon - name))));
      localName = EKName(UnicodeString::fromUTF8(colon + 1));
    } else {
      localName = intern(element->name);
    }
  }
  m_namespaces->setElement(prefix, localName);
  size_t count = 0;
  const auto slot = [this, &count]() -> Attribute& {
    if (count == m_attributes.size())
      m_attributes.emplace_back();
    return m_attributes[count++];
  };
  for (const xmlNs* ns = element->nsDef; ns; ns = ns->next) {
    const EKName declared = intern(ns->prefix);
    m_namespaces->declare(declared, intern(ns->href));
    Attribute& attribute = slot();
    if (declared.isEmpty())
      attribute = {EKName(), EKN_xmlns, EKName(), ns->href ? ns->href : BAD_CAST "", nullptr};
    else
      attribute = {EKN_xmlns, declared, EKN_http_www_w3_org_2000_xmlns, ns->href ? ns->href : BAD_CAST "", nullptr};
  }
  m_namespaces->setElementNamespace(element->ns ? intern(element->ns->href) : m_namespaces->resolve(prefix));
  for (xmlAttr* property = element->properties; property; property = property->next) {
    Attribute& attribute = slot();
    attribute.prefix = property->ns ? intern(property->ns->prefix) : EKName();
    attribute.localName = intern(property->name);
    attribute.namespaceUri = property->ns ? intern(property->ns->href) : EKName();
    attribute.attr = property;
    const xmlNode* value = property->children;
    if (!value)
      attribute.value = BAD_CAST "";
    else if (!value->next && value->type == XML_TEXT_NODE)
      attribute.value = value->content ? value->content : BAD_CAST "";
    else
      attribute.value = nullptr;
  }
  m_attributeCount = static_cast<int>(count);
  const auto mark = reinterpret_cast<uintptr_t>(element->_private);
  m_emptyTag = !element->children && !(m_parsedHere && (mark & MARKED) && (mark & CLOSED_BY_END_TAG));
}

// --- getters

EKName EKMSXmlParserImpl::getNamespace() {
  return m_event == START_TAG || m_event == END_TAG ? m_namespaces->getNamespace() : EKName();
}

bool EKMSXmlParserImpl::isWhitespace() const {
  if (m_event != TEXT && m_event != CDSECT)
    throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE);
  if (m_textJoined)
    return isXmlSpace(m_joinedText.data(), m_joinedText.size());
  const char* text = chars(m_textInPlace);
  return isXmlSpace(text, std::strlen(text));
}

UnicodeString EKMSXmlParserImpl::getText() {
  switch (m_event) {
  case TEXT:
  case CDSECT:
  case PROCESSING_INSTRUCTION:
  case COMMENT:
    break;
  default:
    return UnicodeString();
  }
  if (!m_textCached) {
    m_textCache = m_textJoined ? UnicodeString::fromUTF8(m_joinedText) : fromXml(m_textInPlace);
    m_textCached = true;
  }
  return m_textCache;
}

EKName EKMSXmlParserImpl::getTarget() { return m_event == PROCESSING_INSTRUCTION ? intern(m_node->name) : EKName(); }

EKName EKMSXmlParserImpl::getName() {
  if (m_event == START_TAG || m_event == END_TAG)
    return m_namespaces->getName();
  return getTarget();
}

EKName EKMSXmlParserImpl::getPrefix() {
  return m_event == START_TAG || m_event == END_TAG ? m_namespaces->getPrefix() : EKName();
}

bool EKMSXmlParserImpl::isEmptyElementTag() const {
  if (m_event != START_TAG)
    throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE);
  return m_emptyTag;
}

int EKMSXmlParserImpl::getAttributeCount() const { return m_event == START_TAG ? m_attributeCount : -1; }

const EKMSXmlParserImpl::Attribute& EKMSXmlParserImpl::attributeAt(int index) const {
  if (index < 0 || index >= getAttributeCount())
    throwCommonError(EKERR_OUT_OF_RANGE);
  return m_attributes[static_cast<size_t>(index)];
}

EKName EKMSXmlParserImpl::getAttributeNamespace(int index) { return attributeAt(index).namespaceUri; }
EKName EKMSXmlParserImpl::getAttributeName(int index) { return attributeAt(index).localName; }
EKName EKMSXmlParserImpl::getAttributePrefix(int index) { return attributeAt(index).prefix; }

UnicodeString EKMSXmlParserImpl::getAttributeValue(int index) {
  const Attribute& attribute = attributeAt(index);
  if (attribute.value)
    return fromXml(attribute.value);
  // Text split around unexpanded references: libxml2 puts the parts together.
  xmlChar* joined = xmlNodeListGetString(m_document, attribute.attr->children, 1);
  const UnicodeString value = fromXml(joined);
  xmlFree(joined);
  return value;
}

UnicodeString EKMSXmlParserImpl::getAttributeValue(EKName namespaceUri, EKName localName) {
  if (m_event != START_TAG)
    throwCommonError(EKERR_OUT_OF_RANGE);
  for (int i = 0; i < m_attributeCount; ++i) {
    const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    if (attribute.localName == localName &&
        (attribute.namespaceUri == namespaceUri ||
         (namespaceUri.isEmpty() && attribute.prefix.isEmpty() && attribute.namespaceUri.isEmpty())))
      return getAttributeValue(i);
  }
  UnicodeString bogus;
  bogus.setToBogus();
  return bogus;
}

bool EKMSXmlParserImpl::hasXmlDecl() const { return m_hasXmlDecl; }
UnicodeString EKMSXmlParserImpl::getPubidLiteral() { return m_pubidLiteral; }
UnicodeString EKMSXmlParserImpl::getExternalDTD() { return m_systemLiteral; }

} // namespace EKCommonNS
