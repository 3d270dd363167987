#include "ekcommon/resources/EKDataUri.h"

#include "ekcommon/text/EKUtil.h"
#include "ekcommon/values/EKTokenizer.h"

namespace EKCommonNS {

namespace {
constexpr int32_t SCHEME_LENGTH = 5; // "data:"
} // namespace

EKDataUri::EKDataUri(const UnicodeString& s, const EKXmlCatalogs* catalogs) : EKUri(s, catalogs) {
  init();
}

EKDataUri::EKDataUri(const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs)
    : EKUri(s, type, catalogs) {
  init();
}

EKDataUri::EKDataUri(const EKUri& base, const UnicodeString& s, const EKXmlCatalogs* catalogs)
    : EKUri(base, s, catalogs) {
  init();
}

EKDataUri::EKDataUri(const EKUri& base, const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs)
    : EKUri(base, s, type, catalogs) {
  init();
}

void EKDataUri::init() {
  m_params.max_load_factor(1.0f);
  if (!isDataScheme())
    return;
  // The header ends at the first ',' outside quotes; the tokenizer reads it as MIME tokens.
  EKTokenizer tok(UnicodeString(toString(), SCHEME_LENGTH), EKTokenizer::MIME);
  if (tok.nextToken() == EKTokenizer::TOKEN_NAME) {
    UnicodeString type = tok.getTokenString();
    if (tok.skipSeparator('/') && tok.nextToken() == EKTokenizer::TOKEN_NAME)
      m_mediaType = EKUri::unescape(type.append(u'/').append(tok.getTokenString()));
    else
      m_mediaType.remove();
  } else {
    tok.pushBack();
  }
  for (;;) {
    const int token = tok.nextToken();
    if (token == ',') {
      m_dataOffset = SCHEME_LENGTH + tok.getOffset();
      return;
    }
    if (token != ';' || tok.nextToken() != EKTokenizer::TOKEN_NAME)
      return;
    const UnicodeString name = EKUri::unescape(tok.getTokenString());
    if (!tok.skipSeparator('=')) {
      if (name.caseCompare(u"base64", 0) == 0)
        m_base64 = true;
      continue;
    }
    tok.skipWhitespace();
    // A value runs to the next ';' or ',' unless it is quoted.
    UnicodeString value;
    if (tok.scanSeparator('"')) {
      tok.nextToken();
      value = tok.getTokenString();
    } else {
      const char16_t* start = tok.getPtr();
      const char16_t* p = start;
      while (*p && *p != ';' && *p != ',')
        ++p;
      value = UnicodeString(start, static_cast<int32_t>(p - start));
      tok.setPtr(p);
    }
    m_params[EKName(name)] = EKUri::unescape(value);
  }
}

UnicodeString EKDataUri::getStringParam(EKNameEnum name) const {
  const auto found = m_params.find(EKName(name));
  return found == m_params.end() ? UnicodeString() : found->second;
}

bool EKDataUri::numberParam(EKNameEnum name, double& value) const {
  const auto found = m_params.find(EKName(name));
  if (found == m_params.end())
    return false;
  UnicodeString text(found->second);
  const char16_t* start = text.getTerminatedBuffer();
  const char16_t* end = nullptr;
  bool notNumber = false;
  value = EKUtil::parseNumber(start, &end, nullptr, &notNumber);
  return !notNumber && end == start + text.length();
}

int EKDataUri::getIntegerParam(EKNameEnum name, int otherwise) const {
  double value = 0;
  if (!numberParam(name, value) || !(value > -2147483648.0 && value < 2147483648.0))
    return otherwise;
  return static_cast<int>(value);
}

float EKDataUri::getRealParam(EKNameEnum name, float otherwise) const {
  double value = 0;
  return numberParam(name, value) ? static_cast<float>(value) : otherwise;
}

EKName EKDataUri::getLowerNameParam(EKNameEnum name) const {
  const auto found = m_params.find(EKName(name));
  if (found == m_params.end())
    return EKName();
  UnicodeString lower(found->second);
  return EKName(lower.toLower());
}

std::pair<int, int> EKDataUri::getPageNumber() const {
  const auto found = m_params.find(EKName(EKN_page));
  if (found == m_params.end())
    return {0, 0};
  UnicodeString text(found->second);
  const char16_t* p = text.getTerminatedBuffer();
  const char16_t* const end = p + text.length();

  // A whole number with optional leading white space and sign; false for a decimal point.
  auto readInteger = [](const char16_t*& q, int& out) {
    bool decimal = false;
    bool notNumber = false;
    const double value = EKUtil::parseNumber(q, &q, &decimal, &notNumber);
    if (decimal || !(value > -2147483648.0 && value < 2147483648.0))
      return false;
    out = static_cast<int>(value);
    return true;
  };

  int first = 0;
  if (!readInteger(p, first))
    return {0, 0};
  int last = first;
  if (first > 0 && p < end) {
    const bool range = *p++ == '-';
    if (range) {
      int second = 0;
      if (!readInteger(p, second))
        second = first;
      last = second >= 1 && second < first ? first : second;
    }
  }
  if (p != end)
    return {0, 0};
  return {first < 0 ? 0 : first, last < 0 ? 0 : last};
}

} // namespace EKCommonNS
