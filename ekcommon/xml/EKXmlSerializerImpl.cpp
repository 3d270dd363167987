#include "ekcommon/xml/internal/EKXmlSerializerImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/platform/EKFileSystem.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace EKCommonNS {

namespace {

// What happens to an ASCII character: copied, dropped, or replaced by REPLACEMENTS[action].
enum Action : uint8_t { PLAIN, DROP, AMP, LT, GT, QUOT, REF_TAB, REF_LF, REF_CR, CDATA_REF_CR };
const char* const REPLACEMENTS[] = {"", "", "&amp;", "&lt;", "&gt;", "&quot;", "&#9;", "&#10;", "&#13;",
                                    "]]>&#13;<![CDATA["};
const uint8_t REPLACEMENT_LENGTHS[] = {0, 0, 5, 4, 4, 6, 4, 5, 5, 17};

struct EscapeTables {
  uint8_t actions[4][128];
};

// Control characters other than tab, line feed and carriage return cannot appear in XML 1.0 at
// all and are dropped everywhere. A carriage return would come back as a line feed, so it is a
// reference wherever references are possible, and breaks a CDATA section to become one.
constexpr EscapeTables makeEscapeTables() {
  EscapeTables tables{};
  for (int context = 0; context < 4; ++context)
    for (int c = 0; c < 0x20; ++c)
      if (c != '\t' && c != '\n' && c != '\r')
        tables.actions[context][c] = DROP;
  for (int context : {0, 1}) {
    tables.actions[context][static_cast<unsigned char>('&')] = AMP;
    tables.actions[context][static_cast<unsigned char>('<')] = LT;
    tables.actions[context][static_cast<unsigned char>('>')] = GT;
    tables.actions[context][static_cast<unsigned char>('\r')] = REF_CR;
  }
  // Attribute values are normalised on reading: white space other than the space must be
  // referenced to survive.
  tables.actions[1][static_cast<unsigned char>('"')] = QUOT;
  tables.actions[1][static_cast<unsigned char>('\t')] = REF_TAB;
  tables.actions[1][static_cast<unsigned char>('\n')] = REF_LF;
  tables.actions[3][static_cast<unsigned char>('\r')] = CDATA_REF_CR;
  return tables;
}
constexpr EscapeTables ESCAPE_TABLES = makeEscapeTables();

// U+FFFE and U+FFFF are not XML characters; they are dropped like the control characters.
bool isNonCharacter(UChar32 c) { return c == 0xFFFE || c == 0xFFFF; }

// "&#n;", or inside a CDATA section the same between the section's end and a new start.
size_t formatCharRef(char* out, UChar32 c, bool inCdata) {
  char digits[8];
  size_t count = 0;
  for (uint32_t v = static_cast<uint32_t>(c); count == 0 || v != 0; v /= 10)
    digits[count++] = static_cast<char>('0' + v % 10);
  size_t length = 0;
  if (inCdata) {
    std::memcpy(out, "]]>", 3);
    length = 3;
  }
  out[length++] = '&';
  out[length++] = '#';
  while (count > 0)
    out[length++] = digits[--count];
  out[length++] = ';';
  if (inCdata) {
    std::memcpy(out + length, "<![CDATA[", 9);
    length += 9;
  }
  return length;
}

// Characters the code page cannot carry become character references; a lone surrogate stands
// for U+FFFD. The context points at the serializer's "inside a CDATA section" flag.
void U_CALLCONV writeReference(const void* context, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                               UChar32 c, UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR)
    return;
  *error = U_ZERO_ERROR;
  if (reason != UCNV_UNASSIGNED)
    c = 0xFFFD;
  if (isNonCharacter(c))
    return;
  char reference[32];
  const size_t length = formatCharRef(reference, c, *static_cast<const bool*>(context));
  ucnv_cbFromUWriteBytes(args, reference, static_cast<int32_t>(length), 0, error);
}

bool isOneOf(const UnicodeString& name, std::initializer_list<const char16_t*> names) {
  for (const char16_t* candidate : names)
    if (name == candidate)
      return true;
  return false;
}

} // namespace

EKXmlSerializerImpl::EKXmlSerializerImpl()
    : m_buffer(new char[BUFFER_SIZE]), m_namespaces(new EKNamespaceManager()),
      m_nameCache(new NameCacheEntry[NAME_CACHE_SIZE]) {}

EKXmlSerializerImpl::~EKXmlSerializerImpl() {
  releaseOutput();
  if (m_converter)
    ucnv_close(m_converter);
}

// Output ----------------------------------------------------------------------------------------

void EKXmlSerializerImpl::requireOutput() const {
  if (m_state == State::NO_OUTPUT)
    throwCommonError(EKERR_OUTPUT_STREAM_NOT_SET);
}

void EKXmlSerializerImpl::chooseEncoding(const UnicodeString& requested) {
  UnicodeString name(requested);
  name.trim();
  for (int32_t i = 0; i < name.length(); ++i)
    if (name.charAt(i) >= u'a' && name.charAt(i) <= u'z')
      name.setCharAt(i, static_cast<char16_t>(name.charAt(i) - (u'a' - u'A')));
  m_encoding = Encoding::UTF8;
  m_encodingLabel.remove();
  if (isOneOf(name, {u"US-ASCII", u"ANSI_X3.4", u"ANSI_X3.4-1968", u"ANSI_X3.4-1986", u"ASCII", u"ISO646-US",
                     u"ISO_646.IRV", u"ISO_646.IRV:1991"})) {
    m_encoding = Encoding::ASCII;
    m_encodingLabel = name;
  } else if (isOneOf(name, {u"SHIFT-JIS", u"SHIFT_JIS", u"WINDOWS31J"})) {
    if (!m_converter) {
      UErrorCode status = U_ZERO_ERROR;
      m_converter = ucnv_open("cp932", &status);
      if (U_SUCCESS(status))
        ucnv_setFromUCallBack(m_converter, writeReference, &m_convertingCdata, nullptr, nullptr, &status);
      if (U_FAILURE(status) && m_converter) {
        ucnv_close(m_converter);
        m_converter = nullptr;
      }
    }
    // Without the code page (an ICU build without its data) the name is as unknown as any other.
    if (m_converter) {
      // A write that failed may have left it inside a sequence.
      ucnv_resetFromUnicode(m_converter);
      m_encoding = Encoding::SHIFT_JIS;
      m_encodingLabel = u"SHIFT_JIS";
    }
  } else if (name == u"UTF-8") {
    m_encodingLabel = name;
  }
}

void EKXmlSerializerImpl::setOutput(const UnicodeString& path, const UnicodeString& encoding,
                                    const UnicodeString& standalone) {
  std::string target;
  path.toUTF8String(target);
  std::string tempPath;
  int fd = -1;
  if (target.empty() || EKPlatform::createFileBeside(target.c_str(), tempPath, fd) != 0)
    throwCommonError(EKERR_CANNOT_OPEN_FILE, path);
  releaseOutput();
  m_fd = fd;
  m_tempPath = std::move(tempPath);
  m_targetPath = std::move(target);
  chooseEncoding(encoding);
  m_standalone = standalone;
  m_state = State::OUTPUT_SET;
}

void EKXmlSerializerImpl::setOutput(std::ostream& out, const UnicodeString& encoding,
                                    const UnicodeString& standalone) {
  if (!out.good())
    throwCommonError(EKERR_OUTPUT_STREAM_ERROR);
  releaseOutput();
  m_stream = &out;
  chooseEncoding(encoding);
  m_standalone = standalone;
  m_state = State::OUTPUT_SET;
}

void EKXmlSerializerImpl::releaseOutput() {
  if (!m_tempPath.empty())
    EKPlatform::discardFile(m_fd, m_tempPath.c_str());
  m_fd = -1;
  m_tempPath.clear();
  m_targetPath.clear();
  m_stream = nullptr;
  m_used = 0;
  m_state = State::NO_OUTPUT;
  m_open.clear();
  m_bindings.clear();
  m_pending.clear();
  m_tagPrefixes.clear();
  m_tagAttributes.clear();
  m_namespaces->reset();
}

void EKXmlSerializerImpl::failOutput() {
  releaseOutput();
  throwCommonError(EKERR_OUTPUT_STREAM_ERROR);
}

void EKXmlSerializerImpl::flushBuffer() {
  if (m_used == 0)
    return;
  bool written;
  if (m_fd >= 0) {
    written = EKPlatform::writeFully(m_fd, m_buffer.get(), m_used) == 0;
  } else {
    try {
      written = static_cast<bool>(m_stream->write(m_buffer.get(), static_cast<std::streamsize>(m_used)));
    } catch (...) { // a stream that throws on failure
      written = false;
    }
  }
  if (!written)
    failOutput();
  m_used = 0;
}

void EKXmlSerializerImpl::putBytes(const char* bytes, size_t length) {
  while (length > 0) {
    if (m_used == BUFFER_SIZE)
      flushBuffer();
    const size_t part = std::min(length, BUFFER_SIZE - m_used);
    std::memcpy(m_buffer.get() + m_used, bytes, part);
    m_used += part;
    bytes += part;
    length -= part;
  }
}

void EKXmlSerializerImpl::flush() {
  requireOutput();
  flushBuffer();
  if (m_stream) {
    bool flushed;
    try {
      flushed = static_cast<bool>(m_stream->flush());
    } catch (...) {
      flushed = false;
    }
    if (!flushed)
      failOutput();
  }
}

// Text ------------------------------------------------------------------------------------------

void EKXmlSerializerImpl::write(const char16_t* text, int32_t length, Context context) {
  const uint8_t* actions = ESCAPE_TABLES.actions[static_cast<int>(context)];
  int32_t i = 0;
  while (i < length) {
    if (m_used == BUFFER_SIZE)
      flushBuffer();
    // The run of plain ASCII goes straight into the buffer.
    char* out = m_buffer.get() + m_used;
    const size_t room = std::min<size_t>(BUFFER_SIZE - m_used, static_cast<size_t>(length - i));
    const int32_t end = i + static_cast<int32_t>(room);
    int32_t j = i;
    for (; j < end; ++j) {
      const char16_t c = text[j];
      if (c >= 0x80 || actions[c] != PLAIN)
        break;
      *out++ = static_cast<char>(c);
    }
    m_used += static_cast<size_t>(j - i);
    i = j;
    if (i == end)
      continue;
    const char16_t c = text[i];
    if (c < 0x80) {
      const uint8_t action = actions[c];
      putBytes(REPLACEMENTS[action], REPLACEMENT_LENGTHS[action]);
      ++i;
    } else {
      int32_t k = i + 1;
      while (k < length && text[k] >= 0x80)
        ++k;
      writeBeyondAscii(text + i, k - i, context == Context::CDATA);
      i = k;
    }
  }
}

void EKXmlSerializerImpl::writeCharRef(UChar32 c, bool inCdata) {
  char reference[32];
  putBytes(reference, formatCharRef(reference, c, inCdata));
}

void EKXmlSerializerImpl::writeBeyondAscii(const char16_t* text, int32_t length, bool inCdata) {
  if (m_encoding == Encoding::SHIFT_JIS) {
    m_convertingCdata = inCdata;
    const UChar* source = text;
    for (;;) {
      if (m_used == BUFFER_SIZE)
        flushBuffer();
      char* target = m_buffer.get() + m_used;
      UErrorCode status = U_ZERO_ERROR;
      ucnv_fromUnicode(m_converter, &target, m_buffer.get() + BUFFER_SIZE, &source, text + length, nullptr, true,
                       &status);
      m_used = static_cast<size_t>(target - m_buffer.get());
      if (status == U_BUFFER_OVERFLOW_ERROR) {
        flushBuffer();
        continue;
      }
      if (U_FAILURE(status))
        failOutput();
      return;
    }
  }
  for (int32_t i = 0; i < length;) {
    UChar32 c = text[i++];
    if (U16_IS_SURROGATE(c)) {
      if (U16_IS_SURROGATE_LEAD(c) && i < length && U16_IS_TRAIL(text[i]))
        c = U16_GET_SUPPLEMENTARY(c, text[i++]);
      else
        c = 0xFFFD;
    }
    if (isNonCharacter(c))
      continue;
    if (m_encoding == Encoding::ASCII) {
      writeCharRef(c, inCdata);
      continue;
    }
    if (BUFFER_SIZE - m_used < 4)
      flushBuffer();
    char* out = m_buffer.get() + m_used;
    if (c < 0x800) {
      out[0] = static_cast<char>(0xC0 | (c >> 6));
      out[1] = static_cast<char>(0x80 | (c & 0x3F));
      m_used += 2;
    } else if (c < 0x10000) {
      out[0] = static_cast<char>(0xE0 | (c >> 12));
      out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out[2] = static_cast<char>(0x80 | (c & 0x3F));
      m_used += 3;
    } else {
      out[0] = static_cast<char>(0xF0 | (c >> 18));
      out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out[3] = static_cast<char>(0x80 | (c & 0x3F));
      m_used += 4;
    }
  }
}

void EKXmlSerializerImpl::writeName(EKName name) {
  const EKNameEnum number = name;
  NameCacheEntry& entry = m_nameCache[static_cast<size_t>(number) % NAME_CACHE_SIZE];
  if (entry.number != number || number == EKN_EMPTY) {
    const UnicodeString& string = name.toString();
    entry.number = number;
    entry.ascii = true;
    entry.bytes.clear();
    for (int32_t i = 0; i < string.length() && entry.ascii; ++i) {
      const char16_t c = string.charAt(i);
      entry.ascii = c >= 0x20 && c < 0x80;
      entry.bytes += static_cast<char>(c);
    }
    if (!entry.ascii) {
      write(string, Context::RAW);
      return;
    }
  }
  if (entry.ascii)
    putBytes(entry.bytes.data(), entry.bytes.size());
  else
    write(name.toString(), Context::RAW);
}

void EKXmlSerializerImpl::writeQName(EKName prefix, EKName localName) {
  if (!prefix.isEmpty()) {
    writeName(prefix);
    put(':');
  }
  writeName(localName);
}

void EKXmlSerializerImpl::writeUnbrokenMarkup(const UnicodeString& text, const char16_t* forbidden) {
  const char16_t* s = text.getBuffer();
  const int32_t length = text.length();
  int32_t from = 0;
  for (int32_t i = 0; i + 1 < length; ++i)
    if (s[i] == forbidden[0] && s[i + 1] == forbidden[1]) {
      write(s + from, i + 1 - from, Context::RAW);
      put(' ');
      from = i + 1;
    }
  write(s + from, length - from, Context::RAW);
}

// Document --------------------------------------------------------------------------------------

void EKXmlSerializerImpl::startDocument(const UnicodeString& encoding, const UnicodeString& standalone) {
  requireOutput();
  if (m_state != State::OUTPUT_SET)
    throwCommonError(EKERR_START_DOCUMENT_ORDER);
  if (!encoding.isEmpty())
    chooseEncoding(encoding);
  if (!standalone.isEmpty())
    m_standalone = standalone;
  m_state = State::PROLOG;
  if (!m_omitDeclaration) {
    put("<?xml version=\"1.0\"");
    if (!m_encodingLabel.isEmpty()) {
      put(" encoding=\"");
      write(m_encodingLabel, Context::RAW);
      put('"');
    }
    if (!m_standalone.isEmpty()) {
      put(" standalone=\"");
      write(m_standalone, Context::RAW);
      put('"');
    }
    put("?>");
  }
  if (!m_generator.isEmpty()) {
    put("<!-- ");
    writeUnbrokenMarkup(m_generator, u"--");
    put(" -->");
  }
}

void EKXmlSerializerImpl::endDocument() {
  requireOutput();
  if (m_state == State::IN_START_TAG)
    completeStartTag(false);
  flushBuffer();
  if (m_fd >= 0) {
    const int fd = m_fd;
    m_fd = -1;
    if (EKPlatform::replaceWithFile(fd, m_tempPath.c_str(), m_targetPath.c_str()) != 0)
      failOutput();
    m_tempPath.clear();
  } else {
    flush();
  }
  releaseOutput();
}

void EKXmlSerializerImpl::beforeContent() {
  requireOutput();
  if (m_state == State::IN_START_TAG)
    completeStartTag(false);
  else if (m_state == State::OUTPUT_SET)
    m_state = State::PROLOG;
}

void EKXmlSerializerImpl::text(const UnicodeString& text) {
  beforeContent();
  write(text, Context::TEXT);
}

void EKXmlSerializerImpl::processingInstruction(EKName target, const UnicodeString& data) {
  beforeContent();
  put("<?");
  writeName(target);
  if (!data.isEmpty()) {
    put(' ');
    writeUnbrokenMarkup(data, u"?>");
  }
  put("?>");
}

void EKXmlSerializerImpl::comment(const UnicodeString& text) {
  beforeContent();
  put("<!--");
  writeUnbrokenMarkup(text, u"--");
  if (text.endsWith(UnicodeString(u'-')))
    put(' ');
  put("-->");
}

void EKXmlSerializerImpl::docdecl(const UnicodeString& text) {
  requireOutput();
  if (m_state != State::OUTPUT_SET && m_state != State::PROLOG)
    throwCommonError(EKERR_UNEXPECTED_DOCDECL);
  m_state = State::PROLOG;
  put("<!DOCTYPE");
  if (!text.isEmpty() && text.charAt(0) != u' ' && text.charAt(0) != u'\t' && text.charAt(0) != u'\n' &&
      text.charAt(0) != u'\r')
    put(' ');
  write(text, Context::RAW);
  put('>');
}

void EKXmlSerializerImpl::cdsect(const UnicodeString& text) {
  beforeContent();
  put("<![CDATA[");
  const char16_t* s = text.getBuffer();
  const int32_t length = text.length();
  int32_t from = 0;
  // "]]>" ends the section after its "]]"; the ">" opens the next one.
  for (int32_t i = 0; i + 2 < length; ++i)
    if (s[i] == u']' && s[i + 1] == u']' && s[i + 2] == u'>') {
      write(s + from, i + 2 - from, Context::CDATA);
      put("]]><![CDATA[");
      from = i + 2;
    }
  write(s + from, length - from, Context::CDATA);
  put("]]>");
}

// Elements and attributes -----------------------------------------------------------------------

void EKXmlSerializerImpl::startTag(EKName namespaceUri, EKName prefix, EKName localName) {
  requireOutput();
  if (m_state == State::IN_START_TAG)
    completeStartTag(false);
  if (namespaceUri.isEmpty())
    prefix = EKName();
  else if (namespaceUri == EKN_http_www_w3_org_XML_1998_namespace)
    prefix = EKN_xml;
  else if (prefix == EKN_xml || prefix == EKN_xmlns) {
    prefix = boundPrefix(namespaceUri);
    if (prefix.isEmpty())
      prefix = newPrefix();
  }
  m_namespaces->pushScope();
  m_open.push_back({namespaceUri, localName, prefix, m_bindings.size()});
  m_tagPrefixes.assign(1, prefix);
  m_tagAttributes.clear();
  m_sortingTag = m_sortAttributes;
  m_state = State::IN_START_TAG;
  put('<');
  writeQName(prefix, localName);
  if (m_namespaces->resolve(prefix) != namespaceUri)
    declare(prefix, namespaceUri);
  for (const Binding& binding : m_pending)
    declareRequested(binding.prefix, binding.uri);
  m_pending.clear();
}

void EKXmlSerializerImpl::attribute(EKName namespaceUri, EKName prefix, EKName localName, const UnicodeString& value) {
  requireOutput();
  if (m_state != State::IN_START_TAG)
    throwCommonError(EKERR_ATTRIBUTE_ORDER);
  if (namespaceUri == EKN_http_www_w3_org_2000_xmlns || prefix == EKN_xmlns ||
      (prefix.isEmpty() && localName == EKN_xmlns)) {
    declareRequested(prefix != EKN_xmlns && localName == EKN_xmlns ? EKName() : localName, EKName(value));
    return;
  }
  const EKName written = attributePrefix(namespaceUri, prefix);
  if (m_sortingTag)
    m_tagAttributes.push_back({written, localName, value});
  else
    writeAttribute(written, localName, value);
}

void EKXmlSerializerImpl::endTag(EKName namespaceUri, EKName localName) {
  requireOutput();
  if (m_open.empty())
    throwCommonError(EKERR_UNEXPECTED_END_TAG);
  const OpenElement element = m_open.back();
  if (element.uri != namespaceUri || element.localName != localName) {
    UnicodeString openName = element.prefix.isEmpty() ? UnicodeString() : element.prefix.toString() + u':';
    throwCommonError(EKERR_END_TAG_MISMATCH, localName.toString(), openName + element.localName.toString());
  }
  if (m_state == State::IN_START_TAG) {
    completeStartTag(true);
  } else {
    put("</");
    writeQName(element.prefix, element.localName);
    put('>');
  }
  m_bindings.resize(element.firstBinding);
  m_namespaces->popScope();
  m_open.pop_back();
}

void EKXmlSerializerImpl::completeStartTag(bool empty) {
  if (m_sortingTag) {
    const size_t first = m_open.back().firstBinding;
    std::vector<size_t> order(m_bindings.size() - first);
    std::iota(order.begin(), order.end(), first);
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
      return m_bindings[a].prefix.toString().compareCodePointOrder(m_bindings[b].prefix.toString()) < 0;
    });
    for (size_t index : order)
      writeDeclaration(m_bindings[index].prefix, m_bindings[index].uri);
    std::stable_sort(m_tagAttributes.begin(), m_tagAttributes.end(),
                     [](const BufferedAttribute& a, const BufferedAttribute& b) {
                       const int byPrefix = a.prefix.toString().compareCodePointOrder(b.prefix.toString());
                       return byPrefix != 0 ? byPrefix < 0
                                            : a.localName.toString().compareCodePointOrder(b.localName.toString()) < 0;
                     });
    for (const BufferedAttribute& attribute : m_tagAttributes)
      writeAttribute(attribute.prefix, attribute.localName, attribute.value);
    m_tagAttributes.clear();
  }
  if (empty)
    put("/>");
  else
    put('>');
  m_state = State::CONTENT;
}

void EKXmlSerializerImpl::writeDeclaration(EKName prefix, EKName uri) {
  put(" xmlns");
  if (!prefix.isEmpty()) {
    put(':');
    writeName(prefix);
  }
  put("=\"");
  write(uri.toString(), Context::ATTRIBUTE);
  put('"');
}

void EKXmlSerializerImpl::writeAttribute(EKName prefix, EKName localName, const UnicodeString& value) {
  put(' ');
  writeQName(prefix, localName);
  put("=\"");
  write(value, Context::ATTRIBUTE);
  put('"');
}

// Namespaces ------------------------------------------------------------------------------------

void EKXmlSerializerImpl::setPrefix(EKName prefix, EKName namespaceUri) {
  requireOutput();
  if (m_state == State::IN_START_TAG)
    completeStartTag(false);
  m_pending.push_back({prefix, namespaceUri});
}

EKName EKXmlSerializerImpl::getPrefix(EKName namespaceUri, bool generate) {
  if (namespaceUri.isEmpty())
    return EKName();
  if (namespaceUri == EKN_http_www_w3_org_XML_1998_namespace)
    return EKN_xml;
  if (namespaceUri == EKN_http_www_w3_org_2000_xmlns)
    return EKN_xmlns;
  if (m_state != State::IN_START_TAG)
    for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it)
      if (it->uri == namespaceUri && !it->prefix.isEmpty())
        return it->prefix;
  EKName prefix = boundPrefix(namespaceUri);
  if (!prefix.isEmpty() || !generate)
    return prefix;
  prefix = newPrefix();
  if (m_state == State::IN_START_TAG) {
    declare(prefix, namespaceUri);
    m_tagPrefixes.push_back(prefix);
  } else {
    m_pending.push_back({prefix, namespaceUri});
  }
  return prefix;
}

void EKXmlSerializerImpl::declare(EKName prefix, EKName uri) {
  m_bindings.push_back({prefix, uri});
  m_namespaces->declare(prefix, uri);
  if (!m_sortingTag)
    writeDeclaration(prefix, uri);
}

// A declaration the caller asked for (an xmlns attribute or setPrefix) is written unless this tag
// already declares the prefix, or one of the tag's names needs the prefix bound elsewhere.
void EKXmlSerializerImpl::declareRequested(EKName prefix, EKName uri) {
  if (prefix == EKN_xml || prefix == EKN_xmlns || (!prefix.isEmpty() && uri.isEmpty()) || tagDeclares(prefix))
    return;
  if (tagUses(prefix) && m_namespaces->resolve(prefix) != uri)
    return;
  declare(prefix, uri);
}

bool EKXmlSerializerImpl::tagDeclares(EKName prefix) const {
  for (size_t i = m_open.back().firstBinding; i < m_bindings.size(); ++i)
    if (m_bindings[i].prefix == prefix)
      return true;
  return false;
}

bool EKXmlSerializerImpl::tagUses(EKName prefix) const {
  return std::find(m_tagPrefixes.begin(), m_tagPrefixes.end(), prefix) != m_tagPrefixes.end();
}

EKName EKXmlSerializerImpl::boundPrefix(EKName uri) const {
  for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
    if (it->uri == uri && !it->prefix.isEmpty() && m_namespaces->resolve(it->prefix) == uri)
      return it->prefix;
  return EKName();
}

EKName EKXmlSerializerImpl::newPrefix() const {
  for (;;) {
    const EKName prefix(UnicodeString(u"ekoox") + EKName::generateID(UnicodeString()).toString());
    const bool pending = std::any_of(m_pending.begin(), m_pending.end(),
                                     [prefix](const Binding& binding) { return binding.prefix == prefix; });
    if (m_namespaces->resolve(prefix).isEmpty() && !pending && (m_open.empty() || !tagDeclares(prefix)))
      return prefix;
  }
}

// The prefix an attribute is written with: its own when that is bound to its namespace or can be
// declared on this tag without changing another name of the tag, else any prefix bound to the
// namespace, else a new one.
EKName EKXmlSerializerImpl::attributePrefix(EKName uri, EKName prefix) {
  if (uri.isEmpty())
    return EKName();
  if (uri == EKN_http_www_w3_org_XML_1998_namespace)
    return EKN_xml;
  if (!prefix.isEmpty() && prefix != EKN_xml && prefix != EKN_xmlns) {
    if (m_namespaces->resolve(prefix) == uri) {
      m_tagPrefixes.push_back(prefix);
      return prefix;
    }
    if (!tagDeclares(prefix) && !tagUses(prefix)) {
      declare(prefix, uri);
      m_tagPrefixes.push_back(prefix);
      return prefix;
    }
  }
  prefix = boundPrefix(uri);
  if (prefix.isEmpty()) {
    prefix = newPrefix();
    declare(prefix, uri);
  }
  m_tagPrefixes.push_back(prefix);
  return prefix;
}

} // namespace EKCommonNS
