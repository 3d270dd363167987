// The native parser's HTML syntax: deciding once per input whether it is HTML, XHTML or XML, and
// the fixed rules by which HTML's case-insensitive names, implied, void and mismatched tags, raw
// text and meta-declared encodings become an ordinary event stream in the XHTML namespace.

#include "ekcommon/xml/internal/EKXmlParserImpl.h"

#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/internal/EKXmlEntityTables.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>

namespace EKCommonNS {

namespace {

constexpr EKNameEnum XHTML = EKN_http_www_w3_org_1999_xhtml;
// Longest reference taken as one (an entity name or a character reference with its digits).
constexpr size_t REFERENCE_LOOK_AHEAD = 64;

EKNameEnum nameOf(EKName name) { return static_cast<EKNameEnum>(name); }

bool isHeadContent(EKName name) {
  switch (nameOf(name)) {
  case EKN_base: case EKN_isindex: case EKN_link: case EKN_meta: case EKN_object: case EKN_script: case EKN_style:
  case EKN_title:
    return true;
  default:
    return false;
  }
}

bool isVoid(EKName name) {
  switch (nameOf(name)) {
  case EKN_area: case EKN_base: case EKN_basefont: case EKN_bgsound: case EKN_br: case EKN_col: case EKN_command:
  case EKN_embed: case EKN_event_source: case EKN_frame: case EKN_hr: case EKN_hype: case EKN_img: case EKN_input:
  case EKN_isindex: case EKN_keygen: case EKN_link: case EKN_meta: case EKN_nest: case EKN_param: case EKN_source:
  case EKN_spacer: case EKN_wbr:
    return true;
  default:
    return false;
  }
}

bool isTableSection(EKNameEnum name) { return name == EKN_tbody || name == EKN_tfoot || name == EKN_thead; }

bool isRubyText(EKNameEnum name) { return name == EKN_rb || name == EKN_rp || name == EKN_rt; }

// Whether a start tag of `next` ends the open element `current`.
bool closedByStartTag(EKName current, EKName next) {
  const EKNameEnum n = nameOf(next);
  switch (nameOf(current)) {
  case EKN_p:
    switch (n) {
    case EKN_address: case EKN_blockquote: case EKN_div: case EKN_dl: case EKN_fieldset: case EKN_form: case EKN_h1:
    case EKN_h2: case EKN_h3: case EKN_h4: case EKN_h5: case EKN_h6: case EKN_hr: case EKN_menu: case EKN_ol:
    case EKN_p: case EKN_pre: case EKN_table: case EKN_ul:
      return true;
    default:
      return false;
    }
  case EKN_li:
    return n == EKN_li;
  case EKN_dt: case EKN_dd:
    return n == EKN_dt || n == EKN_dd;
  case EKN_colgroup: case EKN_marquee: case EKN_nobr: case EKN_optgroup: case EKN_option:
    return next == current;
  case EKN_head:
    return !isHeadContent(next);
  case EKN_rb: case EKN_rp: case EKN_rt:
    return isRubyText(n);
  case EKN_tbody: case EKN_tfoot: case EKN_thead:
    return isTableSection(n);
  case EKN_tr:
    return isTableSection(n) || n == EKN_tr;
  case EKN_td: case EKN_th:
    return isTableSection(n) || n == EKN_td || n == EKN_th || n == EKN_tr;
  default:
    return false;
  }
}

// Whether an end tag of `end`, naming an element open further up, ends the open element `current`.
bool closedByEndTag(EKName current, EKName end) {
  const EKNameEnum e = nameOf(end);
  switch (nameOf(current)) {
  case EKN_head: case EKN_body:
    return e == EKN_html;
  case EKN_dd:
    return e == EKN_dialog || e == EKN_dl;
  case EKN_dt:
    return e == EKN_dl;
  case EKN_li:
    return e == EKN_menu || e == EKN_ol || e == EKN_ul;
  case EKN_optgroup: case EKN_option:
    return e == EKN_select;
  case EKN_p:
    return true;
  case EKN_rb: case EKN_rp: case EKN_rt:
    return e == EKN_ruby;
  case EKN_tbody: case EKN_tfoot: case EKN_thead:
    return e == EKN_table;
  case EKN_td: case EKN_th:
    return e == EKN_tr || e == EKN_table || isTableSection(e);
  case EKN_tr:
    return e == EKN_table || isTableSection(e);
  default:
    return false;
  }
}

bool isOneOf(const UnicodeString& value, std::initializer_list<const char16_t*> choices) {
  for (const char16_t* choice : choices)
    if (value == choice)
      return true;
  return false;
}

char16_t lowerUnit(char16_t c) {
  if (c < 0x80)
    return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 0x20) : c;
  if (U16_IS_SURROGATE(c))
    return c;
  return static_cast<char16_t>(u_tolower(c));
}

} // namespace

// --- the syntax decision

bool EKXmlParserImpl::isHTMLSyntax() const { return html(); }

bool EKXmlParserImpl::isXHTMLSyntax() const { return xhtml(); }

void EKXmlParserImpl::detectSyntax() const {
  const EKName xhtml = detectXhtml();
  if (!xhtml.isEmpty())
    m_detectedSyntax = xhtml;
  else if (detectHtml())
    m_detectedSyntax = EKN_html;
  // XML for good once nothing that is still to come can change the answer.
  else if (m_parserType != EKN_auto || !m_contentType.isEmpty() || m_rootSeen)
    m_syntaxSettled = true;
}

// XHTML when it returns xhtml; a rule that rules XHTML out in favour of HTML returns html.
EKName EKXmlParserImpl::detectXhtml() const {
  if (m_parserType != EKN_auto)
    return m_parserType == EKN_xhtml ? EKName(EKN_xhtml) : EKName();
  if (!m_contentType.isEmpty())
    return m_contentType == UNICODE_STRING_SIMPLE("application/xhtml+xml") ? EKName(EKN_xhtml) : EKName();
  if (m_htmlFlavour == EKN_html && !m_extension.isEmpty()) {
    if (isOneOf(m_extension, {u".xht", u".xhtm", u".xhtml"}))
      return EKN_xhtml;
    if (isOneOf(m_extension, {u".html", u".htm"}))
      return EKN_html;
  }
  const bool xhtmlRoot = m_rootSeen && m_htmlFlavour == EKN_xhtml && m_rootNamespace == XHTML;
  if (!m_hasXmlDecl) {
    if (m_pubidLiteral.indexOf(u" HTML ") >= 0)
      return EKN_html;
    if (m_pubidLiteral.indexOf(u" XHTML ") >= 0)
      return EKN_xhtml;
  }
  return xhtmlRoot ? EKName(EKN_xhtml) : EKName();
}

bool EKXmlParserImpl::detectHtml() const {
  if (m_parserType != EKN_auto)
    return m_parserType == EKN_html;
  if (!m_contentType.isEmpty())
    return m_contentType == UNICODE_STRING_SIMPLE("text/html");
  if (m_htmlFlavour == EKN_html && isOneOf(m_extension, {u".html", u".htm"}))
    return true;
  if (m_hasXmlDecl)
    return false;
  return m_pubidLiteral.indexOf(u" HTML ") >= 0 ||
         (m_rootSeen && m_rootNamespace.isEmpty() && m_rootName == EKN_html);
}

bool EKXmlParserImpl::htmlPossible() const {
  if (html())
    return true;
  if (!m_detectedSyntax.isEmpty() || m_syntaxSettled)
    return false;
  // Still open: only a DOCTYPE or the root element can make it HTML, and neither may follow an
  // XML declaration.
  return !m_hasXmlDecl;
}

// --- names

void EKXmlParserImpl::lowerCase(std::u16string& chars) {
  for (char16_t& c : chars)
    c = lowerUnit(c);
}

EKName EKXmlParserImpl::lowerName(EKName name) {
  const UnicodeString text = name.toString();
  std::u16string chars(reinterpret_cast<const char16_t*>(text.getBuffer()), static_cast<size_t>(text.length()));
  lowerCase(chars);
  if (chars.compare(0, chars.size(), reinterpret_cast<const char16_t*>(text.getBuffer()), chars.size()) == 0)
    return name;
  return intern(chars.data(), static_cast<int32_t>(chars.size()));
}

void EKXmlParserImpl::lowerTagNames() {
  if (m_tagLowered)
    return;
  m_tagLowered = true;
  m_tagPrefix = lowerName(m_tagPrefix);
  m_tagName = lowerName(m_tagName);
  for (int i = 0; i < m_tagAttributeCount; ++i) {
    Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    attribute.prefix = lowerName(attribute.prefix);
    attribute.localName = lowerName(attribute.localName);
  }
}

void EKXmlParserImpl::tolerate(unsigned short code, const UnicodeString& arg) {
  if (m_tagMode == TAG_XML)
    fatal(code, arg);
  if (m_tagMode == TAG_PROVISIONAL && m_toleratedCode == 0) {
    m_toleratedCode = code;
    m_toleratedArg = arg;
  }
}

// --- start tags

// What detection needs of the root element: its lower-cased name and its namespace, from its own
// declarations (it has no ancestors to inherit from).
void EKXmlParserImpl::noteRoot() {
  m_rootSeen = true;
  m_rootName = lowerName(m_tagName);
  m_rootNamespace = EKName();
  for (int i = 0; i < m_tagAttributeCount; ++i) {
    const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    const bool declares = m_tagPrefix.isEmpty()
                              ? attribute.prefix.isEmpty() && attribute.localName == EKN_xmlns
                              : attribute.prefix == EKN_xmlns && attribute.localName == m_tagPrefix;
    if (declares)
      m_rootNamespace = EKName(attribute.value);
  }
  if (!m_tagPrefix.isEmpty() && m_rootNamespace.isEmpty())
    m_rootNamespace = m_tagPrefix == EKN_xml ? EKName(EKN_http_www_w3_org_XML_1998_namespace) : m_tagPrefix;
}

EKXmlParser::EventType EKXmlParserImpl::openRoot() {
  noteRoot();
  // <!DOCTYPE html> followed by another element: the html element is implied around it.
  const bool implied = m_doctypeRoot == UNICODE_STRING_SIMPLE("html") && m_rootName != EKN_html &&
                       (m_parserType == EKN_auto || m_parserType == EKN_html) && !xhtml();
  if (implied) {
    m_rootName = EKN_html;
    m_rootNamespace = EKName();
  }
  m_rootStarted = true;
  if (m_detectedSyntax.isEmpty())
    detectSyntax();
  const bool isHtml = html();
  if (m_tagMode == TAG_PROVISIONAL) {
    if (!isHtml && m_toleratedCode != 0)
      fatal(m_toleratedCode, m_toleratedArg);
    if (isHtml)
      lowerTagNames();
  }
  setUpRoot();
  if (implied)
    return implyElement(EKN_html);
  if (isHtml)
    return openHtmlTag();
  openElement(m_tagPrefix, m_tagName, m_tagAttributeCount);
  m_emptyElement = m_tagEmpty;
  finishOpenElement();
  return START_TAG;
}

// At the first start tag: the entity set of the syntax, and the encoding assumed for HTML that
// has declared none.
void EKXmlParserImpl::setUpRoot() {
  if (xhtml()) {
    attachEntitySet(EKXmlEntityTables::HTML4);
    closeMetaWindow();
    return;
  }
  if (!html()) {
    closeMetaWindow();
    return;
  }
  attachEntitySet(EKXmlEntityTables::HTML5);
  if (!m_htmlDefaultCharset.isEmpty() && m_suppliedEncoding.isEmpty() && !m_hasXmlDecl)
    applyHtmlCharset(m_htmlDefaultCharset, false);
}

EKXmlParser::EventType EKXmlParserImpl::openHtmlTag() {
  const int depth = m_namespaces->getDepth();
  if (depth > 0 && m_namespaces->getNamespace() == XHTML) {
    const EKName current = m_namespaces->getName();
    if (current == EKN_html && m_tagName != EKN_head && m_tagName != EKN_body)
      return implyElement(isHeadContent(m_tagName) ? EKN_head : EKN_body);
    // The root element itself is never ended by what follows it.
    if (depth > 1 && closedByStartTag(current, m_tagName)) {
      m_replay = REPLAY_START_TAG;
      return endCurrentElement();
    }
  }
  openElement(m_tagPrefix, m_tagName, m_tagAttributeCount);
  m_emptyElement = m_tagEmpty;
  finishOpenElement();
  const EKName name = m_tagName;
  const bool xhtml = m_namespaces->getNamespace() == XHTML;
  // Void elements end where they start; XHTML documents, being XML, close them themselves.
  const bool isVoidElement = xhtml && !m_tagEmpty && isVoid(name);
  if (isVoidElement) {
    m_emptyElement = true;
    m_endPending = true;
  }
  if (xhtml && name == EKN_meta)
    applyMetaCharset();
  if (isVoidElement)
    consumeOwnEndTag();
  else if ((name == EKN_script || name == EKN_style) && !m_tagEmpty)
    m_rawTextDepth = depth + 1;
  if (!(xhtml && (name == EKN_html || name == EKN_head || isHeadContent(name))))
    closeMetaWindow();
  return START_TAG;
}

// A START_TAG the input does not contain; the tag just read comes again after it.
EKXmlParser::EventType EKXmlParserImpl::implyElement(EKName localName) {
  m_replay = REPLAY_START_TAG;
  openElement(EKName(), localName, 0);
  finishOpenElement();
  return START_TAG;
}

EKXmlParser::EventType EKXmlParserImpl::endCurrentElement() {
  m_popPending = true;
  return END_TAG;
}

// The namespace an unprefixed element gets without declaring it: XHTML for the root of an HTML
// document, and MathML, SVG or the chart vocabulary for math, svg and chart as the root or
// anywhere in HTML.
void EKXmlParserImpl::declareVocabularyNamespace() {
  if (!m_namespaces->getPrefix().isEmpty())
    return;
  const EKName name = m_namespaces->getName();
  const int depth = m_namespaces->getDepth();
  const bool isHtml = html();
  EKName uri;
  if (name == EKN_math)
    uri = EKN_http_www_w3_org_1998_Math_MathML;
  else if (name == EKN_svg)
    uri = EKN_http_www_w3_org_2000_svg;
  else if (name == EKN_chart)
    uri = EKN_http_ns_ekcommon_org_names_ChartML;
  else if (isHtml && depth == 1 && m_namespaces->getNamespace().isEmpty())
    uri = XHTML;
  if (uri.isEmpty() || (!isHtml && depth != 1) || m_namespaces->getNamespace() == uri)
    return;
  m_namespaces->declare(EKName(), uri);
  m_namespaces->setElementNamespace(uri);
  if ((name == EKN_svg || name == EKN_chart) && m_namespaces->resolve(EKN_xlink).isEmpty())
    m_namespaces->declare(EKN_xlink, EKN_http_www_w3_org_1999_xlink);
}

// A void element's own end tag right after it belongs to it.
void EKXmlParserImpl::consumeOwnEndTag() {
  const int32_t length = m_tagName.toString().length();
  if (!endTagAhead(m_tagName, 0) || m_cur[2 + length] != u'>')
    return;
  for (int32_t i = 0; i < length + 3; ++i)
    read();
}

// --- end tags

bool EKXmlParserImpl::isHtmlOpen(EKName localName) const {
  return m_htmlOpenCounts.count(static_cast<uint32_t>(nameOf(localName))) > 0;
}

namespace {

UnicodeString qualified(EKName prefix, EKName localName) {
  UnicodeString name;
  if (!prefix.isEmpty())
    name.append(prefix.toString()).append(u':');
  return name.append(localName.toString());
}

} // namespace

// An HTML end tag, not the current element's, that closes nothing and can make no element: one
// outside every element, or a stray one with a name XML cannot write ("</p:>"). It is reported
// and yields nothing; the text on either side of it runs on.
bool EKXmlParserImpl::dropsEndTag() {
  const UnicodeString endName = qualified(m_tagPrefix, m_tagName);
  if (m_namespaces->getDepth() <= top().topDepth) {
    warn(513, endName, UnicodeString());
    return true;
  }
  const bool stray = !isHtmlOpen(m_tagName) && m_namespaces->resolve(m_tagPrefix) == XHTML &&
                     m_elementFrames.back() == static_cast<int>(m_frames.size()) - 1;
  if (!stray || EKChar::isNCNameStr(m_tagName.toString()))
    return false;
  warn(513, endName, qualified(m_namespaces->getPrefix(), m_namespaces->getName()));
  return true;
}

// An HTML end tag that is not the current element's: the current element is ended in front of it
// (and the end tag read again), or a stray end tag becomes an empty element. Returns
// START_DOCUMENT when the end tag yields nothing.
EKXmlParser::EventType EKXmlParserImpl::repairEndTag() {
  if (dropsEndTag())
    return START_DOCUMENT;
  const UnicodeString endName = qualified(m_tagPrefix, m_tagName);
  const UnicodeString openName = qualified(m_namespaces->getPrefix(), m_namespaces->getName());
  const bool prefixHtml = m_tagPrefix.isEmpty() || m_namespaces->resolve(m_tagPrefix) == XHTML;
  const bool open = prefixHtml && isHtmlOpen(m_tagName);
  const bool sameFrame = m_elementFrames.back() == static_cast<int>(m_frames.size()) - 1;
  if (!sameFrame || !(open || m_namespaces->resolve(m_tagPrefix) == XHTML))
    fatal(134, endName, openName);
  const EKName current = m_namespaces->getName();
  const bool currentHtml = m_namespaces->getNamespace() == XHTML;
  if (open && currentHtml && closedByEndTag(current, m_tagName)) {
    m_replay = REPLAY_END_TAG;
    return endCurrentElement();
  }
  if (!(currentHtml && closedByStartTag(current, m_tagName)))
    warn(513, endName, openName);
  if (!open) {
    openElement(m_tagPrefix, m_tagName, 0);
    m_emptyElement = true;
    finishOpenElement();
    return START_TAG;
  }
  m_replay = REPLAY_END_TAG;
  return endCurrentElement();
}

// --- encodings named by meta elements

void EKXmlParserImpl::applyMetaCharset() {
  if (m_frames.size() != 1)
    return;
  UnicodeString charset, content, httpEquiv, declared;
  for (int i = 0; i < m_attributeCount; ++i) {
    const Attribute& attribute = m_attributes[static_cast<size_t>(i)];
    if (!attribute.prefix.isEmpty())
      continue;
    if (attribute.localName == EKN_charset)
      declared = UnicodeString(attribute.value).toLower(icu::Locale::getRoot());
    else if (attribute.localName == EKN_content)
      content = UnicodeString(attribute.value).toLower(icu::Locale::getRoot());
    else if (attribute.localName == EKN_http_equiv)
      httpEquiv = UnicodeString(attribute.value).toLower(icu::Locale::getRoot()).trim();
  }
  if (httpEquiv == UNICODE_STRING_SIMPLE("content-type")) {
    // "text/html; charset=shift_jis": the parameters after the type.
    for (int32_t start = content.indexOf(u';'); start >= 0;) {
      const int32_t end = content.indexOf(u';', start + 1);
      const UnicodeString part(content, start + 1, (end < 0 ? content.length() : end) - start - 1);
      const int32_t equals = part.indexOf(u'=');
      if (equals >= 0 && UnicodeString(part, 0, equals).trim() == UNICODE_STRING_SIMPLE("charset")) {
        UnicodeString value(part, equals + 1);
        const int32_t comma = value.indexOf(u',');
        if (comma >= 0)
          value.truncate(comma);
        charset = value.trim();
      }
      start = end;
    }
  } else if (httpEquiv == UNICODE_STRING_SIMPLE("content-language")) {
    m_contentLanguage = content.trim();
  }
  if (!declared.isEmpty())
    charset = declared.trim();
  if (!charset.isEmpty())
    applyHtmlCharset(charset, true);
}

// Decodes the rest of the document in `charset`. This is exact only while characters are still
// decoded one at a time (up to the body of an HTML document, and before any transcoder is in
// place); later, and after a byte order mark or in UTF-16 or UTF-32, the name is ignored. The
// first meta element that names an encoding decides it.
void EKXmlParserImpl::applyHtmlCharset(const UnicodeString& charset, bool fromMeta) {
  Frame& document = *m_frames.front();
  if (m_frames.size() != 1 || !document.oneCharAtATime || document.byteOrderMark || document.transcoder ||
      document.decoder.isUtf16() || document.decoder.isUtf32())
    return;
  undecodeAhead(document);
  applyEncoding(charset);
  if (fromMeta)
    closeMetaWindow();
}

// From here on no meta element can change the decoding, which goes back to whole blocks.
void EKXmlParserImpl::closeMetaWindow() {
  if (m_frames.empty())
    return;
  Frame& document = *m_frames.front();
  document.oneCharAtATime = false;
  document.decodedBytes.clear();
  document.decodedCounts.clear();
}

// --- look-ahead

size_t EKXmlParserImpl::lookAhead(size_t wanted) {
  Frame& frame = top();
  if (!frame.readsText && frame.stream) {
    frame.pos = static_cast<size_t>(m_cur - frame.chars.data());
    while (frame.chars.size() - frame.pos < wanted) {
      const size_t before = frame.chars.size() - frame.pos;
      decodeMore(frame);
      if (frame.chars.size() - frame.pos == before)
        break;
    }
    m_cur = frame.chars.data() + frame.pos;
    m_lim = frame.chars.data() + frame.chars.size();
  }
  return static_cast<size_t>(m_lim - m_cur);
}

// "</" and the name in any case at `offset`, then white space, '>' or '/'.
bool EKXmlParserImpl::endTagAhead(EKName localName, size_t offset) {
  const UnicodeString name = localName.toString();
  const size_t length = static_cast<size_t>(name.length());
  if (lookAhead(offset + length + 3) < offset + length + 3)
    return false;
  const char16_t* p = m_cur + offset;
  if (p[0] != u'<' || p[1] != u'/')
    return false;
  for (size_t i = 0; i < length; ++i)
    if (lowerUnit(p[2 + i]) != name.charAt(static_cast<int32_t>(i)))
      return false;
  const char16_t after = p[2 + length];
  return after == u'>' || after == u'/' || EKChar::isWhitespace(after);
}

// At a '<' inside script or style: whether it starts a comment, the element's end tag, or (in
// SVG, MathML or a document with an XML declaration) a CDATA section.
bool EKXmlParserImpl::rawTextMarkupAhead() {
  const size_t available = lookAhead(9);
  const char16_t* p = m_cur;
  if (available >= 4 && p[1] == u'!' && p[2] == u'-' && p[3] == u'-')
    return true;
  if (available >= 9 && std::char_traits<char16_t>::compare(p, u"<![CDATA[", 9) == 0) {
    const EKName uri = m_namespaces->getNamespace();
    return uri == EKN_http_www_w3_org_2000_svg || uri == EKN_http_www_w3_org_1998_Math_MathML || m_hasXmlDecl;
  }
  return endTagAhead(m_namespaces->getName(), 0);
}

// Whether a complete reference ("#65;", "#x41;", "amp;") follows at `offset`.
bool EKXmlParserImpl::referenceAhead(size_t offset) {
  const size_t available = lookAhead(offset + REFERENCE_LOOK_AHEAD);
  const char16_t* p = m_cur + offset;
  const char16_t* end = m_cur + available;
  if (p >= end)
    return false;
  if (*p == u'#') {
    ++p;
    const bool hex = p < end && (*p == u'x' || *p == u'X');
    p += hex ? 1 : 0;
    const char16_t* digits = p;
    while (p < end && (EKChar::isAsciiDigit(*p) || (hex && ((*p | 0x20) >= u'a' && (*p | 0x20) <= u'f'))))
      ++p;
    return p > digits && p < end && *p == u';';
  }
  if (!EKChar::isNameStartChar(*p))
    return false;
  for (++p; p < end && *p != u';'; ++p)
    if (!EKChar::isNameChar(*p) && !U16_IS_SURROGATE(*p))
      return false;
  return p < end;
}

} // namespace EKCommonNS
