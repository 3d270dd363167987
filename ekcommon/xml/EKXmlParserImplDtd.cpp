// The native parser's document type declarations: the DOCTYPE, internal and external subsets,
// entity declarations, parameter entities, conditional sections, the built-in entity sets and
// the external-DTD cache.

#include "ekcommon/xml/internal/EKXmlParserImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/internal/EKXmlEntityTables.h"

namespace EKCommonNS {

namespace {

bool isPubidLiteral(const UnicodeString& literal) {
  for (int32_t i = 0; i < literal.length(); ++i) {
    const char16_t c = literal.charAt(i);
    if (!(EKChar::isAsciiLetter(c) || EKChar::isAsciiDigit(c) || c == 0x20 || c == 0x0D || c == 0x0A ||
          (c < 0x80 && std::char_traits<char>::find("-'()+,./:=?;!*#@$_%", 19, static_cast<char>(c)))))
      return false;
  }
  return true;
}

const char16_t W3C[] = u"http://www.w3.org";

bool startsWith(const UnicodeString& text, const char16_t* prefix) { return text.startsWith(UnicodeString(prefix)); }

bool isW3CPath(const UnicodeString& uri, const char16_t* path) {
  return startsWith(uri, W3C) && UnicodeString(uri, static_cast<int32_t>(sizeof W3C / sizeof W3C[0]) - 1)
                                     .startsWith(UnicodeString(path));
}

bool isMathMLDtd(const UnicodeString& uri) {
  return isW3CPath(uri, u"/Math/DTD/mathml") || isW3CPath(uri, u"/TR/MathML");
}

bool isXhtmlDtd(const UnicodeString& uri) {
  return isW3CPath(uri, u"/TR/xhtml") || isW3CPath(uri, u"/MarkUp/DTD/xhtml");
}

bool isHtmlPublicId(const UnicodeString& pubid) { return startsWith(pubid, u"-//W3C//DTD HTML "); }

} // namespace

void EKXmlParserImpl::readDoctype(bool rootRead) {
  if (m_seenDoctype)
    fatal(149);
  if (m_rootStarted)
    fatal(148);
  if (!rootRead) {
    if (!readWhitespace())
      fatal(150, UNICODE_STRING_SIMPLE("<!DOCTYPE"));
    UnicodeString root;
    if (!readName(root))
      fatal(131);
    m_doctypeRoot = root.toLower();
  }
  bool space = readWhitespace();
  UnicodeString keyword;
  if (peek() < END_OF_ENTITY && EKChar::isAsciiLetter(static_cast<int>(peek()))) {
    if (!space)
      fatal(150, m_doctypeRoot);
    readName(keyword);
    if (keyword == UNICODE_STRING_SIMPLE("PUBLIC")) {
      if (!readWhitespace())
        fatal(150, keyword);
      if (!readQuoted(m_pubidLiteral, false) || !isPubidLiteral(m_pubidLiteral))
        fatal(152, keyword);
      if (!readWhitespace())
        fatal(150, m_pubidLiteral);
      if (!readQuoted(m_systemLiteral, false))
        fatal(153, keyword);
    } else if (keyword == UNICODE_STRING_SIMPLE("SYSTEM")) {
      if (!readWhitespace())
        fatal(150, keyword);
      if (!readQuoted(m_systemLiteral, false))
        fatal(153, keyword);
    } else {
      fatal(151, UNICODE_STRING_SIMPLE("<!DOCTYPE"));
    }
    space = readWhitespace();
  }
  if (peek() == '[') {
    read();
    readSubset(false);
    skipWhitespace();
  }
  const char32_t c = read();
  if (c >= END_OF_ENTITY)
    fatal(154, UNICODE_STRING_SIMPLE("DOCTYPE"));
  if (c != '>')
    fatal(140, UnicodeString().append(static_cast<UChar32>(c)));
  m_seenDoctype = true;
  if (startsWith(m_pubidLiteral, u"-//W3C//DTD SVG")) {
    m_namespaces->declare(EKName(), EKN_http_www_w3_org_2000_svg);
    m_namespaces->declare(EKN_xlink, EKN_http_www_w3_org_1999_xlink);
  }
  if (!m_features[FEATURE_NO_EXTERNAL_DTD])
    readExternalDtd();
}

void EKXmlParserImpl::readExternalDtd() {
  if (isHtmlPublicId(m_pubidLiteral)) {
    attachEntitySet(EKXmlEntityTables::HTML4);
    return;
  }
  if (m_systemLiteral.isEmpty())
    return;
  const EKUri base(m_baseUri);
  EKUri dtd(base, m_systemLiteral);
  const UnicodeString& uri = dtd.toString();
  if (isW3CPath(uri, u"/Graphics/SVG/"))
    return;
  if (isMathMLDtd(uri)) {
    attachEntitySet(EKXmlEntityTables::MATHML);
    return;
  }
  if (isXhtmlDtd(uri)) {
    attachEntitySet(EKXmlEntityTables::HTML4);
    return;
  }
  // Parameter entities of the internal subset reach into the external one, so a DTD read with
  // them is particular to this document and stays out of the cache.
  const bool particular = !m_entities.parameter.empty();
  std::shared_ptr<const EKXmlEntityMaps> maps = particular ? nullptr : EKXmlEntityTables::findDtd(uri);
  if (!maps) {
    EKPtr<EKXmlParserImpl> reader(new EKXmlParserImpl(m_contentInfo.get()));
    for (int i = 0; i < FEATURE_COUNT; ++i)
      reader->m_features[i] = m_features[i];
    reader->setCallbackError(m_callback, m_callbackData);
    reader->m_subsetOfXml11 = m_isXml11;
    maps = reader->readExternalSubset(dtd, particular ? &m_entities : nullptr);
    if (!maps)
      return;
    if (!particular)
      maps = EKXmlEntityTables::addDtd(uri, std::move(maps));
  }
  mergeEntities(*maps);
}

std::shared_ptr<const EKXmlEntityMaps> EKXmlParserImpl::readExternalSubset(EKUri& uri,
                                                                          const EKXmlEntityMaps* declared) {
  closeStream();
  resetState();
  if (declared)
    m_entities = *declared;
  EKUri::ContentInfo info(m_contentInfo.get());
  std::istream* in = uri.getIStream(&info, nullptr);
  if (!in) {
    // A DTD that a server does not give is skipped; a missing local file is an error.
    if (uri.isFile())
      throwCommonError(EKERR_CANNOT_OPEN_FILE, uri.getLocalPath());
    return nullptr;
  }
  m_inputUri = uri.getLocalPath();
  m_baseUri = uri.getBaseString();
  m_readingExternalSubset = true;
  openDocumentFrame(in, true);
  // The version of the document that names the DTD rules it.
  m_isXml11 = top().isXml11 = m_subsetOfXml11;
  start();
  readSubset(true);
  auto maps = std::make_shared<EKXmlEntityMaps>(m_entities);
  closeStream();
  return maps;
}

void EKXmlParserImpl::mergeEntities(const EKXmlEntityMaps& maps) {
  for (const auto& entry : maps.general)
    m_entities.declare(entry.second);
  for (const auto& entry : maps.parameter)
    m_entities.declare(entry.second);
}

// A set's entities are looked up when a reference names them (findGeneral), so that attaching
// one costs nothing; the sets attached first take precedence.
void EKXmlParserImpl::attachEntitySet(int set) {
  if (m_setAttached[set])
    return;
  m_setAttached[set] = true;
  m_setOrder.push_back(set);
}

EKXmlEntityMaps::Entity* EKXmlParserImpl::findGeneral(EKName name) {
  const auto it = m_entities.general.find(name);
  if (it != m_entities.general.end())
    return &it->second;
  for (const int set : m_setOrder) {
    if (const UnicodeString* text = EKXmlEntityTables::find(static_cast<EKXmlEntityTables::Set>(set), name)) {
      EKXmlEntityMaps::Entity entity;
      entity.name = name;
      entity.text = *text;
      return &m_entities.general.emplace(name, std::move(entity)).first->second;
    }
  }
  return nullptr;
}

void EKXmlParserImpl::addMathMLEntities() { attachEntitySet(EKXmlEntityTables::MATHML); }

void EKXmlParserImpl::checkMathElement() {
  if (m_features[FEATURE_NO_EXTERNAL_DTD] || m_namespaces->getName() != EKN_math ||
      m_namespaces->getNamespace() != EKN_http_www_w3_org_1998_Math_MathML || m_setAttached[EKXmlEntityTables::MATHML])
    return;
  const int depth = m_namespaces->getDepth();
  if (depth == 1) {
    if (!m_seenDoctype)
      attachEntitySet(EKXmlEntityTables::MATHML);
    return;
  }
  // A math element inside another vocabulary: its names are defined only inside it.
  m_mathSaved = std::make_unique<EKXmlEntityMaps>(m_entities);
  m_mathDepth = depth;
  attachEntitySet(EKXmlEntityTables::MATHML);
}

const void* EKXmlParserImpl::saveEntityMaps() const { return new EKXmlEntityMaps(m_entities); }

void EKXmlParserImpl::recoverEntityMaps(const void*& saved) {
  if (!saved)
    return;
  const auto* maps = static_cast<const EKXmlEntityMaps*>(saved);
  m_entities = *maps;
  delete maps;
  saved = nullptr;
}

void EKXmlParserImpl::defineEntityReplacementText(EKName name, const UnicodeString& text) {
  EKXmlEntityMaps::Entity entity;
  entity.name = name;
  entity.text = text;
  m_entities.general[name] = entity;
  m_entities.forgetLengths();
}

// Reads a character, leaving replacement texts that end above the frame depth `base`.
char32_t EKXmlParserImpl::readAcross(size_t base) {
  char32_t c = read();
  while (c == END_OF_ENTITY && m_frames.size() > base) {
    popFrame();
    c = read();
  }
  return c;
}

// --- subsets

// Reads declarations up to the "]" that closes the internal subset, or to the end of an external
// subset. Parameter-entity frames and INCLUDE sections are entered and left as they come.
void EKXmlParserImpl::readSubset(bool external) {
  const size_t base = m_frames.size();
  int includes = 0;
  for (;;) {
    skipWhitespace();
    const char32_t c = peek();
    if (c == END_OF_ENTITY && m_frames.size() > base) {
      popFrame();
      continue;
    }
    if (c >= END_OF_ENTITY) {
      if (external && includes == 0)
        return;
      fatal(154, UNICODE_STRING_SIMPLE("DOCTYPE"));
    }
    read();
    if (c == ']') {
      if (includes > 0) {
        expect("]>", 140, UNICODE_STRING_SIMPLE("]"));
        --includes;
        continue;
      }
      if (!external && m_frames.size() == base)
        return;
      fatal(140, UNICODE_STRING_SIMPLE("]"));
    }
    if (c == '%') {
      expandParameterEntity(false);
      continue;
    }
    if (c != '<')
      fatal(140, UnicodeString().append(static_cast<UChar32>(c)));
    const char32_t second = read();
    if (second == '?') {
      const std::u16string kept = m_text;
      readPI();
      m_text = kept;
      continue;
    }
    if (second != '!')
      fatal(140, UnicodeString().append(static_cast<UChar32>(second)));
    if (peek() == '[') {
      read();
      // The keyword may come from a parameter entity.
      const size_t section = m_frames.size();
      auto skipSpace = [&]() {
        for (char32_t d = peek();
             EKChar::isWhitespace(static_cast<int>(d)) || (d == END_OF_ENTITY && m_frames.size() > section);
             d = peek()) {
          if (d == END_OF_ENTITY)
            popFrame();
          else
            read();
        }
      };
      skipSpace();
      if (peek() == '%') {
        read();
        expandParameterEntity(false);
        skipSpace();
      }
      UnicodeString keyword;
      readName(keyword);
      skipSpace();
      if (read() != '[')
        fatal(143, keyword);
      if (keyword == UNICODE_STRING_SIMPLE("INCLUDE")) {
        ++includes;
      } else if (keyword == UNICODE_STRING_SIMPLE("IGNORE")) {
        readIgnoredSection();
      } else {
        fatal(143, keyword);
      }
      continue;
    }
    readDeclaration();
  }
}

// Skips an IGNORE section, with the sections nested in it.
void EKXmlParserImpl::readIgnoredSection() {
  int depth = 1;
  char32_t previous = 0, beforePrevious = 0;
  while (depth > 0) {
    const char32_t c = read();
    if (c >= END_OF_ENTITY)
      fatal(154, UNICODE_STRING_SIMPLE("IGNORE"));
    if (beforePrevious == '<' && previous == '!' && c == '[') {
      ++depth;
      previous = 0;
      beforePrevious = 0;
      continue;
    }
    if (beforePrevious == ']' && previous == ']' && c == '>') {
      --depth;
      previous = 0;
      beforePrevious = 0;
      continue;
    }
    beforePrevious = previous;
    previous = c;
  }
}

void EKXmlParserImpl::readDeclaration() {
  if (peek() == '-') {
    read();
    if (read() != '-')
      fatal(169);
    const std::u16string kept = m_text;
    readComment();
    m_text = kept;
    return;
  }
  UnicodeString keyword;
  readName(keyword);
  if (keyword == UNICODE_STRING_SIMPLE("ENTITY")) {
    readEntityDecl();
    return;
  }
  if (keyword != UNICODE_STRING_SIMPLE("ELEMENT") && keyword != UNICODE_STRING_SIMPLE("ATTLIST") &&
      keyword != UNICODE_STRING_SIMPLE("NOTATION"))
    fatal(170, keyword);
  skipDeclarationBody(keyword);
}

// Reads over a declaration that is not kept; literals are skipped whole so that '>' in them
// ends nothing.
void EKXmlParserImpl::skipDeclarationBody(const UnicodeString& keyword) {
  const size_t base = m_frames.size();
  for (;;) {
    const char32_t c = readAcross(base);
    if (c >= END_OF_ENTITY)
      fatal(154, keyword);
    if (c == '>')
      return;
    if (c == '%' && peek() < END_OF_ENTITY && EKChar::isNameStartChar(static_cast<int>(peek()))) {
      // A parameter entity may supply any part of the declaration, its end included.
      expandParameterEntity(false);
      continue;
    }
    if (c == '"' || c == '\'') {
      for (char32_t d = read(); d != c; d = read())
        if (d >= END_OF_ENTITY)
          fatal(154, keyword);
    }
  }
}

void EKXmlParserImpl::readEntityDecl() {
  if (!readWhitespace())
    fatal(150, UNICODE_STRING_SIMPLE("<!ENTITY"));
  EKXmlEntityMaps::Entity entity;
  if (peek() == '%') {
    read();
    if (!readWhitespace())
      fatal(150, UNICODE_STRING_SIMPLE("%"));
    entity.parameter = true;
  }
  UnicodeString name;
  // Entity names are names without a colon in a document that uses namespaces.
  if (!readName(name) || name.indexOf(u':') >= 0)
    fatal(159, UnicodeString(entity.parameter ? u"<!ENTITY %" : u"<!ENTITY"));
  entity.name = intern(reinterpret_cast<const char16_t*>(name.getBuffer()), name.length());
  if (!readWhitespace())
    fatal(150, name);
  const char32_t c = peek();
  if (c == '"' || c == '\'') {
    readQuoted(entity.text, true);
  } else {
    UnicodeString keyword;
    readName(keyword);
    UnicodeString pubid;
    if (keyword == UNICODE_STRING_SIMPLE("PUBLIC")) {
      if (!readWhitespace())
        fatal(150, keyword);
      if (!readQuoted(pubid, false) || !isPubidLiteral(pubid))
        fatal(152, keyword);
    } else if (keyword != UNICODE_STRING_SIMPLE("SYSTEM")) {
      fatal(151, UNICODE_STRING_SIMPLE("<!ENTITY"));
    }
    if (!readWhitespace())
      fatal(150, keyword);
    if (!readQuoted(entity.systemLiteral, false))
      fatal(153, keyword);
    if (entity.systemLiteral.indexOf(u'#') >= 0)
      fatal(153, keyword);
    entity.external = true;
    const EKUri base(m_baseUri);
    entity.uri = EKUri(base, entity.systemLiteral).toString();
    const bool space = readWhitespace();
    if (peek() < END_OF_ENTITY && peek() != '>') {
      UnicodeString ndata;
      readName(ndata);
      if (!space || entity.parameter || ndata != UNICODE_STRING_SIMPLE("NDATA") || !readWhitespace())
        fatal(160, externalDeclaration(entity));
      UnicodeString notation;
      if (!readName(notation))
        fatal(160, externalDeclaration(entity));
      entity.unparsed = true;
    }
  }
  skipWhitespace();
  const char32_t end = read();
  if (end >= END_OF_ENTITY)
    fatal(154, UNICODE_STRING_SIMPLE("ENTITY"));
  if (end != '>')
    fatal(entity.external ? 160 : 140, entity.external ? externalDeclaration(entity)
                                                       : UnicodeString().append(static_cast<UChar32>(end)));
  m_entities.declare(entity);
}

// Reads a quoted literal; false (nothing read) when no quote is next. In an entity value,
// parameter-entity references are expanded and character references replaced, while general
// references stay as written for expansion where the entity is used.
bool EKXmlParserImpl::readQuoted(UnicodeString& out, bool entityValue) {
  out.remove();
  const char32_t quote = peek();
  if (quote != '"' && quote != '\'')
    return false;
  read();
  const size_t base = m_frames.size();
  for (;;) {
    const char32_t c = readAcross(base);
    if (c >= END_OF_ENTITY)
      fatal(175, UnicodeString().append(static_cast<UChar32>(quote)));
    if (c == quote && m_frames.size() == base)
      return true;
    if (entityValue && c == '%') {
      expandParameterEntity(true);
      continue;
    }
    if (entityValue && c == '&') {
      if (peek() == '#') {
        read();
        out.append(static_cast<UChar32>(readCharRef()));
        continue;
      }
      const EKName name = readEntityName(read());
      out.append(m_entities.isDeclared(name) ? u"&" : u"&amp;").append(name.toString()).append(u';');
      continue;
    }
    out.append(static_cast<UChar32>(c));
    if (m_hugeTextLimit >= 0 && out.length() > m_hugeTextLimit)
      fatal(190);
  }
}

// After "%": reads the name and makes the entity's replacement the current input. Between
// declarations the replacement is read as declarations; inside a literal as literal text.
void EKXmlParserImpl::expandParameterEntity(bool inLiteral) {
  EKXmlEntityMaps::Entity* found = entityToExpand(true, readEntityName(read()));
  if (!found)
    return;
  EKXmlEntityMaps::Entity& entity = *found;
  if (entity.external) {
    if (!m_features[FEATURE_NO_EXTERNAL_ENTITIES])
      pushExternalEntity(entity);
    return;
  }
  countExpansion(static_cast<size_t>(entity.text.length()));
  pushTextFrame(Frame::PARAMETER, entity, !inLiteral);
}

} // namespace EKCommonNS
