#include "ekcommon/css/internal/EKCssDeclarationParser.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/text/EKUnicodeRange.h"

#include <unicode/locid.h>

#include <string_view>
#include <vector>

namespace EKCommonNS {

namespace {

bool isHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isOperator(int32_t kind) {
  return kind == u'*' || kind == u'+' || kind == u',' || kind == u'-' || kind == u'/';
}

UnicodeString lowerCase(const UnicodeString& text) {
  return UnicodeString(text).toLower(icu::Locale::getRoot());
}

} // namespace

EKCssDeclarationParser::EKCssDeclarationParser(EKCssReader& reader, unsigned int features)
    : m_reader(reader), m_features(features) {}

unsigned short EKCssDeclarationParser::parseBlock(EKCssDeclarations& out, const std::function<void()>* atRule) {
  return parseDeclarations(out, true, atRule);
}

unsigned short EKCssDeclarationParser::parseList(EKCssDeclarations& out) {
  return parseDeclarations(out, false, nullptr);
}

UnicodeString EKCssDeclarationParser::parseParenthesisValue() {
  const int32_t begin = m_reader.scanner().position();
  readBalanced(u");{}");
  return m_reader.slice(begin, m_reader.scanner().tokenStart());
}

unsigned short EKCssDeclarationParser::parseDeclarations(EKCssDeclarations& out, bool block,
                                                         const std::function<void()>* atRule) {
  // A nested at-rule may read its own block through this parser: keep the outer parse's mark.
  const size_t outerFirstError = m_firstError;
  const size_t firstError = m_reader.getErrors().size();
  m_firstError = firstError;
  // Values hold colours such as "#123", which are hashes only outside selectors.
  EKCssScanner& scanner = m_reader.scanner();
  const bool inSelector = scanner.inSelector();
  scanner.setInSelector(false);
  for (;;) {
    int32_t kind = m_reader.nextSignificant();
    if (kind == CSS_EOF) {
      if (block)
        reportEnd();
      break;
    }
    if (kind == u'}') {
      if (block)
        break;
      m_reader.error(EKERR_CSS_UNEXPECTED_CLOSING_BRACE);
      continue;
    }
    if (kind == u';')
      continue;
    if (kind == CSS_CHARSET_SYM || kind == CSS_IMPORT_SYM || kind == CSS_NAMESPACE_SYM) {
      m_reader.error(EKERR_CSS_MISPLACED_AT_RULE, m_reader.text());
      skipDeclaration();
      continue;
    }
    if (kind == CSS_ATKEYWORD) {
      if (atRule) {
        (*atRule)();
      } else {
        m_reader.error(EKERR_CSS_UNKNOWN_AT_RULE, m_reader.text());
        m_reader.skipStatement();
      }
      continue;
    }
    parseDeclaration(out);
    kind = m_reader.nextSignificant();
    if (kind == u';')
      continue;
    if (kind != u'}' && kind != CSS_EOF) {
      m_reader.error(EKERR_CSS_MISSING_SEMICOLON);
      m_reader.pushBack();
      skipDeclaration();
      continue;
    }
    m_reader.pushBack();
  }
  scanner.setInSelector(inSelector);
  m_firstError = outerFirstError;
  const std::vector<EKError>& errors = m_reader.getErrors();
  return errors.size() > firstError ? static_cast<unsigned short>(errors[firstError].getErrorCode()) : 0;
}

void EKCssDeclarationParser::parseDeclaration(EKCssDeclarations& out) {
  const int32_t start = m_reader.scanner().tokenStart();
  const EKName property = readPropertyName();
  if (property.isEmpty()) {
    m_reader.pushBack();
    skipDeclaration();
    return;
  }
  if (m_reader.nextSignificant() != u':') {
    m_reader.error(EKERR_CSS_MISSING_COLON);
    m_reader.pushBack();
    skipDeclaration();
    return;
  }
  int32_t begin = 0, end = 0;
  if (!readValue(&begin, &end)) {
    m_reader.pushBack();
    skipDeclaration();
    return;
  }
  const bool important = m_reader.nextSignificant() == CSS_IMPORTANT_SYM;
  if (!important)
    m_reader.pushBack();
  if (begin == end)
    return;
  const int32_t offset = (m_features & FEATURE_DECLARATION_OFFSETS) ? start : -1;
  out.append(EKCssDeclaration(property, m_reader.slice(begin, end), important, offset));
}

EKName EKCssDeclarationParser::readPropertyName() {
  const int32_t kind = m_reader.kind();
  if (kind == CSS_CUSTOM_IDENT)
    return EKName(m_reader.text());
  if (kind != CSS_IDENT) {
    m_reader.error(EKERR_CSS_INVALID_PROPERTY_NAME, m_reader.text());
    return EKName();
  }
  UnicodeString name = lowerCase(m_reader.text());
  EKCssScanner& scanner = m_reader.scanner();
  const int32_t dot = scanner.position();
  if ((m_features & FEATURE_DOTTED_PROPERTIES) && scanner.buffer()[dot] == u'.') {
    if (m_reader.next() == u'.' && m_reader.next() == CSS_IDENT)
      name.append(u'.').append(lowerCase(m_reader.text()));
    else
      scanner.rewind(dot);
  }
  return EKName(name);
}

bool EKCssDeclarationParser::readValue(int32_t* begin, int32_t* end) {
  int32_t kind = m_reader.nextSignificant();
  EKCssScanner& scanner = m_reader.scanner();
  *begin = *end = scanner.tokenStart();
  if (kind == CSS_EOF || kind == u';' || kind == u'}' || kind == CSS_IMPORTANT_SYM) {
    m_reader.pushBack();
    return true;
  }
  if (!readTerm(kind))
    return false;
  *end = scanner.position();
  // Each further term is tried with errors held back: the value ends before the first token that
  // does not make one, and that token is read again by whoever comes next.
  for (;;) {
    kind = m_reader.nextSignificant();
    const EKCssReader::Trial trial = m_reader.beginTrial();
    if (isOperator(kind))
      kind = m_reader.nextSignificant();
    const bool term = kind != CSS_EOF && readTerm(kind);
    m_reader.endTrial(trial, term);
    if (!term)
      return true;
    *end = scanner.position();
  }
}

bool EKCssDeclarationParser::readTerm(int32_t kind) {
  switch (kind) {
  case CSS_IDENT:
    readUnicodeRange();
    return true;
  case CSS_CUSTOM_IDENT:
  case CSS_NUMBER:
  case CSS_PERCENTAGE:
  case CSS_DIMENSION:
  case CSS_HASH_IDENT:
  case CSS_HASH_NAME:
  case CSS_STRING:
    return true;
  case CSS_FUNCTION:
    return m_reader.skipTo(u')');
  case u'+':
  case u'-':
    // A signed parenthesised expression.
    if ((m_features & FEATURE_EXPRESSIONS) && m_reader.scanner().buffer()[m_reader.scanner().position()] == u'(') {
      m_reader.next();
      return m_reader.skipTo(u')');
    }
    break;
  case u'(':
    if (m_features & FEATURE_EXPRESSIONS)
      return m_reader.skipTo(u')');
    break;
  default:
    break;
  }
  m_reader.error(EKERR_CSS_INVALID_TERM, m_reader.text());
  return false;
}

void EKCssDeclarationParser::readUnicodeRange() {
  EKCssScanner& scanner = m_reader.scanner();
  const char16_t* text = scanner.buffer();
  const int32_t start = scanner.tokenStart();
  int32_t end = scanner.position();
  if (m_reader.text() != u"U" || text[start] != u'U' || text[end] != u'+')
    return;
  ++end;
  while (isHexDigit(text[end]) || text[end] == u'?')
    ++end;
  if (text[end] == u'-' && isHexDigit(text[end + 1])) {
    ++end;
    while (isHexDigit(text[end]))
      ++end;
  }
  EKUnicodeRange range;
  if (range.parseUnicodeRange(UnicodeString(reinterpret_cast<const UChar*>(text + start), end - start)))
    scanner.rewind(end);
}

int32_t EKCssDeclarationParser::readBalanced(std::u16string_view stops) {
  std::vector<char16_t> open;
  for (;;) {
    const int32_t kind = m_reader.next();
    if (kind == CSS_EOF) {
      if (!open.empty())
        reportEnd();
      m_reader.pushBack();
      return kind;
    }
    if (open.empty() && kind > 0 && stops.find(static_cast<char16_t>(kind)) != std::u16string_view::npos) {
      m_reader.pushBack();
      return kind;
    }
    if (kind == CSS_FUNCTION || kind == u'(')
      open.push_back(u')');
    else if (kind == u'[')
      open.push_back(u']');
    else if (kind == u'{')
      open.push_back(u'}');
    else if (!open.empty() && kind == open.back())
      open.pop_back();
  }
}

void EKCssDeclarationParser::skipDeclaration() { readBalanced(u";}"); }

void EKCssDeclarationParser::reportEnd() {
  const std::vector<EKError>& errors = m_reader.getErrors();
  if (errors.size() > m_firstError && errors.back().getErrorCode() == EKERR_CSS_UNEXPECTED_END)
    return;
  m_reader.error(EKERR_CSS_UNEXPECTED_END);
}

} // namespace EKCommonNS
