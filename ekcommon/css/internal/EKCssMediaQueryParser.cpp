#include "ekcommon/css/internal/EKCssMediaQueryParser.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>

namespace EKCommonNS {

namespace {

// The feature names a style sheet may test; others are reported, yet kept for the host.
const char16_t* const KNOWN_FEATURES[] = {
    u"width", u"min-width", u"max-width", u"height", u"min-height", u"max-height", u"aspect-ratio",
    u"min-aspect-ratio", u"max-aspect-ratio", u"device-width", u"min-device-width", u"max-device-width",
    u"device-height", u"min-device-height", u"max-device-height", u"device-aspect-ratio",
    u"min-device-aspect-ratio", u"max-device-aspect-ratio", u"color", u"min-color", u"max-color",
    u"color-index", u"min-color-index", u"max-color-index", u"monochrome", u"min-monochrome", u"max-monochrome",
    u"resolution", u"min-resolution", u"max-resolution", u"orientation", u"scan", u"grid", u"update",
    u"overflow-block", u"overflow-inline", u"color-gamut", u"pointer", u"any-pointer", u"hover", u"any-hover",
    u"os", u"platform",
};

bool isKnownFeature(const UnicodeString& name) {
  for (const char16_t* known : KNOWN_FEATURES)
    if (name == UnicodeString(known))
      return true;
  return false;
}

bool isKeyword(const UnicodeString& text, const char16_t* keyword) {
  return text.caseCompare(UnicodeString(keyword), U_FOLD_CASE_DEFAULT) == 0;
}

UnicodeString lowerCase(const UnicodeString& text) { return UnicodeString(text).toLower(icu::Locale::getRoot()); }

bool endsList(int32_t kind) { return kind == CSS_EOF || kind == u';' || kind == u'{'; }

} // namespace

EKCssMediaQueryParser::EKCssMediaQueryParser(EKCssReader& reader) : m_reader(reader) {}

EKPtr<EKCssMediaQueryList> EKCssMediaQueryParser::parseList(unsigned short& error) {
  m_firstError = 0;
  EKPtr<EKCssMediaQueryList> list(new EKCssMediaQueryList());
  int32_t kind = m_reader.nextSignificant();
  while (!endsList(kind)) {
    unsigned short failed = 0;
    if (kind == CSS_IDENT || kind == u'(') {
      EKPtr<EKCssMediaQueryImpl> query(new EKCssMediaQueryImpl());
      failed = parseQuery(*query);
      kind = m_reader.kind();
      // A query must be followed by ',' or the end of the list.
      if (!failed && kind != u',' && !endsList(kind))
        failed = report(EKERR_CSS_INVALID_MEDIA_QUERY, m_reader.text());
      if (!failed)
        list->append(query.get());
    } else {
      failed = report(EKERR_CSS_INVALID_MEDIA_QUERY, m_reader.text());
    }
    if (failed)
      skipQuery();
    kind = m_reader.kind();
    if (kind == u',')
      kind = m_reader.nextSignificant();
  }
  error = m_firstError;
  return list;
}

unsigned short EKCssMediaQueryParser::parseQuery(EKCssMediaQueryImpl& query) {
  int32_t kind = m_reader.kind();
  if (kind == u'(') {
    if (const unsigned short failed = parseExpression(query))
      return failed;
  } else {
    if (isKeyword(m_reader.text(), u"only")) {
      kind = m_reader.nextSignificant();
    } else if (isKeyword(m_reader.text(), u"not")) {
      query.setNegated(true);
      kind = m_reader.nextSignificant();
    }
    if (kind != CSS_IDENT)
      return report(EKERR_CSS_INVALID_MEDIA_QUERY, m_reader.text());
    query.setMediaType(EKName(lowerCase(m_reader.text())));
  }
  for (;;) {
    kind = m_reader.nextSignificant();
    if (kind != CSS_IDENT || !isKeyword(m_reader.text(), u"and"))
      return 0;
    if (m_reader.nextSignificant() != u'(')
      return report(EKERR_CSS_MEDIA_MISSING_OPENING_PAREN);
    if (const unsigned short failed = parseExpression(query))
      return failed;
  }
}

unsigned short EKCssMediaQueryParser::parseExpression(EKCssMediaQueryImpl& query) {
  if (m_reader.nextSignificant() != CSS_IDENT) {
    const unsigned short code = report(EKERR_CSS_MISSING_MEDIA_FEATURE);
    skipToClose();
    return code;
  }
  const UnicodeString name = lowerCase(m_reader.text());
  if (!isKnownFeature(name))
    report(EKERR_CSS_UNKNOWN_MEDIA_FEATURE, name);
  UnicodeString value;
  const int32_t kind = m_reader.nextSignificant();
  if (kind == u':') {
    if (const unsigned short failed = readValue(value))
      return failed;
  } else if (kind != u')') {
    return report(EKERR_CSS_MEDIA_MISSING_CLOSING_PAREN);
  }
  query.addFeature(EKName(name), value);
  return 0;
}

// The value runs from its first significant token to the end of its last one, so that a trailing
// escaped space stays; comments inside read as spaces. A bad string or a lone backslash cannot
// stand in a value.
unsigned short EKCssMediaQueryParser::readValue(UnicodeString& value) {
  const EKCssScanner& scanner = m_reader.scanner();
  int32_t begin = -1, end = -1;
  int depth = 0;
  for (int32_t kind = m_reader.nextSignificant(); kind != CSS_EOF; kind = m_reader.next()) {
    if (kind == CSS_BAD_STRING || kind == u'\\') {
      const unsigned short code = report(EKERR_CSS_INVALID_MEDIA_QUERY, m_reader.text());
      skipToClose();
      return code;
    }
    if (kind == u'(' || kind == CSS_FUNCTION) {
      ++depth;
    } else if (kind == u')' && depth-- == 0) {
      if (begin >= 0)
        value.setTo(reinterpret_cast<const UChar*>(scanner.buffer() + begin), end - begin);
      return 0;
    }
    if (kind != CSS_S && kind != CSS_COMMENT) {
      if (begin < 0)
        begin = scanner.tokenStart();
      end = scanner.position();
    }
  }
  return report(EKERR_CSS_MEDIA_MISSING_CLOSING_PAREN);
}

unsigned short EKCssMediaQueryParser::report(unsigned short code, const UnicodeString& arg) {
  m_reader.error(code, arg);
  if (m_firstError == 0)
    m_firstError = code;
  return code;
}

void EKCssMediaQueryParser::skipQuery() {
  int depth = 0;
  for (int32_t kind = m_reader.kind(); kind != CSS_EOF; kind = m_reader.next()) {
    if (depth == 0 && (kind == u',' || endsList(kind)))
      return;
    if (kind == u'(' || kind == CSS_FUNCTION)
      ++depth;
    else if (kind == u')' && depth > 0)
      --depth;
  }
}

bool EKCssMediaQueryParser::skipToClose() {
  int depth = 0;
  for (int32_t kind = m_reader.kind(); kind != CSS_EOF; kind = m_reader.next()) {
    if (kind == u'(' || kind == CSS_FUNCTION)
      ++depth;
    else if (kind == u')' && depth-- == 0)
      return true;
  }
  return false;
}

EKPtr<EKCssMediaQueryList> EKCssMediaQuery::createCssMediaQuery(const UnicodeString& text) {
  std::u16string buffer(reinterpret_cast<const char16_t*>(text.getBuffer()), static_cast<size_t>(text.length()));
  const std::vector<uint32_t> lineStarts = cssLineStarts(buffer.c_str(), static_cast<int32_t>(buffer.size()));
  EKCssReader reader(buffer.data(), &lineStarts, 0, 0, UnicodeString());
  unsigned short error = 0;
  return EKCssMediaQueryParser(reader).parseList(error);
}

} // namespace EKCommonNS
