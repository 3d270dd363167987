// The native parser's life cycle, getters and error reporting.

#include "ekcommon/xml/internal/EKXmlParserImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/internal/EKXmlMessages.h"

namespace EKCommonNS {

namespace {

constexpr int DEFAULT_HUGE_TEXT_LIMIT = 10000000;
constexpr size_t NAME_CACHE_SIZE = 512;

} // namespace

EKPtr<EKXmlParser> EKXmlParser::createXmlParser(const EKUri::ContentInfo* info) {
  return EKPtr<EKXmlParser>(new EKXmlParserImpl(info));
}

EKXmlParserImpl::EKXmlParserImpl(const EKUri::ContentInfo* info)
    : m_namespaces(new EKNamespaceManager()), m_nameCache(NAME_CACHE_SIZE) {
  if (info)
    m_contentInfo = std::make_unique<EKUri::ContentInfo>(*info);
  m_attributes.reserve(16);
}

EKXmlParserImpl::~EKXmlParserImpl() { closeStream(); }

void EKXmlParserImpl::setFeature(Feature feature, bool on) {
  if (feature >= 0 && feature < FEATURE_COUNT)
    m_features[feature] = on;
}

bool EKXmlParserImpl::getFeature(Feature feature) const {
  return feature >= 0 && feature < FEATURE_COUNT && m_features[feature];
}

void EKXmlParserImpl::setStreamType(const EKUri::ContentInfo* info, const UnicodeString& extension) {
  m_contentType = info ? UnicodeString(info->contentType).toLower() : UnicodeString();
  m_contentLanguage = info ? info->language : UnicodeString();
  m_extension = UnicodeString(extension).toLower();
  if (!m_extension.isEmpty() && !m_extension.startsWith(u"."))
    m_extension.insert(0, u'.');
  forgetSyntax();
}

void EKXmlParserImpl::setCallbackError(ErrorCallback callback, void* userData) {
  m_callback = callback;
  m_callbackData = userData;
}

void EKXmlParserImpl::setParserType(EKName type, EKName htmlFlavour) {
  m_parserType = type.isEmpty() ? EKName(EKN_auto) : type;
  m_htmlFlavour = htmlFlavour;
  forgetSyntax();
}

// A syntax decided before the input was read goes with the settings it came from.
void EKXmlParserImpl::forgetSyntax() {
  if (m_started)
    return;
  m_detectedSyntax = EKN_EMPTY;
  m_syntaxSettled = false;
}

void EKXmlParserImpl::setHugeTextLimit(int limit) { m_hugeTextLimit = limit == 0 ? DEFAULT_HUGE_TEXT_LIMIT : limit; }

void EKXmlParserImpl::setInputUri(const EKUri& uri) {
  m_inputUri = uri.getLocalPath();
  if (m_frames.size() == 1)
    top().inputUri = m_inputUri;
}

void EKXmlParserImpl::resetState() {
  m_event = START_DOCUMENT;
  m_pending = PENDING_NONE;
  m_hasXmlDecl = m_seenDoctype = m_rootStarted = false;
  m_emptyElement = m_endPending = m_popPending = false;
  m_namespaces->reset();
  m_elementFrames.clear();
  m_attributeCount = -1;
  m_text.clear();
  m_textIsNull = false;
  m_refName = m_target = EKName();
  m_detectedSyntax = EKN_EMPTY;
  m_syntaxSettled = m_rootSeen = false;
  m_rootName = m_rootNamespace = EKName();
  m_tagMode = TAG_XML;
  m_replay = REPLAY_NONE;
  m_htmlOpenCounts.clear();
  m_rawTextDepth = -1;
  m_entities.reset();
  m_mathSaved.reset();
  m_mathDepth = -1;
  for (bool& attached : m_setAttached)
    attached = false;
  m_setOrder.clear();
  m_doctypeRoot.remove();
  m_pubidLiteral.remove();
  m_systemLiteral.remove();
  m_line = 1;
  m_column = 0;
  m_started = false;
  m_bytesRead = m_expanded = 0;
  m_isXml11 = false;
}

void EKXmlParserImpl::openDocumentFrame(std::istream* stream, bool owned) {
  m_input = stream;
  m_ownsInput = owned;
  auto frame = std::make_unique<Frame>();
  frame->kind = Frame::DOCUMENT;
  frame->stream = stream;
  frame->parserType = m_parserType;
  frame->inputUri = m_inputUri;
  frame->baseUri = m_baseUri;
  frame->oneCharAtATime = true;
  m_frames.clear();
  m_frames.push_back(std::move(frame));
  loadFrame();
}

void EKXmlParserImpl::setInput(EKUri& uri, const UnicodeString& encoding, const UnicodeString& baseUri) {
  closeStream();
  resetState();
  EKUri::ContentInfo info(m_contentInfo.get());
  std::istream* in = uri.getIStream(&info, nullptr);
  if (!in)
    throwCommonError(EKERR_CANNOT_OPEN_FILE, uri.getLocalPath());
  m_inputUri = uri.getLocalPath();
  m_baseUri = baseUri.isEmpty() ? uri.getBaseString() : baseUri;
  if (m_contentType.isEmpty())
    m_contentType = UnicodeString(info.contentType).toLower();
  m_extension = uri.getExtension().toLower();
  m_contentLanguage = info.language;
  m_suppliedEncoding = encoding;
  m_inputLocation = std::make_unique<EKUri>(uri);
  m_callerStream = nullptr;
  openDocumentFrame(in, true);
}

void EKXmlParserImpl::setInput(std::istream& in, const UnicodeString& encoding, const UnicodeString& baseUri) {
  closeStream();
  resetState();
  m_baseUri = baseUri;
  m_suppliedEncoding = encoding;
  m_inputLocation.reset();
  m_callerStream = &in;
  openDocumentFrame(&in, false);
}

void EKXmlParserImpl::closeStream() {
  while (m_frames.size() > 1)
    popFrame();
  m_frames.clear();
  m_cur = m_lim = nullptr;
  if (m_ownsInput)
    delete m_input;
  m_input = nullptr;
  m_ownsInput = false;
}

void EKXmlParserImpl::rewind() {
  std::istream* in = m_input;
  bool owned = m_ownsInput;
  if (!in && m_callerStream) {
    in = m_callerStream;
  } else if (!in && m_inputLocation) {
    // The input was closed at its end: open the same resource again.
    in = m_inputLocation->getIStream();
    owned = true;
  }
  const UnicodeString baseUri = m_baseUri;
  const UnicodeString inputUri = m_inputUri;
  m_ownsInput = false;
  closeStream();
  resetState();
  if (!in)
    return;
  in->clear();
  in->seekg(0);
  m_baseUri = baseUri;
  m_inputUri = inputUri;
  openDocumentFrame(in, owned);
}

UnicodeString EKXmlParserImpl::getInputEncoding() {
  return m_frames.empty() ? UnicodeString() : m_frames.front()->encodingName;
}

void EKXmlParserImpl::checkStream() {
  if (m_frames.empty() || !m_input)
    throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE);
  if (m_input->fail())
    throwCommonError(m_input->eof() ? EKERR_UNEXPECTED_END_OF_INPUT : EKERR_INPUT_STREAM_ERROR);
}

// --- errors

void EKXmlParserImpl::throwError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  UnicodeString message = xmlErrorMessage(code, arg1, arg2);
  const bool wasReporting = m_reporting;
  m_reporting = true;
  struct Restore {
    bool& flag;
    bool value;
    ~Restore() { flag = value; }
  } restore{m_reporting, wasReporting};
  if (m_callback) {
    EKError error(code, message, UnicodeString(), m_line, m_column, m_inputUri);
    m_callback(error, m_callbackData);
    if (getErrorLevel(code) == EKERROR_LEVEL_FATAL)
      throw EKError(EKERR_PARSER_FATAL, UnicodeString());
    return;
  }
  const UnicodeString description = getPositionDescription();
  if (!description.isEmpty())
    message.append(u'\n').append(description);
  const unsigned short strict = xmlStrictErrorCode(code);
  EKError error = description.isEmpty() ? EKError(strict, message, UnicodeString(), m_line, m_column, m_inputUri)
                                        : EKError(strict, message);
  if (getErrorLevel(strict) == EKERROR_LEVEL_FATAL)
    throw error;
  m_errors.push_back(error);
}

void EKXmlParserImpl::fatal(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  throwError(code, arg1, arg2);
  // Only a host's override of throwError could return here.
  throw EKError(EKERR_PARSER_FATAL, UnicodeString());
}

void EKXmlParserImpl::warn(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) {
  throwError(code, arg1, arg2);
}

bool EKXmlParserImpl::popError(EKError& error) {
  if (m_errors.empty())
    return false;
  error = std::move(m_errors.front());
  m_errors.pop_front();
  return true;
}

void EKXmlParserImpl::pushError(const EKError& error) {
  m_errors.push_back(error);
  m_errors.back().setLineNumber(m_line);
  m_errors.back().setColumnNumber(m_column);
  m_errors.back().setUri(m_inputUri);
}

UnicodeString EKXmlParserImpl::getPositionDescription() {
  if (m_features[FEATURE_NO_POSITION_DESCRIPTION])
    return UnicodeString();
  return xmlPositionDescription(m_event, m_inputUri, m_baseUri, m_line, m_column);
}

// --- getters

int EKXmlParserImpl::getNamespaceCount(int depth) const { return m_namespaces->getNamespaceCount(depth); }
EKName EKXmlParserImpl::getNamespacePrefix(int pos) { return m_namespaces->getNamespacePrefix(pos); }
EKName EKXmlParserImpl::getNamespaceUri(int pos) { return m_namespaces->getNamespaceUri(pos); }
EKName EKXmlParserImpl::getNamespace(EKName prefix) { return m_namespaces->resolve(prefix); }

EKName EKXmlParserImpl::getNamespace() {
  return m_event == START_TAG || m_event == END_TAG ? m_namespaces->getNamespace() : EKName();
}

int EKXmlParserImpl::getDepth() const { return m_namespaces->getDepth(); }

bool EKXmlParserImpl::isWhitespace() const {
  if (m_event == IGNORABLE_WHITESPACE)
    return true;
  if (m_event != TEXT && m_event != CDSECT)
    throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE);
  for (char16_t c : m_text)
    if (!EKChar::isWhitespace(c))
      return false;
  return true;
}

UnicodeString EKXmlParserImpl::getText() {
  if (m_textIsNull) {
    UnicodeString bogus;
    bogus.setToBogus();
    return bogus;
  }
  switch (m_event) {
  case TEXT:
  case CDSECT:
  case ENTITY_REF:
  case IGNORABLE_WHITESPACE:
  case PROCESSING_INSTRUCTION:
  case COMMENT:
  case DOCDECL:
    return UnicodeString(m_text.data(), static_cast<int32_t>(m_text.size()));
  default:
    return UnicodeString();
  }
}

EKName EKXmlParserImpl::getTarget() { return m_event == PROCESSING_INSTRUCTION ? m_target : EKName(); }

EKName EKXmlParserImpl::getName() {
  switch (m_event) {
  case START_TAG:
  case END_TAG:
    return m_namespaces->getName();
  case ENTITY_REF:
    return m_refName;
  case PROCESSING_INSTRUCTION:
    return m_target;
  default:
    return EKName();
  }
}

EKName EKXmlParserImpl::getPrefix() {
  return m_event == START_TAG || m_event == END_TAG ? m_namespaces->getPrefix() : EKName();
}

bool EKXmlParserImpl::isEmptyElementTag() const {
  if (m_event != START_TAG)
    throwCommonError(EKERR_NO_VALUE_FOR_NODE_TYPE);
  return m_emptyElement;
}

int EKXmlParserImpl::getAttributeCount() const { return m_event == START_TAG ? m_attributeCount : -1; }

EKName EKXmlParserImpl::getAttributeNamespace(int index) {
  if (index < 0 || index >= getAttributeCount())
    throwCommonError(EKERR_OUT_OF_RANGE);
  return m_attributes[static_cast<size_t>(index)].namespaceUri;
}

EKName EKXmlParserImpl::getAttributeName(int index) {
  if (index < 0 || index >= getAttributeCount())
    throwCommonError(EKERR_OUT_OF_RANGE);
  return m_attributes[static_cast<size_t>(index)].localName;
}

EKName EKXmlParserImpl::getAttributePrefix(int index) {
  if (index < 0 || index >= getAttributeCount())
    throwCommonError(EKERR_OUT_OF_RANGE);
  return m_attributes[static_cast<size_t>(index)].prefix;
}

UnicodeString EKXmlParserImpl::getAttributeValue(int index) {
  if (index < 0 || index >= getAttributeCount())
    throwCommonError(EKERR_OUT_OF_RANGE);
  return m_attributes[static_cast<size_t>(index)].value;
}

UnicodeString EKXmlParserImpl::getAttributeValue(EKName namespaceUri, EKName localName) {
  if (m_event != START_TAG)
    throwCommonError(EKERR_OUT_OF_RANGE);
  for (int i = 0; i < m_attributeCount; ++i) {
    const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    if (attribute.localName == localName &&
        (attribute.namespaceUri == namespaceUri ||
         (namespaceUri.isEmpty() && attribute.prefix.isEmpty() && attribute.namespaceUri.isEmpty())))
      return attribute.value;
  }
  UnicodeString bogus;
  bogus.setToBogus();
  return bogus;
}

// --- names

EKName EKXmlParserImpl::intern(const char16_t* chars, int32_t length) {
  // Names of one vocabulary differ in length or at their ends far more often than in between.
  uint32_t hash = static_cast<uint32_t>(length) * 0x9E3779B1u;
  if (length > 0)
    hash ^= (chars[0] * 31u + chars[length - 1]) * 0x85EBCA6Bu + chars[length / 2] * 0xC2B2AE35u;
  hash ^= hash >> 15;
  CachedName& slot = m_nameCache[hash & (NAME_CACHE_SIZE - 1)];
  if (slot.chars.size() == static_cast<size_t>(length) &&
      std::char_traits<char16_t>::compare(slot.chars.data(), chars, static_cast<size_t>(length)) == 0)
    return slot.name;
  slot.chars.assign(chars, static_cast<size_t>(length));
  slot.name = EKName(UnicodeString(chars, length));
  return slot.name;
}

void EKXmlParserImpl::splitQName(const std::u16string& qname, EKName& prefix, EKName& localName) {
  const size_t colon = qname.find(u':');
  const int32_t length = static_cast<int32_t>(qname.size());
  if (colon == std::u16string::npos || colon == 0 || colon + 1 == qname.size()) {
    prefix = EKName();
    localName = intern(qname.data(), length);
    return;
  }
  prefix = intern(qname.data(), static_cast<int32_t>(colon));
  localName = intern(qname.data() + colon + 1, length - static_cast<int32_t>(colon) - 1);
}

} // namespace EKCommonNS
