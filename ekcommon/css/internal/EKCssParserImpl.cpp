#include "ekcommon/css/internal/EKCssParserImpl.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/css/internal/EKCssDeclarationParser.h"
#include "ekcommon/css/internal/EKCssMediaQueryParser.h"
#include "ekcommon/css/internal/EKCssMessages.h"
#include "ekcommon/css/internal/EKCssPageSelectorParser.h"
#include "ekcommon/css/internal/EKCssRulesStylesheet.h"
#include "ekcommon/css/internal/EKCssSelectorParser.h"
#include "ekcommon/css/internal/EKCssSheetLoader.h"
#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/xml/EKXmlParser.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <functional>

namespace EKCommonNS {

namespace {

bool isSpace(int32_t kind) { return kind == CSS_S || kind == CSS_COMMENT || kind == CSS_CDO || kind == CSS_CDC; }

// The margin boxes in the order in which an open one is looked for.
const std::initializer_list<EKName> MARGIN_BOXES = {
    EKN_top_left_corner,    EKN_top_left,     EKN_top_center,        EKN_top_right,   EKN_top_right_corner,
    EKN_bottom_left_corner, EKN_bottom_left,  EKN_bottom_center,     EKN_bottom_right, EKN_bottom_right_corner,
    EKN_left_top,           EKN_left_middle,  EKN_left_bottom,       EKN_right_top,   EKN_right_middle,
    EKN_right_bottom};

bool isMarginBox(EKName name) {
  return std::find(MARGIN_BOXES.begin(), MARGIN_BOXES.end(), name) != MARGIN_BOXES.end();
}

} // namespace

EKPtr<EKCssParser> EKCssParser::createCssParser(const EKXmlCatalogs* catalogs, const EKUri::ContentInfo* info) {
  return EKPtr<EKCssParser>(new EKCssParserImpl(catalogs, info));
}

bool EKCssParser::checkIdent(const UnicodeString& s) {
  if (s.indexOf(char16_t(0)) >= 0)
    return false;
  std::vector<char16_t> buffer(s.getBuffer(), s.getBuffer() + s.length());
  buffer.push_back(0);
  EKCssScanner scanner(buffer.data());
  return scanner.next() == CSS_IDENT && scanner.next() == CSS_EOF;
}

EKCssParserImpl::EKCssParserImpl(const EKXmlCatalogs* catalogs, const EKUri::ContentInfo* info,
                                 EKCssParserImpl* parent)
    : m_catalogs(catalogs), m_parent(parent) {
  if (info)
    m_info.emplace(*info);
  if (parent)
    m_features = parent->m_features;
  EKNameTable::addRefSharedNameTable();
}

EKCssParserImpl::~EKCssParserImpl() { EKNameTable::releaseSharedNameTable(); }

EKCssParserImpl::Nesting::Nesting(EKCssParserImpl& parser, EKName name) : parser(parser), name(name) {
  ++parser.m_nesting[name];
}

EKCssParserImpl::Nesting::~Nesting() {
  auto it = parser.m_nesting.find(name);
  if (--it->second == 0)
    parser.m_nesting.erase(it);
}

unsigned short EKCssParserImpl::issue(const EKError& error) {
  m_errors.push_back(error);
  m_lastError = static_cast<unsigned short>(error.getErrorCode());
  return m_lastError;
}

UnicodeString EKCssParserImpl::messagePath() const {
  const EKUri& uri = m_inputUri.isEmpty() ? m_baseUri : m_inputUri;
  return uri.isEmpty() ? UnicodeString() : uri.getLocalPath(true);
}

std::vector<UnicodeString> EKCssParserImpl::ancestorUris() const {
  std::vector<UnicodeString> uris;
  for (const EKCssParserImpl* p = m_parent; p; p = p->m_parent) {
    if (p->m_inputUri.isEmpty())
      continue;
    uris.push_back(p->m_baseUri.toString());
    uris.push_back(p->m_inputUri.toString());
  }
  return uris;
}

int EKCssParserImpl::depth() const {
  int depth = 0;
  for (const EKCssParserImpl* p = m_parent; p; p = p->m_parent)
    ++depth;
  return depth;
}

EKCssParserImpl* EKCssParserImpl::root() {
  EKCssParserImpl* p = this;
  while (p->m_parent)
    p = p->m_parent;
  return p;
}

unsigned short EKCssParserImpl::load(std::istream* in, const EKUri& uri, const UnicodeString& defaultEncoding) {
  m_baseUri = uri;
  m_inputUri = EKUri();
  m_encoding.remove();
  setText(UnicodeString(), EKName(), EKUri());
  if (!in && m_parent && (depth() > MAX_IMPORT_DEPTH || root()->m_importCount > MAX_IMPORTS))
    return issue(cssError(EKERR_CSS_LOOPED_IMPORT, uri.getLocalPath(true), -1, -1));
  EKCssSheetLoader loader(m_info ? &*m_info : nullptr);
  EKCssSheetLoader::Result result = loader.load(in, uri, defaultEncoding, ancestorUris());
  m_inputUri = result.inputUri;
  if (result.errorCode != 0) {
    for (const EKCssLoadIssue& problem : result.issues) {
      const UnicodeString arg1 = problem.args.size() > 0 ? problem.args[0] : UnicodeString();
      const UnicodeString arg2 = problem.args.size() > 1 ? problem.args[1] : UnicodeString();
      issue(cssError(problem.code, problem.path, -1, -1, arg1, arg2));
    }
    m_lastError = result.errorCode;
    return result.errorCode;
  }
  m_encoding = result.encoding;
  m_text = std::move(result.text);
  m_contextElement = EKName();
  m_lineStarts = cssLineStarts(m_text.c_str(), static_cast<int32_t>(m_text.size()));
  return 0;
}

unsigned short EKCssParserImpl::setText(const UnicodeString& text, EKName contextElement, const EKUri& baseUri) {
  m_text.assign(text.getBuffer(), static_cast<size_t>(text.length()));
  m_contextElement = contextElement;
  if (!baseUri.isEmpty())
    m_baseUri = baseUri;
  m_lineStarts = cssLineStarts(m_text.c_str(), text.length());
  return 0;
}

void EKCssParserImpl::setStartPosition(int line, int column) {
  m_startLine = line;
  m_startColumn = column;
}

void EKCssParserImpl::setStartPosition(EKXmlParser* xml) {
  if (xml)
    setStartPosition(std::max(0, xml->getLineNumber() - 1), std::max(0, xml->getColumnNumber() - 1));
}

unsigned int EKCssParserImpl::setFeature(unsigned int bits, bool on) {
  const unsigned int previous = m_features;
  if (on)
    m_features |= bits;
  else
    m_features &= ~bits;
  return on ? m_features : previous;
}

unsigned short EKCssParserImpl::parseInto(EKCssRules* rules) {
  EKCssRulesStylesheet* sheet = ekCast<EKCssRulesStylesheet>(rules);
  if (!sheet || m_reader)
    return 0;
  EKCssReader reader(m_text.data(), &m_lineStarts, m_startLine, m_startColumn, messagePath());
  reader.scanner().setHashAnywhere((m_features & FEATURE_HASH_ANYWHERE) != 0);
  m_sourceId = sheet->addSource(m_baseUri.toString(), m_inputUri.toString(),
                                std::vector<int32_t>(m_lineStarts.begin(), m_lineStarts.end()), m_startLine,
                                m_startColumn);
  sheet->setParserFeatures(m_features);
  m_reader = &reader;
  m_sheet = sheet;
  m_nesting.clear();
  parsePrologue(true);
  parseBody();
  m_reader = nullptr;
  m_sheet = nullptr;
  const std::vector<EKError>& errors = reader.getErrors();
  if (errors.empty())
    return 0;
  m_errors.insert(m_errors.end(), errors.begin(), errors.end());
  m_lastError = reader.getLastError();
  return static_cast<unsigned short>(errors.front().getErrorCode());
}

void EKCssParserImpl::parsePrologue(bool charsets) {
  int32_t kind;
  if (charsets) {
    bool leadingSpace = false;
    int count = 0;
    for (;;) {
      kind = m_reader->next();
      if (isSpace(kind)) {
        leadingSpace = leadingSpace || count == 0;
        continue;
      }
      if (kind != CSS_CHARSET_SYM)
        break;
      if (count == 0 && leadingSpace)
        m_reader->error(EKERR_CSS_CHARSET_NOT_FIRST);
      if (!m_contextElement.isEmpty())
        m_reader->error(EKERR_CSS_CHARSET_IN_ELEMENT, m_contextElement.toString());
      if (count > 0)
        m_reader->error(EKERR_CSS_EXTRA_CHARSET);
      ++count;
      skipStatement();
    }
    m_reader->pushBack();
  }
  bool namespaces = false;
  for (;;) {
    kind = m_reader->next();
    if (isSpace(kind))
      continue;
    if (kind == CSS_IMPORT_SYM && !namespaces) {
      parseImport();
    } else if (kind == CSS_NAMESPACE_SYM) {
      namespaces = true;
      parseNamespace();
    } else {
      m_reader->pushBack();
      return;
    }
  }
}

void EKCssParserImpl::parseBody() {
  const bool topLevel = !blockOpen();
  bool acceptedRule = false;
  for (;;) {
    const int32_t kind = m_reader->next();
    if (isSpace(kind))
      continue;
    if (kind == CSS_EOF || (kind == u'}' && !topLevel))
      return;
    if (kind == CSS_CHARSET_SYM || kind == CSS_IMPORT_SYM || kind == CSS_NAMESPACE_SYM) {
      m_reader->error(EKERR_CSS_MISPLACED_AT_RULE, m_reader->text());
      skipStatement();
    } else if (kind == CSS_ATKEYWORD) {
      parseAtRule();
    } else {
      m_reader->pushBack();
      if (parseRuleSet())
        acceptedRule = true;
      else if (topLevel && !acceptedRule)
        parsePrologue(false);
    }
  }
}

bool EKCssParserImpl::parseRuleSet() {
  // The namespace map is looked up for each rule: an @import merged before may have moved it.
  const EKCssSource* source = m_sheet->getSource(m_sourceId);
  EKCssSelectorParser selectorParser(*m_reader, source ? &source->namespaces : nullptr);
  std::vector<EKCssSelector> selectors;
  if (!selectorParser.parseGroup(selectors, u'{')) {
    // A selector that failed on a brace leaves it to the skip: the block it opens (or the block
    // it closes) bounds the bad statement.
    if (m_reader->kind() == u'{' || m_reader->kind() == u'}')
      m_reader->pushBack();
    skipStatement();
    return false;
  }
  EKCssDeclarations declarations(m_sourceId);
  EKCssDeclarationParser(*m_reader, m_features).parseBlock(declarations);
  m_sheet->storeRuleSet(selectors, std::move(declarations), m_sheet->nextRuleNumber());
  return true;
}

void EKCssParserImpl::skipStatement() { m_reader->skipStatement(blockOpen()); }

bool EKCssParserImpl::isOpen(EKName name) const { return m_nesting.count(name) != 0; }

bool EKCssParserImpl::blockOpen() const { return !m_nesting.empty(); }

EKName EKCssParserImpl::openBlock(std::initializer_list<EKName> names) const {
  for (EKName name : names) {
    if (isOpen(name))
      return name;
  }
  return EKName();
}

void EKCssParserImpl::parseAtRule() {
  const EKName name(m_reader->text());
  switch (static_cast<EKNameEnum>(name)) {
  case EKN_media:
    parseMedia();
    return;
  case EKN_page:
    parsePage();
    return;
  case EKN_font_face:
  case EKN_script_font:
    parseFontFace(name);
    return;
  case EKN_counter_style:
    parseCounterStyle();
    return;
  case EKN_footnote:
  case EKN_sidenote:
    parseMarginBlock(name);
    return;
  default:
    if (isMarginBox(name)) {
      parseMarginBlock(name);
      return;
    }
    m_reader->error(EKERR_CSS_UNKNOWN_AT_RULE, m_reader->text());
    skipStatement();
  }
}

void EKCssParserImpl::parseMedia() {
  const EKName open = openBlock({EKN_media, EKN_page, EKN_footnote, EKN_sidenote});
  if (!open.isEmpty()) {
    m_reader->error(EKERR_CSS_CANNOT_PLACE_AT_RULE, u"media", open.toString());
    skipStatement();
    return;
  }
  unsigned short listError = 0;
  EKPtr<EKCssMediaQueryList> list = EKCssMediaQueryParser(*m_reader).parseList(listError);
  const int32_t kind = m_reader->kind();
  if (kind == CSS_EOF) {
    m_reader->error(EKERR_CSS_UNEXPECTED_END);
    return;
  }
  if (kind == u';')
    return;
  const bool matches = (m_features & FEATURE_IGNORE_MEDIA) == 0 &&
                       list->matches(m_sheet->getMediaMatch(), m_sheet->getMediaUserData());
  if (!matches) {
    m_reader->skipTo(u'}');
    return;
  }
  Nesting nesting(*this, EKN_media);
  parseBody();
}

void EKCssParserImpl::parsePage() {
  const EKName open = openBlock({EKN_page, EKN_footnote, EKN_sidenote});
  if (!open.isEmpty()) {
    m_reader->error(EKERR_CSS_CANNOT_PLACE_AT_RULE, u"page", open.toString());
    skipStatement();
    return;
  }
  // A bad selector drops the rule: it is skipped as a statement of the enclosing block, if any.
  const bool inBlock = blockOpen();
  Nesting nesting(*this, EKN_page);
  std::vector<EKCssSelector> selectors;
  if (!EKCssPageSelectorParser(*m_reader).parseList(selectors)) {
    if (m_reader->kind() != CSS_EOF) {
      m_reader->pushBack();
      m_reader->skipStatement(inBlock);
    }
    return;
  }
  EKCssDeclarations declarations(m_sourceId);
  SelectorDeclarationsPair::PageBlocks blocks;
  m_pageBlocks = &blocks;
  readAtBlock(declarations);
  m_pageBlocks = nullptr;
  m_sheet->storePageRule(selectors, std::move(declarations), std::move(blocks), m_sheet->nextRuleNumber());
}

void EKCssParserImpl::parseMarginBlock(EKName name) {
  const bool allowed = isOpen(EKN_page) && openBlock(MARGIN_BOXES).isEmpty() && !isOpen(EKN_footnote) &&
                       !isOpen(EKN_sidenote);
  if (!allowed) {
    EKName open = openBlock({EKN_footnote, EKN_sidenote});
    if (open.isEmpty())
      open = openBlock(MARGIN_BOXES);
    if (!open.isEmpty())
      m_reader->error(EKERR_CSS_CANNOT_PLACE_AT_RULE, name.toString(), open.toString());
    else
      m_reader->error(EKERR_CSS_MUST_PLACE_AT_RULE, name.toString(), u"page");
    skipStatement();
    return;
  }
  Nesting nesting(*this, name);
  m_reader->nextSignificant();
  EKCssDeclarations declarations(m_sourceId);
  if (!readAtBlock(declarations) || !m_pageBlocks)
    return;
  const bool ignored = (m_features & FEATURE_IGNORE_PAGE_CONTEXT) != 0 ||
                       (name == EKN_footnote && (m_features & FEATURE_IGNORE_FOOTNOTE) != 0);
  if (!ignored)
    (*m_pageBlocks)[name].push_back(std::move(declarations));
}

void EKCssParserImpl::parseFontFace(EKName name) {
  if (blockOpen() && !isOpen(EKN_media)) {
    m_reader->error(EKERR_CSS_CANNOT_PLACE_AT_RULE, name.toString(), m_nesting.begin()->first.toString());
    skipStatement();
    return;
  }
  m_reader->nextSignificant();
  EKCssDeclarations declarations(m_sourceId);
  if (!readAtBlock(declarations) || (m_features & FEATURE_IGNORE_FONT_FACE) != 0)
    return;
  if (name == EKN_font_face)
    m_sheet->storeFontFace(std::move(declarations), m_sheet->nextRuleNumber());
  else
    m_sheet->storeScriptFont(std::move(declarations), m_sheet->nextRuleNumber());
}

void EKCssParserImpl::parseCounterStyle() {
  if (blockOpen() && !isOpen(EKN_media)) {
    m_reader->error(EKERR_CSS_CANNOT_PLACE_AT_RULE, u"counter-style", m_nesting.begin()->first.toString());
    skipStatement();
    return;
  }
  if (m_reader->nextSignificant() != CSS_IDENT) {
    m_reader->error(EKERR_CSS_MISSING_COUNTER_STYLE_NAME);
    m_reader->pushBack();
    skipStatement();
    return;
  }
  const EKName styleName(m_reader->text());
  m_reader->nextSignificant();
  EKCssDeclarations declarations(m_sourceId);
  if (readAtBlock(declarations) && (m_features & FEATURE_IGNORE_COUNTER_STYLE) == 0)
    m_sheet->storeCounterStyle(styleName, std::move(declarations), m_sheet->nextRuleNumber());
}

bool EKCssParserImpl::readAtBlock(EKCssDeclarations& out) {
  const int32_t kind = m_reader->kind();
  if (kind != u'{') {
    if (kind == CSS_EOF) {
      m_reader->error(EKERR_CSS_UNEXPECTED_END);
      return false;
    }
    m_reader->error(EKERR_CSS_MISSING_OPENING_BRACE);
    m_reader->pushBack();
    if (!m_reader->skipTo(u'{'))
      return false;
  }
  // Only page rules and their margin boxes hold at-rules of their own.
  const std::function<void()> nested = [this] { parseAtRule(); };
  EKCssDeclarationParser(*m_reader, m_features).parseBlock(out, isOpen(EKN_page) ? &nested : nullptr);
  return true;
}

bool EKCssParserImpl::readUrl(UnicodeString& url) {
  int32_t kind = m_reader->nextSignificant();
  if (kind == CSS_STRING) {
    url = m_reader->text();
  } else {
    EKCssScanner& scanner = m_reader->scanner();
    const int32_t begin = scanner.tokenStart();
    int32_t end = begin;
    while (scanner.buffer()[end] != u')' && scanner.buffer()[end] != u'\0')
      ++end;
    url = m_reader->slice(begin, end);
    scanner.rewind(end);
  }
  kind = m_reader->nextSignificant();
  if (kind != u')') {
    m_reader->error(EKERR_CSS_MISSING_CLOSING_PAREN, kind == CSS_EOF ? UnicodeString() : m_reader->text());
    m_reader->pushBack();
    return false;
  }
  return true;
}

void EKCssParserImpl::parseNamespace() {
  int32_t kind = m_reader->nextSignificant();
  EKName prefix;
  if (kind == CSS_IDENT) {
    prefix = EKName(m_reader->text());
    kind = m_reader->nextSignificant();
  }
  UnicodeString uri;
  if (kind == CSS_STRING) {
    uri = m_reader->text();
  } else if (kind == CSS_FUNCTION && m_reader->text() == u"url(") {
    if (!readUrl(uri)) {
      skipStatement();
      return;
    }
  }
  if (uri.isEmpty()) {
    m_reader->error(EKERR_CSS_INVALID_NAMESPACE);
    m_reader->pushBack();
    skipStatement();
    return;
  }
  m_sheet->declareNamespace(m_sourceId, prefix, EKName(uri));
  kind = m_reader->nextSignificant();
  if (kind != u';' && kind != CSS_EOF) {
    m_reader->error(EKERR_CSS_MISSING_SEMICOLON);
    m_reader->pushBack();
    skipStatement();
  }
}

void EKCssParserImpl::parseImport() {
  int32_t kind = m_reader->nextSignificant();
  UnicodeString url;
  if (kind == CSS_STRING) {
    url = m_reader->text();
  } else if (kind == CSS_FUNCTION && m_reader->text().caseCompare(u"url(", U_FOLD_CASE_DEFAULT) == 0) {
    if (!readUrl(url)) {
      skipStatement();
      return;
    }
  }
  if (url.isEmpty()) {
    m_reader->error(EKERR_CSS_INVALID_IMPORT);
    m_reader->pushBack();
    skipStatement();
    return;
  }
  if ((m_features & FEATURE_IGNORE_IMPORT) != 0) {
    skipStatement();
    return;
  }
  EKPtr<EKCssRules> imported =
      EKCssRules::createCssRules(static_cast<EKCascadingOrigin>(m_sheet->getOrigin()), m_sheet->getSheetSetName(),
                                 m_sheet->isAlternate(), m_sheet->getMediaMatch(), m_sheet->getMediaUserData());
  {
    EKPtr<EKCssParserImpl> child(new EKCssParserImpl(m_catalogs, m_info ? &*m_info : nullptr, this));
    ++root()->m_importCount;
    unsigned short code = child->load(nullptr, EKUri(m_baseUri, url, m_catalogs), m_encoding);
    if (code == 0)
      code = child->parseInto(imported.get());
    if (code != 0 && child->getIssuedErrors())
      m_reader->addErrors(*child->getIssuedErrors());
  }
  kind = m_reader->nextSignificant();
  if (kind == CSS_FUNCTION && m_reader->text().caseCompare(u"supports(", U_FOLD_CASE_DEFAULT) == 0)
    m_reader->skipTo(u')');
  else
    m_reader->pushBack();
  unsigned short listError = 0;
  EKPtr<EKCssMediaQueryList> list = EKCssMediaQueryParser(*m_reader).parseList(listError);
  if (list->matches(m_sheet->getMediaMatch(), m_sheet->getMediaUserData()))
    m_sheet->mergeRules(imported.get());
  if (m_reader->kind() == u'{') {
    m_reader->error(EKERR_CSS_MISSING_SEMICOLON);
    m_reader->pushBack();
    skipStatement();
  }
}

} // namespace EKCommonNS
