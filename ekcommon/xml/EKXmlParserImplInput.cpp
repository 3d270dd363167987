// Reading characters: input frames, block decoding, byte-order detection, encodings, end-of-line
// handling and character checks.

#include "ekcommon/xml/internal/EKXmlParserImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/resources/EKICUIStream.h"
#include "ekcommon/resources/EKMemStreamBuf.h"
#include "ekcommon/resources/EKStrStream.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/EKUtil.h"
#include "ekcommon/text/internal/EKByteOrder.h"

namespace EKCommonNS {

namespace {

constexpr size_t BYTE_BLOCK = 16384;
constexpr size_t CHAR_BLOCK = 16384;
constexpr uint64_t EXPANSION_FLOOR = 8u << 20;
constexpr uint64_t EXPANSION_FACTOR = 100;
constexpr size_t SPARE_FRAMES = 64;

UnicodeString codePointName(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return UnicodeString(buffer);
}

} // namespace

void EKXmlParserImpl::saveFrame() {
  if (m_frames.empty())
    return;
  Frame& frame = top();
  frame.pos = static_cast<size_t>(m_cur - frame.data());
  if (frame.kind == Frame::DOCUMENT || frame.kind == Frame::EXTERNAL) {
    frame.line = m_line;
    frame.column = m_column;
  }
}

void EKXmlParserImpl::loadFrame() {
  if (m_frames.empty()) {
    m_cur = m_lim = nullptr;
    return;
  }
  Frame& frame = top();
  m_cur = frame.data() + frame.pos;
  m_lim = frame.data() + frame.size();
  const bool stream = frame.kind == Frame::DOCUMENT || frame.kind == Frame::EXTERNAL;
  m_countPosition = stream ? 1 : 0;
  if (stream) {
    m_line = frame.line;
    m_column = frame.column;
    m_isXml11 = frame.isXml11;
  }
}

void EKXmlParserImpl::pushFrame(std::unique_ptr<Frame> frame) {
  saveFrame();
  if (frame->kind == Frame::INTERNAL || frame->kind == Frame::PARAMETER) {
    // Replacement text keeps the position of the reference that brought it in.
    frame->line = m_line;
    frame->column = m_column;
    frame->isXml11 = m_isXml11;
  }
  frame->elementDepth = m_namespaces->getDepth();
  if (EKXmlEntityMaps::Entity* entity = findEntity(frame->entityName, frame->parameterEntity))
    entity->expanding = true;
  m_frames.push_back(std::move(frame));
  loadFrame();
}

void EKXmlParserImpl::popFrame() {
  Frame& frame = top();
  if (EKXmlEntityMaps::Entity* entity = findEntity(frame.entityName, frame.parameterEntity))
    entity->expanding = false;
  if (frame.kind == Frame::EXTERNAL) {
    frame.transcoder.reset();
    if (frame.ownsStream)
      delete frame.stream;
    frame.stream = nullptr;
  }
  if ((frame.kind == Frame::INTERNAL || frame.kind == Frame::PARAMETER) && m_spareFrames.size() < SPARE_FRAMES) {
    frame.text.remove();
    frame.readsText = false;
    frame.chars.clear();
    m_spareFrames.push_back(std::move(m_frames.back()));
  }
  m_frames.pop_back();
  loadFrame();
}

EKXmlEntityMaps::Entity* EKXmlParserImpl::findEntity(EKName name, bool parameter) {
  if (name.isEmpty())
    return nullptr;
  auto& map = parameter ? m_entities.parameter : m_entities.general;
  const auto it = map.find(name);
  return it == map.end() ? nullptr : &it->second;
}

void EKXmlParserImpl::countExpansion(uint64_t characters) {
  m_expanded += characters;
  if (m_expanded > EXPANSION_FLOOR && m_expanded > EXPANSION_FACTOR * (m_bytesRead + 1))
    fatal(190);
}

// Decodes the next block of the frame's stream after its unread characters (the read ones are
// dropped).
void EKXmlParserImpl::decodeMore(Frame& frame) {
  if (!frame.decodedCounts.empty()) {
    size_t consumed = 0;
    for (size_t i = 0; i < frame.pos && i < frame.decodedCounts.size(); ++i)
      consumed += frame.decodedCounts[i];
    frame.decodedBytes.erase(0, consumed);
    frame.decodedCounts.erase(frame.decodedCounts.begin(),
                              frame.decodedCounts.begin() + static_cast<std::ptrdiff_t>(
                                                                std::min(frame.pos, frame.decodedCounts.size())));
  }
  if (!frame.oneCharAtATime) {
    frame.decodedBytes.clear();
    frame.decodedCounts.clear();
  }
  frame.chars.erase(0, frame.pos);
  frame.pos = 0;
  const size_t start = frame.chars.size();
  std::istream* in = frame.transcoder ? frame.transcoder.get() : frame.stream;
  const EKXmlDecoder decoder = frame.transcoder ? EKXmlDecoder(EKXmlDecoder::UTF16LE) : frame.decoder;
  const size_t unit = decoder.getUnitSize();
  while (frame.chars.size() == start) {
    if (frame.bytePos >= frame.bytes.size()) {
      frame.bytes.clear();
      frame.bytePos = 0;
    }
    const size_t pending = frame.bytes.size() - frame.bytePos;
    if (pending == 0 && !frame.streamEnded && !frame.oneCharAtATime && !frame.transcoder &&
        decodeInPlace(frame, start))
      continue;
    if (!frame.streamEnded && (pending < 4 || !frame.oneCharAtATime)) {
      // While a declaration may still switch the decoder, bytes are taken one unit at a time so
      // that none is decoded with the wrong one.
      const size_t want = frame.oneCharAtATime ? unit : BYTE_BLOCK;
      if (frame.bytePos > 0) {
        frame.bytes.erase(0, frame.bytePos);
        frame.bytePos = 0;
      }
      const size_t old = frame.bytes.size();
      frame.bytes.resize(old + want);
      size_t got = 0;
      if (in && in->good()) {
        in->read(&frame.bytes[old], static_cast<std::streamsize>(want));
        got = static_cast<size_t>(in->gcount());
      }
      frame.bytes.resize(old + got);
      m_bytesRead += got;
      if (got < want)
        frame.streamEnded = true;
    }
    const size_t available = frame.bytes.size() - frame.bytePos;
    if (available == 0)
      return;
    frame.chars.resize(start + CHAR_BLOCK);
    size_t produced = 0;
    const size_t used = decoder.decode(reinterpret_cast<const uint8_t*>(frame.bytes.data() + frame.bytePos),
                                       available, frame.streamEnded, &frame.chars[start], CHAR_BLOCK,
                                       frame.oneCharAtATime ? 1 : CHAR_BLOCK, produced);
    if (frame.oneCharAtATime && !frame.transcoder && produced > 0) {
      frame.decodedBytes.append(frame.bytes, frame.bytePos, used);
      frame.decodedCounts.push_back(static_cast<uint8_t>(used));
      frame.decodedCounts.resize(frame.decodedCounts.size() + produced - 1, 0);
    }
    frame.bytePos += used;
    frame.chars.resize(start + produced);
    if (produced == 0 && frame.streamEnded)
      return;
  }
}

void EKXmlParserImpl::undecodeAhead(Frame& frame) {
  const size_t pos = static_cast<size_t>(m_cur - frame.chars.data());
  if (frame.decodedCounts.size() != frame.chars.size() || pos > frame.chars.size())
    return;
  size_t ahead = 0;
  for (size_t i = pos; i < frame.decodedCounts.size(); ++i)
    ahead += frame.decodedCounts[i];
  std::string bytes = frame.decodedBytes.substr(frame.decodedBytes.size() - ahead);
  bytes.append(frame.bytes, frame.bytePos, std::string::npos);
  frame.bytes = std::move(bytes);
  frame.bytePos = 0;
  frame.decodedBytes.resize(frame.decodedBytes.size() - ahead);
  frame.decodedCounts.resize(pos);
  frame.chars.resize(pos);
  frame.pos = pos;
  m_cur = frame.chars.data() + pos;
  m_lim = m_cur;
}

// The library's own memory streams hand their bytes over in place: they are decoded where they
// lie, and only an incomplete sequence at the end is kept for the next block. False for other
// streams.
bool EKXmlParserImpl::decodeInPlace(Frame& frame, size_t start) {
  const char* bytes = nullptr;
  size_t length = 0;
  if (auto* text = dynamic_cast<EKStrStream::StrStreamBuf*>(frame.stream->rdbuf()))
    length = text->readInPlace(bytes, BYTE_BLOCK);
  else if (auto* memory = dynamic_cast<EKMemStreamBuf*>(frame.stream->rdbuf()))
    length = memory->getBuffer(bytes, BYTE_BLOCK);
  else
    return false;
  if (length == 0) {
    frame.streamEnded = true;
    return true;
  }
  m_bytesRead += length;
  frame.chars.resize(start + CHAR_BLOCK);
  size_t produced = 0;
  const size_t used = frame.decoder.decode(reinterpret_cast<const uint8_t*>(bytes), length, false,
                                           &frame.chars[start], CHAR_BLOCK, CHAR_BLOCK, produced);
  frame.chars.resize(start + produced);
  frame.bytes.assign(bytes + used, length - used);
  frame.bytePos = 0;
  return true;
}

// Makes more characters available in the current frame; false at the end of a stream or of a
// replacement text.
bool EKXmlParserImpl::refill() {
  Frame& frame = top();
  if (frame.kind == Frame::INTERNAL || frame.kind == Frame::PARAMETER || !frame.stream)
    return false;
  frame.pos = static_cast<size_t>(m_cur - frame.chars.data());
  if (frame.pos < frame.chars.size())
    return true;
  decodeMore(frame);
  m_cur = frame.chars.data();
  m_lim = m_cur + frame.chars.size();
  return m_cur < m_lim;
}

bool EKXmlParserImpl::lookingAt(const char* ascii) {
  const size_t length = std::char_traits<char>::length(ascii);
  if (lookAhead(length) < length)
    return false;
  for (size_t i = 0; i < length; ++i)
    if (m_cur[i] != static_cast<unsigned char>(ascii[i]))
      return false;
  return true;
}

// The character after end-of-line handling, not yet consumed.
char32_t EKXmlParserImpl::peekSlow() {
  for (;;) {
    if (m_cur >= m_lim && !refill())
      return m_frames.size() > 1 ? END_OF_ENTITY : END_OF_INPUT;
    const char32_t c = *m_cur;
    if (U16_IS_LEAD(c) && m_cur + 1 < m_lim && U16_IS_TRAIL(m_cur[1]))
      return U16_GET_SUPPLEMENTARY(c, m_cur[1]);
    if (!m_countPosition)
      return c;
    Frame& frame = top();
    if (frame.afterCR) {
      frame.afterCR = false;
      if (c == 0x0A || (m_isXml11 && c == 0x85)) {
        ++m_cur;
        continue;
      }
    }
    if (c == 0x0D || (m_isXml11 && (c == 0x85 || c == 0x2028)))
      return 0x0A;
    return c;
  }
}

char32_t EKXmlParserImpl::readSlow() {
  const char32_t c = peekSlow();
  if (c >= END_OF_ENTITY)
    return c;
  const char32_t raw = *m_cur;
  m_cur += c > 0xFFFF ? 2 : 1;
  if (!m_countPosition)
    return c;
  if (raw == 0x0D) {
    // A CR takes a following LF (or NEL in XML 1.1) with it.
    if (m_cur < m_lim) {
      if (*m_cur == 0x0A || (m_isXml11 && *m_cur == 0x85))
        ++m_cur;
    } else {
      top().afterCR = true;
    }
  }
  if (c == 0x0A) {
    ++m_line;
    m_column = 0;
    return c;
  }
  checkChar(c);
  ++m_column;
  return c;
}

char32_t EKXmlParserImpl::checkChar(char32_t c) {
  if (!m_features[FEATURE_NO_CHARACTER_CHECK] &&
      !(m_isXml11 ? EKChar::isValidChar11(static_cast<int>(c)) : EKChar::isValidChar(static_cast<int>(c)))) {
    // U+FFFF also stands for bytes that decode to nothing in Unicode.
    if (c == 0xFFFF)
      fatal(180);
    fatal(179, codePointName(c));
  }
  return c;
}

void EKXmlParserImpl::skipWhitespace() {
  while (EKChar::isWhitespace(static_cast<int>(peek())))
    read();
}

bool EKXmlParserImpl::readWhitespace() {
  bool any = false;
  while (EKChar::isWhitespace(static_cast<int>(peek()))) {
    read();
    any = true;
  }
  return any;
}

void EKXmlParserImpl::detectByteOrder(Frame& frame) {
  // Look at the first bytes without decoding them.
  while (frame.bytes.size() < 4 && !frame.streamEnded) {
    char byte;
    if (frame.stream && frame.stream->get(byte)) {
      frame.bytes.push_back(byte);
      ++m_bytesRead;
    } else {
      frame.streamEnded = true;
    }
  }
  const std::string& b = frame.bytes;
  auto at = [&](size_t i) -> int { return i < b.size() ? static_cast<unsigned char>(b[i]) : -1; };
  const bool supplied = frame.decoder.getKind() != EKXmlDecoder::UTF8 || !frame.encodingName.isEmpty();
  const bool familyOnly = frame.encodingName == UNICODE_STRING_SIMPLE("UTF-16") ||
                          frame.encodingName == UNICODE_STRING_SIMPLE("UTF-32");
  auto set = [&](EKXmlDecoder::Kind kind, const char16_t* name, size_t markBytes) {
    frame.decoder = EKXmlDecoder(kind);
    frame.encodingName = UnicodeString(name);
    frame.byteOrderMark = markBytes > 0;
    frame.bytePos = markBytes;
  };
  const EKByteOrder order = sniffByteOrder(b.data(), b.size());
  if (order.brokenMark)
    fatal(180);
  const bool mark = order.hasMark();
  switch (order.kind) {
  case EKByteOrder::UTF32BE:
    set(EKXmlDecoder::UTF32BE, mark ? u"UTF-32" : u"UTF-32BE", order.markLength);
    return;
  case EKByteOrder::UTF16BE:
    set(EKXmlDecoder::UTF16BE, mark ? u"UTF-16" : u"UTF-16BE", order.markLength);
    return;
  case EKByteOrder::UTF32LE:
    set(EKXmlDecoder::UTF32LE, u"UTF-32", order.markLength);
    return;
  case EKByteOrder::UTF16LE:
    set(EKXmlDecoder::UTF16LE, u"UTF-16", order.markLength);
    return;
  case EKByteOrder::UTF8:
    set(EKXmlDecoder::UTF8, u"UTF-8", order.markLength);
    return;
  case EKByteOrder::NONE:
    break;
  }
  // Without a mark, little-endian and UTF-8 data are told by how the first '<' is encoded.
  if (at(0) == '<' && (!supplied || familyOnly)) {
    if (at(1) == 0x00 && at(2) == 0x00 && at(3) == 0x00)
      set(EKXmlDecoder::UTF32LE, u"UTF-32LE", 0);
    else if (at(1) == 0x00 && (at(2) > 0 || at(3) > 0))
      set(EKXmlDecoder::UTF16LE, u"UTF-16LE", 0);
    else if (at(1) > 0)
      set(EKXmlDecoder::UTF8, u"UTF-8", 0);
  }
}

bool EKXmlParserImpl::useTranscoder(Frame& frame, const UnicodeString& name) {
  std::string encoding;
  UnicodeString(name).trim().toUTF8String(encoding);
  if (!frame.stream)
    return false;
  // The transcoder reads the stream from where the parser stands; bytes already taken for the
  // byte-order check go back first when the stream can seek.
  const size_t unread = frame.bytes.size() - frame.bytePos;
  if (unread > 0) {
    frame.stream->clear();
    frame.stream->seekg(-static_cast<std::streamoff>(unread), std::ios_base::cur);
    if (frame.stream->fail())
      return false;
    m_bytesRead -= unread;
    frame.bytes.clear();
    frame.bytePos = 0;
    frame.streamEnded = false;
  }
  auto transcoder = std::make_unique<EKICUIStream>(frame.stream, encoding.c_str());
  if (!transcoder->is_open())
    return false;
  frame.transcoder = std::move(transcoder);
  frame.oneCharAtATime = false;
  return true;
}

// Applies an encoding name from setInput, an XML or text declaration or a pushed stream.
void EKXmlParserImpl::applyEncoding(const UnicodeString& name) {
  Frame& frame = top();
  if (name.isEmpty())
    return;
  frame.encodingName = EKUtil::getCanonicalEncoding(name);
  if (frame.encodingName.isEmpty())
    frame.encodingName = name;
  EKXmlDecoder decoder;
  UnicodeString canonical;
  if (EKXmlDecoder::lookup(name, frame.decoder, decoder, canonical)) {
    frame.decoder = decoder;
    frame.encodingName = canonical;
    return;
  }
  if (m_features[FEATURE_BUILTIN_ENCODINGS_ONLY])
    fatal(181, name);
  if (useTranscoder(frame, name))
    return;
  if (!m_features[FEATURE_RAW_UNKNOWN_ENCODING])
    fatal(181, name);
}

void EKXmlParserImpl::setXml11(bool on) {
  m_isXml11 = on;
  top().isXml11 = on;
}

void EKXmlParserImpl::expect(const char* literal, unsigned short code, const UnicodeString& arg) {
  for (const char* p = literal; *p; ++p)
    if (read() != static_cast<char32_t>(*p))
      fatal(code, arg);
}

// An XML inclusion of a resource that is being read already would never end, and neither would
// a chain of inclusions through ever new addresses: both are reported like a looped entity and
// included as nothing.
bool EKXmlParserImpl::isLoopedInclusion(const EKUri& resolved) {
  const UnicodeString path = resolved.getLocalPath();
  int inclusions = 0;
  for (const auto& frame : m_frames) {
    inclusions += frame->inclusion ? 1 : 0;
    if ((frame->kind == Frame::DOCUMENT || frame->inclusion) && frame->inputUri == path) {
      warn(520, resolved.toString());
      return true;
    }
  }
  if (inclusions < MAX_INCLUSION_DEPTH)
    return false;
  warn(520, resolved.toString());
  return true;
}

void EKXmlParserImpl::pushStream(const UnicodeString& uri, EKName kind, const UnicodeString& encoding) {
  const EKUri base(m_baseUri);
  pushResolvedStream(EKUri(base, uri), kind, encoding, kind == EKN_xml || kind == EKN_text_n1461);
}

void EKXmlParserImpl::pushResolvedStream(const EKUri& resolved, EKName kind, const UnicodeString& encoding,
                                         bool inclusion) {
  const bool textInclusion = inclusion && kind == EKN_text_n1461;
  const bool xmlInclusion = inclusion && !textInclusion;
  if (xmlInclusion && isLoopedInclusion(resolved))
    return;
  EKUri::ContentInfo info(m_contentInfo.get());
  std::unique_ptr<std::istream> in(resolved.getIStream(&info, nullptr));
  if (!in) {
    const UnicodeString path = resolved.getLocalPath();
    if (resolved.isFile())
      throwCommonError(EKERR_CANNOT_OPEN_FILE, path);
    return;
  }
  auto frame = std::make_unique<Frame>();
  frame->kind = Frame::EXTERNAL;
  frame->stream = in.release();
  frame->ownsStream = true;
  frame->inputUri = resolved.getLocalPath();
  frame->baseUri = resolved.getBaseString();
  frame->parserType = textInclusion ? EKName(EKN_text_n1461) : m_parserType;
  // An inclusion stands after the end tag of its include element, which is closed (its scope
  // popped) before the included text is read.
  const int openDepth = m_namespaces->getDepth() - (m_popPending || m_endPending ? 1 : 0);
  frame->topDepth = xmlInclusion ? openDepth : 0;
  frame->inclusion = xmlInclusion;
  frame->oneCharAtATime = !textInclusion;
  // The document's version rules every entity it includes.
  frame->isXml11 = m_frames.front()->isXml11;
  pushFrame(std::move(frame));
  Frame& current = top();
  if (inclusion)
    current.elementDepth = openDepth;
  m_line = 1;
  m_column = 0;
  m_inputUri = current.inputUri;
  m_baseUri = current.baseUri;
  if (textInclusion) {
    applyEncoding(encoding);
    detectByteOrder(current);
    return;
  }
  detectByteOrder(current);
  if (!encoding.isEmpty())
    applyEncoding(encoding);
  // An optional text declaration.
  if (lookingAt("<?xml ") || lookingAt("<?xml\t") || lookingAt("<?xml\n") || lookingAt("<?xml\r")) {
    expect("<?xml", 140);
    readXmlDecl(true);
  }
  current.oneCharAtATime = false;
}

} // namespace EKCommonNS
