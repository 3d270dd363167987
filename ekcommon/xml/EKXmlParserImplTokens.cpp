// The native parser's tokens: text, tags, comments, CDATA sections, processing instructions,
// references, and the coalescing of next().

#include "ekcommon/xml/internal/EKXmlParserImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/internal/EKXmlEntityTables.h"

#include <algorithm>
#include <unordered_set>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace EKCommonNS {

namespace {

constexpr int COMMENT_LIMIT_FLOOR = 100000000;
constexpr int LINEAR_DUPLICATE_CHECK = 16;

// Characters of text that need no look at all: printable ASCII but markup and ']', and the
// BMP below the surrogates but U+2028 (a line break in XML 1.1).
struct PlainAscii {
  bool plain[128] = {};
  constexpr PlainAscii() {
    for (int c = 0x20; c < 0x7F; ++c)
      plain[c] = c != '<' && c != '&' && c != ']';
  }
};
constexpr PlainAscii PLAIN_ASCII;

inline bool isPlainText(char32_t c) {
  return c < 0x80 ? PLAIN_ASCII.plain[c] : (c >= 0xA0 && c < 0xD800 && c != 0x2028);
}

// A letter, then letters, digits, '.', '_' and '-'.
bool isEncodingName(const UnicodeString& name) {
  if (name.isEmpty() || !EKChar::isAsciiLetter(name.charAt(0)))
    return false;
  for (int32_t i = 1; i < name.length(); ++i) {
    const char16_t c = name.charAt(i);
    if (!EKChar::isAsciiLetter(c) && !EKChar::isAsciiDigit(c) && c != u'.' && c != u'_' && c != u'-')
      return false;
  }
  return true;
}

// At most one colon, neither first nor last.
bool isQName(const std::u16string& name) {
  const size_t colon = name.find(u':');
  return colon == std::u16string::npos ||
         (colon > 0 && colon + 1 < name.size() && name.find(u':', colon + 1) == std::u16string::npos);
}

UnicodeString toUnicode(const std::u16string& text) {
  return UnicodeString(reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()));
}

inline bool isAsciiNameStart(char32_t c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_'; }

inline bool isAsciiNameChar(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == ':';
}

void appendTo(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
  }
}

UnicodeString charText(char32_t c) {
  UnicodeString text;
  if (c < EKXmlParserImpl::END_OF_ENTITY)
    text.append(static_cast<UChar32>(c));
  return text;
}

} // namespace

void EKXmlParserImpl::appendText(char32_t c) { appendTo(m_text, c); }

void EKXmlParserImpl::checkTextLimit(bool comment) {
  if (m_hugeTextLimit < 0)
    return;
  if (!comment) {
    if (m_text.size() > static_cast<size_t>(m_hugeTextLimit))
      fatal(190);
    return;
  }
  const size_t limit = static_cast<size_t>(std::max(m_hugeTextLimit, COMMENT_LIMIT_FLOOR));
  if (m_text.size() > limit)
    m_text.resize(limit);
}

// --- names

// Reads a name into `raw`; false (nothing read) when the next character cannot start one.
bool EKXmlParserImpl::readName(std::u16string& raw) {
  raw.clear();
  const char32_t c = peek();
  if (c >= END_OF_ENTITY || !EKChar::isNameStartChar(static_cast<int>(c)))
    return false;
  readNameChars(raw);
  return true;
}

bool EKXmlParserImpl::readName(UnicodeString& raw) {
  const bool found = readName(m_nameBuffer);
  raw.setTo(reinterpret_cast<const UChar*>(m_nameBuffer.data()), static_cast<int32_t>(m_nameBuffer.size()));
  return found;
}

void EKXmlParserImpl::readNameChars(std::u16string& raw) {
  for (;;) {
    // Runs of ASCII name characters are taken in one step.
    const char16_t* p = m_cur;
    while (p < m_lim && isAsciiNameChar(*p))
      ++p;
    if (p > m_cur) {
      const size_t n = static_cast<size_t>(p - m_cur);
      raw.append(m_cur, n);
      m_column += static_cast<int>(n) * m_countPosition;
      m_cur = p;
    }
    const char32_t c = peek();
    if (c >= END_OF_ENTITY || !EKChar::isNameChar(static_cast<int>(c)))
      return;
    const char32_t next = read();
    if (next < 0x10000) {
      raw.push_back(static_cast<char16_t>(next));
    } else {
      raw.push_back(static_cast<char16_t>(0xD7C0 + (next >> 10)));
      raw.push_back(static_cast<char16_t>(0xDC00 | (next & 0x3FF)));
    }
  }
}

void EKXmlParserImpl::readNameChars(UnicodeString& raw) {
  m_nameBuffer.clear();
  readNameChars(m_nameBuffer);
  raw.append(reinterpret_cast<const UChar*>(m_nameBuffer.data()), static_cast<int32_t>(m_nameBuffer.size()));
}

EKName EKXmlParserImpl::readEntityName(char32_t first) {
  if (first == ';')
    fatal(155);
  if (first >= END_OF_ENTITY || !EKChar::isNameStartChar(static_cast<int>(first)))
    fatal(156, charText(first));
  std::u16string& name = m_nameBuffer;
  name.clear();
  if (first < 0x10000) {
    name.push_back(static_cast<char16_t>(first));
  } else {
    name.push_back(static_cast<char16_t>(0xD7C0 + (first >> 10)));
    name.push_back(static_cast<char16_t>(0xDC00 | (first & 0x3FF)));
  }
  readNameChars(name);
  const char32_t c = read();
  if (c != ';')
    fatal(156, toUnicode(name).append(charText(c)));
  return intern(name.data(), static_cast<int32_t>(name.size()));
}

// --- the event loop

void EKXmlParserImpl::start() {
  checkStream();
  m_started = true;
  Frame& frame = top();
  EKXmlDecoder decoder;
  UnicodeString canonical;
  const bool builtin =
      m_suppliedEncoding.isEmpty() || EKXmlDecoder::lookup(m_suppliedEncoding, frame.decoder, decoder, canonical);
  if (!m_suppliedEncoding.isEmpty() && builtin) {
    frame.decoder = decoder;
    frame.encodingName = canonical;
  }
  if (builtin)
    detectByteOrder(frame);
  else
    applyEncoding(m_suppliedEncoding);
  if (frame.encodingName.isEmpty())
    frame.encodingName = UNICODE_STRING_SIMPLE("UTF-8");
  const bool declaration =
      lookingAt("<?xml ") || lookingAt("<?xml\t") || lookingAt("<?xml\n") || lookingAt("<?xml\r");
  if (frame.parserType != EKN_text_n1461 && declaration) {
    m_hasXmlDecl = !m_readingExternalSubset;
    expect("<?xml", 140);
    readXmlDecl(m_readingExternalSubset);
  }
  // While a meta element of HTML may still name the encoding, characters are decoded one at a
  // time, so that the switch takes effect exactly after the element.
  const Frame& document = top();
  top().oneCharAtATime = htmlPossible() && !document.byteOrderMark && !document.transcoder &&
                         !document.decoder.isUtf16() && !document.decoder.isUtf32();
}

EKXmlParser::EventType EKXmlParserImpl::next() { return readToken(true); }

EKXmlParser::EventType EKXmlParserImpl::nextToken() { return readToken(false); }

void EKXmlParserImpl::classify() {
  const char32_t c = peek();
  if (top().parserType == EKN_text_n1461 && c < END_OF_ENTITY) {
    m_pending = PENDING_TEXT;
    return;
  }
  // Inside script and style of HTML only a comment and the element's own end tag are markup.
  if (m_rawTextDepth >= 0 && inRawText() && c < END_OF_ENTITY && !(c == '<' && rawTextMarkupAhead())) {
    m_pending = PENDING_TEXT;
    return;
  }
  switch (c) {
  case '<': {
    read();
    const char32_t second = peek();
    if (second == '!') {
      read();
      m_pending = PENDING_MARKUP;
    } else if (second == '/') {
      read();
      m_pending = PENDING_END_TAG;
    } else if (second == '?') {
      read();
      m_pending = PENDING_PI;
    } else if (isAsciiNameStart(second) ||
               (second < END_OF_ENTITY && EKChar::isNameStartChar(static_cast<int>(second)))) {
      m_pending = PENDING_START_TAG;
    } else if (html()) {
      appendText('<');
      m_pending = PENDING_TEXT;
    } else {
      fatal(132);
    }
    return;
  }
  case '&':
    read();
    // In HTML an ampersand that starts no complete reference ("a & b", "?x=1&y=2") is text.
    if (html() && !referenceAhead(0)) {
      appendText('&');
      m_pending = PENDING_TEXT;
      return;
    }
    m_pending = PENDING_REFERENCE;
    return;
  case END_OF_INPUT:
    m_pending = PENDING_END_OF_INPUT;
    return;
  case END_OF_ENTITY:
    m_pending = PENDING_END_OF_ENTITY;
    return;
  default:
    m_pending = PENDING_TEXT;
  }
}

EKXmlParser::EventType EKXmlParserImpl::readToken(bool coalescing) {
  if (!m_started)
    start();
  if (m_event == END_DOCUMENT)
    return END_DOCUMENT;
  if (m_endPending) {
    m_endPending = false;
    m_popPending = true;
    m_attributeCount = -1;
    return m_event = END_TAG;
  }
  if (m_popPending) {
    m_popPending = false;
    popElement();
  }
  m_attributeCount = -1;
  m_text.clear();
  m_textIsNull = false;
  m_refName = m_target = EKName();
  if (m_replay != REPLAY_NONE) {
    // A tag read before an element was implied or ended in front of it.
    const Replay replay = m_replay;
    m_replay = REPLAY_NONE;
    const EventType type = replay == REPLAY_START_TAG ? openTag() : closeTag();
    if (type != START_DOCUMENT)
      return m_event = type;
  }
  bool haveText = false;
  for (;;) {
    if (m_pending == PENDING_NONE)
      classify();
    const bool topLevel = atTopLevel();
    switch (m_pending) {
    case PENDING_END_OF_ENTITY: {
      const Frame& frame = top();
      if (m_namespaces->getDepth() != frame.elementDepth)
        fatal(129);
      m_pending = PENDING_NONE;
      popFrame();
      m_inputUri = top().inputUri;
      m_baseUri = top().baseUri;
      continue;
    }
    case PENDING_TEXT:
      m_pending = PENDING_NONE;
      readText();
      if (!coalescing)
        return m_event = topLevel ? IGNORABLE_WHITESPACE : TEXT;
      haveText = true;
      continue;
    case PENDING_REFERENCE:
      if (topLevel && !html())
        fatal(142, UNICODE_STRING_SIMPLE("U+0026 (&)"));
      m_pending = PENDING_NONE;
      if (!coalescing)
        return m_event = readReference(false);
      readReference(true);
      haveText = true;
      continue;
    case PENDING_MARKUP:
      if (coalescing) {
        const bool rawText = m_rawTextDepth >= 0 && inRawText();
        const EventType type = readMarkup(true);
        if (type == CDSECT || (type == COMMENT && rawText))
          haveText = true;
        continue;
      }
      return m_event = readMarkup(false);
    case PENDING_PI:
      if (coalescing && !m_features[FEATURE_REPORT_PROCESSING_INSTRUCTIONS]) {
        m_pending = PENDING_NONE;
        const std::u16string kept = m_text;
        readPI();
        m_text = kept;
        continue;
      }
      break;
    default:
      break;
    }
    // An HTML end tag that yields nothing (the root's, a stray one that makes no element) lets
    // the text run on across it.
    if (haveText && m_pending == PENDING_END_TAG && html()) {
      m_pending = PENDING_NONE;
      readEndTagName();
      if (endTagMatches() ? isKeptRoot() : dropsEndTag())
        continue;
      m_replay = REPLAY_END_TAG;
    }
    // A tag, a reported processing instruction or the end: a coalesced text run goes first.
    if (haveText) {
      // References that expanded to nothing leave no text event behind.
      if (!topLevel && !m_text.empty())
        return m_event = TEXT;
      haveText = false;
      m_text.clear();
      if (m_replay == REPLAY_END_TAG) {
        m_replay = REPLAY_NONE;
        const EventType type = closeTag();
        if (type == START_DOCUMENT)
          continue;
        return m_event = type;
      }
    }
    switch (m_pending) {
    case PENDING_START_TAG:
      m_pending = PENDING_NONE;
      return m_event = readStartTag();
    case PENDING_END_TAG: {
      m_pending = PENDING_NONE;
      // An HTML end tag that closes nothing yields no event.
      const EventType type = readEndTag();
      if (type == START_DOCUMENT)
        continue;
      return m_event = type;
    }
    case PENDING_PI:
      m_pending = PENDING_NONE;
      readPI();
      return m_event = PROCESSING_INSTRUCTION;
    default:
      return endDocument();
    }
  }
}

// Outside every element, where only white space may stand; input read as plain text is never
// there.
bool EKXmlParserImpl::atTopLevel() {
  return m_namespaces->getDepth() <= top().topDepth && top().parserType != EKN_text_n1461;
}

EKXmlParser::EventType EKXmlParserImpl::endDocument() {
  if (m_namespaces->getDepth() > 0) {
    if (!html())
      fatal(129);
    // HTML closes what is still open, one element per call.
    m_popPending = true;
    return m_event = END_TAG;
  }
  m_event = END_DOCUMENT;
  m_pending = PENDING_NONE;
  if (m_autoClose)
    closeStream();
  return m_event;
}

// --- character data

void EKXmlParserImpl::readText() {
  const bool topLevel = atTopLevel();
  const bool plainText = top().parserType == EKN_text_n1461;
  const bool rawText = m_rawTextDepth >= 0 && inRawText();
  // Text before or after the root element is kept in HTML.
  const bool strictTopLevel = topLevel && !plainText && !html();
  for (;;) {
    if (!topLevel && !plainText) {
      if (takePlainRun(m_text, 0))
        checkTextLimit(false);
    }
    char32_t c = peek();
    if (c >= END_OF_ENTITY)
      return;
    if (!plainText && (c == '<' || c == '&') && (!rawText || (c == '<' && rawTextMarkupAhead())))
      return;
    c = read();
    if (strictTopLevel && !EKChar::isWhitespace(static_cast<int>(c))) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X (", static_cast<unsigned>(c));
      fatal(142, UnicodeString(code).append(static_cast<UChar32>(c)).append(u')'));
    }
    appendText(c);
    if (c == ']' && !plainText && !rawText) {
      int brackets = 1;
      while (peek() == ']') {
        appendText(read());
        ++brackets;
      }
      if (brackets >= 2 && peek() == '>')
        fatal(144);
    }
    checkTextLimit(false);
  }
}

// Appends the run of plain text characters (not `stop`) that starts at the read position; they
// are all BMP characters below the surrogates, so each is one UTF-16 unit.
bool EKXmlParserImpl::takePlainRun(std::u16string& out, char16_t stop) {
  const char16_t* p = m_cur;
#ifdef __SSE2__
  // Eight units at a time while they are all printable ASCII other than the stops.
  const __m128i low = _mm_set1_epi16(0x20), high = _mm_set1_epi16(0x7E), lt = _mm_set1_epi16('<'),
                amp = _mm_set1_epi16('&'), bracket = _mm_set1_epi16(']'), quote = _mm_set1_epi16(static_cast<short>(stop));
  while (m_lim - p >= 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i special =
        _mm_or_si128(_mm_or_si128(_mm_cmplt_epi16(v, low), _mm_cmpgt_epi16(v, high)),
                     _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, lt), _mm_cmpeq_epi16(v, amp)),
                                  _mm_or_si128(_mm_cmpeq_epi16(v, bracket), _mm_cmpeq_epi16(v, quote))));
    if (_mm_movemask_epi8(special))
      break;
    p += 8;
  }
#endif
  while (p < m_lim && *p != stop && isPlainText(*p))
    ++p;
  if (p == m_cur)
    return false;
  const size_t n = static_cast<size_t>(p - m_cur);
  out.append(m_cur, n);
  m_column += static_cast<int>(n) * m_countPosition;
  m_cur = p;
  return true;
}

// --- tags

EKXmlParser::EventType EKXmlParserImpl::readStartTag() {
  readTag();
  return openTag();
}

// Reads a start tag's name and attributes into m_tagPrefix, m_tagName, m_tagEmpty and the first
// m_tagAttributeCount entries of m_attributes. How strictly depends on the syntax: XML, HTML, or
// (for a root tag that may still make the input HTML) HTML with XML's objections remembered.
void EKXmlParserImpl::readTag() {
  const bool first = m_namespaces->getDepth() == 0 && !m_rootStarted;
  m_tagMode = html() ? TAG_HTML : first && htmlPossible() ? TAG_PROVISIONAL : TAG_XML;
  m_toleratedCode = 0;
  std::u16string& qname = m_qname;
  if (!readName(qname))
    fatal(132);
  if (m_tagMode == TAG_HTML)
    lowerCase(qname);
  if (!isQName(qname))
    fatal(132);
  splitQName(qname, m_tagPrefix, m_tagName);
  m_tagLowered = m_tagMode == TAG_HTML;
  m_tagEmpty = false;
  int count = 0;
  for (;;) {
    const bool space = readWhitespace();
    const char32_t c = peek();
    if (c == '>') {
      read();
      break;
    }
    if (c == '/') {
      read();
      if (peek() == '>') {
        read();
        m_tagEmpty = true;
        break;
      }
      if (m_tagMode == TAG_XML) {
        read();
        fatal(140, UNICODE_STRING_SIMPLE("/"));
      }
      tolerate(140, UNICODE_STRING_SIMPLE("/"));
      warn(769, UNICODE_STRING_SIMPLE("/"));
      continue;
    }
    if (c >= END_OF_ENTITY)
      fatal(183, toUnicode(qname));
    if (static_cast<size_t>(count) >= m_attributes.size())
      m_attributes.emplace_back();
    Attribute& attribute = m_attributes[static_cast<size_t>(count)];
    if (!EKChar::isNameStartChar(static_cast<int>(c))) {
      read();
      if (m_tagMode == TAG_XML)
        fatal(140, charText(c));
      tolerate(140, charText(c));
      if (c == '"' || c == '\'' || c == '=') {
        warn(769, charText(c));
        continue;
      }
      // Any other text stands for an attribute name up to white space, '=', '>' or "/>".
      std::u16string& name = m_nameBuffer;
      name.clear();
      appendTo(name, c);
      for (char32_t n = peek(); n < END_OF_ENTITY && n != '=' && n != '>' && !EKChar::isWhitespace(static_cast<int>(n));
           n = peek()) {
        if (n == '/' && lookAhead(2) >= 2 && m_cur[1] == u'>')
          break;
        appendTo(name, read());
      }
      lowerCase(name);
      attribute.prefix = EKName();
      attribute.localName = intern(name.data(), static_cast<int32_t>(name.size()));
    } else {
      if (!space)
        tolerate(139);
      std::u16string& name = m_nameBuffer;
      readName(name);
      if (m_tagMode == TAG_HTML)
        lowerCase(name);
      if (!isQName(name))
        tolerate(137, toUnicode(name));
      splitQName(name, attribute.prefix, attribute.localName);
    }
    readAttribute(attribute);
    ++count;
  }
  m_tagAttributeCount = count;
}

// The rest of an attribute after its name: '=' and the value, which HTML also takes unquoted or
// leaves out.
void EKXmlParserImpl::readAttribute(Attribute& attribute) {
  attribute.namespaceUri = EKName();
  skipWhitespace();
  if (peek() != '=') {
    if (m_tagMode == TAG_XML) {
      read();
      fatal(138);
    }
    tolerate(138);
    attribute.value.remove();
    return;
  }
  read();
  skipWhitespace();
  const char32_t quote = peek();
  if (quote == '"' || quote == '\'' || m_tagMode == TAG_XML) {
    readAttributeValue(attribute.value);
    return;
  }
  tolerate(174);
  readUnquotedValue(attribute.value);
}

void EKXmlParserImpl::readAttributeValue(UnicodeString& value) {
  const char32_t quote = read();
  if (quote != '"' && quote != '\'')
    fatal(174);
  const size_t base = m_frames.size();
  std::u16string& buffer = m_text;
  buffer.clear();
  for (;;) {
    takePlainRun(buffer, static_cast<char16_t>(quote));
    const char32_t c = read();
    if (c == END_OF_ENTITY && m_frames.size() > base) {
      popFrame();
      continue;
    }
    if (c >= END_OF_ENTITY)
      fatal(175, charText(quote));
    if (c == quote && m_frames.size() == base)
      break;
    if (c == '<')
      tolerate(176);
    appendValueChar(c);
  }
  value.setTo(reinterpret_cast<const UChar*>(buffer.data()), static_cast<int32_t>(buffer.size()));
  buffer.clear();
}

// One character of an attribute value read: references are expanded (in HTML only complete ones)
// and line breaks and tabs become spaces.
void EKXmlParserImpl::appendValueChar(char32_t c) {
  if (c == '&' && (m_tagMode == TAG_XML || referenceAhead(0))) {
    if (peek() == '#') {
      read();
      appendText(readCharRef());
    } else {
      expandGeneralEntity(readEntityName(read()), true);
    }
  } else if (c == '&') {
    tolerate(156, UNICODE_STRING_SIMPLE("&"));
    appendText('&');
  } else if (c == 0x09 || c == 0x0A || c == 0x0D) {
    m_text.push_back(u' ');
  } else {
    appendText(c);
  }
  checkTextLimit(false);
}

EKXmlParser::EventType EKXmlParserImpl::openTag() {
  if (m_namespaces->getDepth() == 0) {
    if (!m_rootStarted)
      return openRoot();
    if (!html())
      fatal(130);
    warn(521);
  }
  if (html())
    return openHtmlTag();
  openElement(m_tagPrefix, m_tagName, m_tagAttributeCount);
  m_emptyElement = m_tagEmpty;
  finishOpenElement();
  return START_TAG;
}

// Opens the scope of a START_TAG whose attributes are the first `attributeCount` in m_attributes.
void EKXmlParserImpl::openElement(EKName prefix, EKName localName, int attributeCount) {
  m_namespaces->pushScope();
  m_namespaces->setElement(prefix, localName);
  m_elementFrames.push_back(static_cast<int>(m_frames.size()) - 1);
  m_emptyElement = false;
  m_attributeCount = attributeCount;
}

void EKXmlParserImpl::finishOpenElement() {
  applyNamespaces();
  declareVocabularyNamespace();
  if (html() && m_namespaces->getNamespace() == EKN_http_www_w3_org_1999_xhtml)
    ++m_htmlOpenCounts[static_cast<uint32_t>(static_cast<EKNameEnum>(m_namespaces->getName()))];
  if (m_emptyElement)
    m_endPending = true;
  checkMathElement();
}

// An HTML attribute value without quotes: up to white space, '>' or "/>" outside entity text.
void EKXmlParserImpl::readUnquotedValue(UnicodeString& value) {
  const size_t base = m_frames.size();
  std::u16string& buffer = m_text;
  buffer.clear();
  for (;;) {
    const char32_t c = peek();
    if (c == END_OF_ENTITY && m_frames.size() > base) {
      popFrame();
      continue;
    }
    if (m_frames.size() == base &&
        (c >= END_OF_ENTITY || c == '>' || EKChar::isWhitespace(static_cast<int>(c)) ||
         (c == '/' && lookAhead(2) >= 2 && m_cur[1] == u'>')))
      break;
    appendValueChar(read());
  }
  value.setTo(reinterpret_cast<const UChar*>(buffer.data()), static_cast<int32_t>(buffer.size()));
  buffer.clear();
}

void EKXmlParserImpl::applyNamespaces() {
  for (int i = 0; i < m_attributeCount; ++i) {
    const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    const bool prefixed = attribute.prefix == EKN_xmlns;
    if (!prefixed && !(attribute.prefix.isEmpty() && attribute.localName == EKN_xmlns))
      continue;
    const EKName prefix = prefixed ? attribute.localName : EKName();
    const EKName uri(attribute.value);
    // The reserved bindings: xml only to its namespace, xmlns never, and no other prefix to
    // either; an empty URI undeclares only the default namespace in XML 1.0.
    if (prefix == EKN_xmlns || uri == EKN_http_www_w3_org_2000_xmlns ||
        (prefix == EKN_xml) != (uri == EKN_http_www_w3_org_XML_1998_namespace) ||
        (prefixed && uri.isEmpty() && !m_isXml11)) {
      UnicodeString name(prefixed ? u"xmlns:" : u"xmlns");
      fatal(137, name.append(prefix.toString()));
    }
    m_namespaces->declare(prefix, uri);
  }
  const EKName prefix = m_namespaces->getPrefix();
  if (prefix == EKN_xmlns)
    fatal(135, prefix.toString());
  const EKName uri = m_namespaces->resolve(prefix);
  if (!prefix.isEmpty() && uri.isEmpty() && !m_features[FEATURE_ALLOW_UNBOUND_ELEMENT_PREFIX])
    fatal(135, prefix.toString());
  m_namespaces->setElementNamespace(uri);
  for (int i = 0; i < m_attributeCount; ++i) {
    Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    if (attribute.prefix.isEmpty())
      continue;
    attribute.namespaceUri = m_namespaces->resolve(attribute.prefix);
    if (attribute.namespaceUri.isEmpty()) {
      if (!m_features[FEATURE_ALLOW_UNBOUND_ATTRIBUTE_PREFIX] && !html())
        fatal(135, attribute.prefix.toString());
      attribute.namespaceUri = attribute.prefix;
    }
  }
  // A repeated attribute is an error in XML; HTML keeps the first.
  const bool isHtml = html();
  int kept = 0;
  auto duplicate = [&](int i) {
    const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    if (isHtml)
      return;
    UnicodeString name;
    if (!attribute.prefix.isEmpty())
      name.append(attribute.prefix.toString()).append(u':');
    fatal(136, name.append(attribute.localName.toString()));
  };
  auto keep = [&](int i) {
    if (kept != i)
      std::swap(m_attributes[static_cast<size_t>(kept)], m_attributes[static_cast<size_t>(i)]);
    ++kept;
  };
  if (m_attributeCount <= LINEAR_DUPLICATE_CHECK) {
    for (int i = 0; i < m_attributeCount; ++i) {
      const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
      bool repeated = false;
      for (int j = 0; j < kept && !repeated; ++j)
        repeated = attribute.localName == m_attributes[static_cast<size_t>(j)].localName &&
                   attribute.namespaceUri == m_attributes[static_cast<size_t>(j)].namespaceUri;
      if (repeated)
        duplicate(i);
      else
        keep(i);
    }
  } else {
    std::unordered_set<uint64_t> seen;
    for (int i = 0; i < m_attributeCount; ++i) {
      const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
      const uint64_t key =
          static_cast<uint64_t>(static_cast<uint32_t>(static_cast<EKNameEnum>(attribute.localName))) << 32 |
          static_cast<uint32_t>(static_cast<EKNameEnum>(attribute.namespaceUri));
      if (seen.insert(key).second)
        keep(i);
      else
        duplicate(i);
    }
  }
  m_attributeCount = kept;
}

EKXmlParser::EventType EKXmlParserImpl::readEndTag() {
  readEndTagName();
  return closeTag();
}

// Reads an end tag after "</" into m_tagPrefix and m_tagName; in XML it must name the current
// element.
void EKXmlParserImpl::readEndTagName() {
  if (EKChar::isWhitespace(static_cast<int>(peek())))
    fatal(141, UNICODE_STRING_SIMPLE("</"));
  std::u16string& qname = m_qname;
  if (!readName(qname))
    fatal(133);
  const bool isHtml = html();
  if (isHtml)
    lowerCase(qname);
  splitQName(qname, m_tagPrefix, m_tagName);
  if (!isHtml && !endTagMatches()) {
    UnicodeString open;
    if (m_namespaces->getDepth() > 0) {
      if (!m_namespaces->getPrefix().isEmpty())
        open.append(m_namespaces->getPrefix().toString()).append(u':');
      open.append(m_namespaces->getName().toString());
    }
    fatal(134, toUnicode(qname), open);
  }
  skipWhitespace();
  char32_t c = read();
  if (c != '>') {
    if (c >= END_OF_ENTITY)
      fatal(183, toUnicode(qname));
    warn(769, charText(c));
    while ((c = read()) != '>')
      if (c >= END_OF_ENTITY)
        fatal(183, toUnicode(qname));
  }
}

// The end tag just read names the current element, opened in the current input frame.
bool EKXmlParserImpl::endTagMatches() {
  return m_namespaces->getDepth() > top().topDepth && m_tagPrefix == m_namespaces->getPrefix() &&
         m_tagName == m_namespaces->getName() && m_elementFrames.back() == static_cast<int>(m_frames.size()) - 1;
}

EKXmlParser::EventType EKXmlParserImpl::closeTag() {
  if (!endTagMatches())
    return repairEndTag();
  if (isKeptRoot())
    return START_DOCUMENT;
  m_popPending = true;
  return END_TAG;
}

// HTML keeps its root element open to the end of the input, so that whatever follows its end tag
// still goes inside it.
bool EKXmlParserImpl::isKeptRoot() {
  return m_namespaces->getDepth() == 1 && m_frames.size() == 1 && html();
}

void EKXmlParserImpl::popElement() {
  const int depth = m_namespaces->getDepth();
  if (depth == m_rawTextDepth)
    m_rawTextDepth = -1;
  if (!m_htmlOpenCounts.empty() && m_namespaces->getNamespace() == EKN_http_www_w3_org_1999_xhtml) {
    const auto it = m_htmlOpenCounts.find(static_cast<uint32_t>(static_cast<EKNameEnum>(m_namespaces->getName())));
    if (it != m_htmlOpenCounts.end() && --it->second == 0)
      m_htmlOpenCounts.erase(it);
  }
  if (depth == m_mathDepth && m_mathSaved) {
    m_entities = std::move(*m_mathSaved);
    m_mathSaved.reset();
    m_mathDepth = -1;
    m_setAttached[EKXmlEntityTables::MATHML] = false;
    m_setOrder.erase(std::remove(m_setOrder.begin(), m_setOrder.end(), EKXmlEntityTables::MATHML), m_setOrder.end());
  }
  m_namespaces->popScope();
  if (!m_elementFrames.empty())
    m_elementFrames.pop_back();
}

// --- markup declarations, comments, CDATA sections, processing instructions

EKXmlParser::EventType EKXmlParserImpl::readMarkup(bool coalescing) {
  m_pending = PENDING_NONE;
  const char32_t c = read();
  if (c == '-') {
    if (read() != '-')
      fatal(169);
    if (coalescing) {
      const bool rawText = m_rawTextDepth >= 0 && inRawText();
      const std::u16string kept = m_text;
      readComment();
      if (rawText)
        m_text = kept + u"<!--" + m_text + u"-->";
      else
        m_text = kept;
    } else {
      readComment();
    }
    return COMMENT;
  }
  UnicodeString word;
  if (c == '[') {
    readName(word);
    if (word == UNICODE_STRING_SIMPLE("CDATA")) {
      if (read() != '[')
        fatal(168);
      if (atTopLevel())
        fatal(143, word);
      readCData();
      return CDSECT;
    }
    skipConditionalUnknown();
    return COMMENT;
  }
  if (c < END_OF_ENTITY)
    word.append(static_cast<UChar32>(c));
  readNameChars(word);
  if (word != UNICODE_STRING_SIMPLE("DOCTYPE")) {
    bool accepted = false;
    if (UnicodeString(word).toUpper() == UNICODE_STRING_SIMPLE("DOCTYPE") &&
        EKChar::isWhitespace(static_cast<int>(peek()))) {
      // A lower-case doctype is accepted only for an html root.
      skipWhitespace();
      UnicodeString root;
      readName(root);
      const int32_t colon = root.indexOf(u':');
      accepted = UnicodeString(root, colon + 1).toLower() == UNICODE_STRING_SIMPLE("html");
      if (accepted) {
        m_doctypeRoot = root.toLower();
        readDoctype(true);
      }
    }
    if (!accepted)
      fatal(170, word);
  } else {
    readDoctype(false);
  }
  if (coalescing)
    m_text.clear();
  return DOCDECL;
}

void EKXmlParserImpl::skipConditionalUnknown() {
  for (;;) {
    const char32_t c = read();
    if (c >= END_OF_ENTITY)
      fatal(145);
    if (c == ']' && peek() == '>') {
      read();
      return;
    }
  }
}

void EKXmlParserImpl::readComment() {
  m_text.clear();
  if (peek() == '>')
    warn(897, UNICODE_STRING_SIMPLE(">"));
  const bool tolerant = html() || xhtml();
  for (;;) {
    char32_t c = read();
    if (c >= END_OF_ENTITY)
      fatal(146);
    if (c == '-' && peek() == '-') {
      read();
      if (peek() == '>') {
        read();
        return;
      }
      if (tolerant && peek() == '-') {
        appendText('-');
        continue;
      }
      warn(tolerant ? 899 : 771);
      appendText('-');
      appendText('-');
      continue;
    }
    appendText(c);
    checkTextLimit(true);
  }
}

void EKXmlParserImpl::readCData() {
  // In next() the section continues the text run already collected.
  const size_t start = m_text.size();
  for (;;) {
    const char32_t c = read();
    if (c >= END_OF_ENTITY)
      fatal(145);
    const size_t size = m_text.size();
    if (c == '>' && size >= start + 2 && m_text[size - 1] == u']' && m_text[size - 2] == u']') {
      m_text.resize(m_text.size() - 2);
      return;
    }
    appendText(c);
    checkTextLimit(false);
  }
}

void EKXmlParserImpl::readPI() {
  UnicodeString target;
  if (!readName(target))
    fatal(172, target);
  if (target.indexOf(u':') >= 0)
    fatal(140, UNICODE_STRING_SIMPLE(":"));
  if (target.length() == 3 && UnicodeString(target).toLower() == UNICODE_STRING_SIMPLE("xml")) {
    if (target != UNICODE_STRING_SIMPLE("xml"))
      fatal(171, target);
    fatal(161);
  }
  m_target = intern(reinterpret_cast<const char16_t*>(target.getBuffer()), target.length());
  m_text.clear();
  if (peek() == '?') {
    read();
    if (read() == '>')
      return;
    fatal(172, target);
  }
  if (!readWhitespace())
    fatal(172, target);
  for (;;) {
    const char32_t c = read();
    if (c >= END_OF_ENTITY)
      fatal(173);
    if (c == '>' && !m_text.empty() && m_text.back() == u'?') {
      m_text.pop_back();
      return;
    }
    appendText(c);
    checkTextLimit(false);
  }
}

void EKXmlParserImpl::readXmlDecl(bool textDecl) {
  Frame& frame = top();
  bool space = readWhitespace();
  UnicodeString name, value;
  auto readPseudo = [&]() {
    name.remove();
    value.remove();
    while (peek() < END_OF_ENTITY && EKChar::isAsciiLetter(static_cast<int>(peek())))
      name.append(static_cast<UChar32>(read()));
  };
  auto readValue = [&]() {
    skipWhitespace();
    if (read() != '=')
      fatal(163, name);
    skipWhitespace();
    const char32_t quote = read();
    if (quote != '"' && quote != '\'')
      fatal(174);
    for (char32_t c = read(); c != quote; c = read()) {
      if (c >= END_OF_ENTITY)
        fatal(175, charText(quote));
      value.append(static_cast<UChar32>(c));
    }
    space = readWhitespace();
  };
  readPseudo();
  if (name == UNICODE_STRING_SIMPLE("version")) {
    readValue();
    if (value != UNICODE_STRING_SIMPLE("1.0") && value != UNICODE_STRING_SIMPLE("1.1"))
      fatal(166, value);
    if (!textDecl)
      setXml11(value == UNICODE_STRING_SIMPLE("1.1"));
    else if (value == UNICODE_STRING_SIMPLE("1.1") && !m_isXml11)
      fatal(166, value);
    readPseudo();
    if (!name.isEmpty() && !space)
      fatal(165, name);
  } else if (!textDecl) {
    fatal(162);
  }
  if (name == UNICODE_STRING_SIMPLE("encoding")) {
    readValue();
    if (!isEncodingName(UnicodeString(value).trim()))
      fatal(181, value);
    EKXmlDecoder declared;
    UnicodeString canonical;
    const bool builtin = EKXmlDecoder::lookup(value, frame.decoder, declared, canonical);
    if (frame.decoder.isUtf16() || frame.decoder.isUtf32() ||
        (frame.byteOrderMark && frame.decoder.getKind() == EKXmlDecoder::UTF8)) {
      // The first bytes decided the decoding; a mark only tolerates its own family's name.
      if (frame.byteOrderMark && (!builtin || declared.getKind() != frame.decoder.getKind()))
        fatal(185, value);
    } else {
      applyEncoding(value);
    }
    readPseudo();
    if (!name.isEmpty() && !space)
      fatal(165, name);
  } else if (textDecl) {
    fatal(140, name.isEmpty() ? charText(peek()) : name);
  }
  if (name == UNICODE_STRING_SIMPLE("standalone") && !textDecl) {
    readValue();
    if (value != UNICODE_STRING_SIMPLE("yes") && value != UNICODE_STRING_SIMPLE("no"))
      fatal(167);
    readPseudo();
  }
  if (!name.isEmpty())
    fatal(textDecl ? 140 : 162, name);
  if (read() != '?' || read() != '>')
    fatal(140, charText(m_cur > top().data() ? m_cur[-1] : U'?'));
}

// --- references

char32_t EKXmlParserImpl::readCharRef() {
  // What was written, kept for the messages only.
  std::u16string& written = m_nameBuffer;
  written.clear();
  bool hex = false;
  if (peek() == 'x' || (peek() == 'X' && html())) {
    written.push_back(static_cast<char16_t>(read()));
    hex = true;
  }
  uint32_t value = 0;
  bool digits = false;
  for (;;) {
    const char32_t c = read();
    if (c == ';')
      break;
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = static_cast<int>(c - '0');
    else if (hex && c >= 'a' && c <= 'f')
      digit = static_cast<int>(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F')
      digit = static_cast<int>(c - 'A' + 10);
    if (digit < 0) {
      UnicodeString text = toUnicode(written).append(charText(c));
      fatal(EKChar::isWhitespace(static_cast<int>(c)) ? 177 : 178, text);
    }
    written.push_back(static_cast<char16_t>(c));
    digits = true;
    value = value > 0x10FFFF ? value : value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  if (!digits)
    fatal(178, toUnicode(written));
  const bool htmlSpace =
      html() && (value == 0x09 || value == 0x0A || value == 0x0C || value == 0x0D || value == 0x20);
  const bool valid = m_isXml11 ? (value >= 1 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF) &&
                                  value != 0xFFFE && value != 0xFFFF)
                               : EKChar::isValidChar(static_cast<int>(value));
  if (!valid && !htmlSpace) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", value);
    fatal(179, UnicodeString(code));
  }
  return value;
}

EKXmlParser::EventType EKXmlParserImpl::readReference(bool coalescing) {
  if (peek() == '#') {
    read();
    const char32_t c = readCharRef();
    appendText(c);
    if (!coalescing) {
      char name[16];
      std::snprintf(name, sizeof name, "#x%X", static_cast<unsigned>(c));
      const UnicodeString refName(name);
      m_refName = intern(reinterpret_cast<const char16_t*>(refName.getBuffer()), refName.length());
    }
    checkTextLimit(false);
    return ENTITY_REF;
  }
  const EKName name = readEntityName(read());
  if (coalescing) {
    expandGeneralEntity(name, false);
    return TEXT;
  }
  m_refName = name;
  const EKXmlEntityMaps::Entity* entity = findGeneral(name);
  if (!entity || entity->external) {
    m_textIsNull = true;
  } else {
    const UnicodeString& text = entity->text;
    m_text.assign(reinterpret_cast<const char16_t*>(text.getBuffer()), static_cast<size_t>(text.length()));
  }
  return ENTITY_REF;
}

// The entity a reference names when it can be expanded; an undefined one is a warning (514 or
// 515), one whose expansion is in progress warning 520, and both give null.
EKXmlEntityMaps::Entity* EKXmlParserImpl::entityToExpand(bool parameter, EKName name) {
  EKXmlEntityMaps::Entity* entity = parameter ? findEntity(name, true) : findGeneral(name);
  if (!entity) {
    warn(parameter ? 514 : 515, name.toString());
    return nullptr;
  }
  if (entity->expanding) {
    warn(520, name.toString());
    return nullptr;
  }
  return entity;
}

// Reads an external parsed entity in place of its reference.
void EKXmlParserImpl::pushExternalEntity(EKXmlEntityMaps::Entity& entity) {
  const size_t before = m_frames.size();
  pushResolvedStream(EKUri(entity.uri), entity.name, UnicodeString(), false);
  if (m_frames.size() > before) {
    top().entityName = entity.name;
    top().parameterEntity = entity.parameter;
    entity.expanding = true;
  }
}

void EKXmlParserImpl::expandGeneralEntity(EKName name, bool inAttribute) {
  EKXmlEntityMaps::Entity* found = entityToExpand(false, name);
  if (!found)
    return;
  EKXmlEntityMaps::Entity& entity = *found;
  if (entity.external || entity.unparsed) {
    if (inAttribute || entity.unparsed)
      fatal(188, externalDeclaration(entity));
    if (m_features[FEATURE_NO_EXTERNAL_ENTITIES])
      warn(516, externalDeclaration(entity));
    else
      pushExternalEntity(entity);
    return;
  }
  // The whole expansion counts once, where a reference in the document starts it: a nested
  // expansion ("billion laughs") is stopped before any of it is read.
  if (m_countPosition)
    countExpansion(m_entities.getExpandedLength(entity));
  switch (EKXmlEntityMaps::getShape(entity)) {
  case EKXmlEntityMaps::Entity::CHARACTER:
    appendText(entity.character);
    break;
  case EKXmlEntityMaps::Entity::PLAIN: {
    const UnicodeString& text = entity.text;
    const size_t old = m_text.size();
    m_text.append(reinterpret_cast<const char16_t*>(text.getBuffer()), static_cast<size_t>(text.length()));
    if (inAttribute)
      for (size_t i = old; i < m_text.size(); ++i)
        if (m_text[i] == u'\t' || m_text[i] == u'\n' || m_text[i] == u'\r')
          m_text[i] = u' ';
    break;
  }
  default:
    pushTextFrame(Frame::INTERNAL, entity, false);
    return;
  }
  checkTextLimit(false);
}

// Makes an entity's replacement text the current input; a parameter entity read as declarations
// is padded with a space on each side.
void EKXmlParserImpl::pushTextFrame(Frame::Kind kind, EKXmlEntityMaps::Entity& entity, bool padded) {
  std::unique_ptr<Frame> frame;
  if (m_spareFrames.empty()) {
    frame = std::make_unique<Frame>();
  } else {
    frame = std::move(m_spareFrames.back());
    m_spareFrames.pop_back();
  }
  frame->kind = kind;
  frame->pos = 0;
  frame->entityName = entity.name;
  frame->parameterEntity = kind == Frame::PARAMETER;
  frame->readsText = true;
  if (padded)
    frame->text = UnicodeString(u' ').append(entity.text).append(u' ');
  else
    frame->text = entity.text;
  frame->inputUri = m_inputUri;
  frame->baseUri = m_baseUri;
  frame->parserType = top().parserType;
  frame->topDepth = top().topDepth;
  pushFrame(std::move(frame));
}

UnicodeString EKXmlParserImpl::externalDeclaration(const EKXmlEntityMaps::Entity& entity) const {
  return UnicodeString(u"<!ENTITY ")
      .append(entity.name.toString())
      .append(u" ... \"")
      .append(entity.systemLiteral)
      .append(u'"');
}

} // namespace EKCommonNS
