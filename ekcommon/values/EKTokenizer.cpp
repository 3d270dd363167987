#include "ekcommon/values/EKTokenizer.h"

#include "ekcommon/names/EKNameTable.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/values/EKParser.h"

#include <cmath>
#include <utility>

namespace EKCommonNS {

namespace {

// Nested groups and calls deeper than this are not read as groups any more, so that a text of
// many '(' cannot exhaust the stack.
constexpr int MAX_NESTING = 32;

bool isSpace(char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r' || c == u' '; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isQuote(char16_t c) { return c == u'"' || c == u'\''; }
bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
// The character swallowed after a hexadecimal escape.
bool isEscapeSpace(char16_t c) { return isSpace(c) || c == u'\f'; }

} // namespace

EKTokenizer::EKTokenizer(const UnicodeString& text, TokenizerType type)
    : m_text(text), m_tokenizerType(type) {
  if (m_text.isBogus())
    m_text.remove();
  attachText();
}

EKTokenizer::EKTokenizer(const EKTokenizer& other)
    : m_text(other.m_text), m_pos(other.m_pos), m_tokenizerType(other.m_tokenizerType),
      m_tokenType(other.m_tokenType), m_tokenStart(other.m_tokenStart),
      m_suffixStart(other.m_suffixStart), m_number(other.m_number), m_tokenString(other.m_tokenString),
      m_pushedBack(other.m_pushedBack), m_hasQuote(other.m_hasQuote),
      m_hasDecimalPoint(other.m_hasDecimalPoint) {
  attachText();
}

EKTokenizer::EKTokenizer(EKTokenizer&& other) noexcept
    : m_text(std::move(other.m_text)), m_pos(other.m_pos), m_tokenizerType(other.m_tokenizerType),
      m_tokenType(other.m_tokenType), m_tokenStart(other.m_tokenStart),
      m_suffixStart(other.m_suffixStart), m_number(other.m_number),
      m_tokenString(std::move(other.m_tokenString)), m_pushedBack(other.m_pushedBack),
      m_hasQuote(other.m_hasQuote), m_hasDecimalPoint(other.m_hasDecimalPoint) {
  attachText();
  other.attachText();
}

EKTokenizer& EKTokenizer::operator=(const EKTokenizer& other) {
  if (this != &other) {
    EKTokenizer copy(other);
    *this = std::move(copy);
  }
  return *this;
}

EKTokenizer& EKTokenizer::operator=(EKTokenizer&& other) noexcept {
  if (this != &other) {
    m_text = std::move(other.m_text);
    m_pos = other.m_pos;
    m_tokenizerType = other.m_tokenizerType;
    m_tokenType = other.m_tokenType;
    m_tokenStart = other.m_tokenStart;
    m_suffixStart = other.m_suffixStart;
    m_number = other.m_number;
    m_tokenString = std::move(other.m_tokenString);
    m_pushedBack = other.m_pushedBack;
    m_hasQuote = other.m_hasQuote;
    m_hasDecimalPoint = other.m_hasDecimalPoint;
    attachText();
    other.attachText();
  }
  return *this;
}

// Points the scan at the (NUL-terminated) buffer of m_text; short strings live inside the
// UnicodeString object, so this is needed after every copy or move.
void EKTokenizer::attachText() {
  static const char16_t EMPTY[1] = {u'\0'};
  const char16_t* buffer = m_text.getTerminatedBuffer();
  m_start = buffer ? buffer : EMPTY;
  m_length = 0;
  if (buffer)
    while (m_length < m_text.length() && m_start[m_length] != u'\0')
      ++m_length;
  if (m_pos > m_length)
    m_pos = m_length;
  if (m_tokenStart > m_pos)
    m_tokenStart = m_suffixStart = m_pos;
}

void EKTokenizer::setPtr(const char16_t* p) {
  if (p >= m_start && p <= m_start + m_length) {
    m_pos = static_cast<int>(p - m_start);
    m_pushedBack = false;
  }
}

UChar32 EKTokenizer::codePointAt(int pos, int* units) const {
  const char16_t c = at(pos);
  if (U16_IS_LEAD(c) && U16_IS_TRAIL(at(pos + 1))) {
    *units = 2;
    return U16_GET_SUPPLEMENTARY(c, at(pos + 1));
  }
  *units = c == u'\0' ? 0 : 1;
  return c;
}

EKUtil::QuoteMode EKTokenizer::quoteMode() const {
  if (isCSSTokenizer())
    return EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_SINGLE | EKUtil::QUOTE_CSS_ESCAPES;
  if (m_tokenizerType == SIMPLE_QUOTES)
    return EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_SINGLE;
  return EKUtil::QUOTE_DOUBLE | EKUtil::QUOTE_SINGLE | EKUtil::QUOTE_DOUBLING;
}

int EKTokenizer::skipSpaceFrom(int pos) const {
  for (;;) {
    while (isSpace(at(pos)))
      ++pos;
    if (m_tokenizerType != CSS_COMMENTS || at(pos) != u'/' || at(pos + 1) != u'*')
      return pos;
    pos += 2;
    while (at(pos) != u'\0' && !(at(pos) == u'*' && at(pos + 1) == u'/'))
      ++pos;
    if (at(pos) != u'\0')
      pos += 2;
  }
}

int EKTokenizer::skipWhitespace() {
  const int from = m_pos;
  m_pos = skipSpaceFrom(m_pos);
  return m_pos - from;
}

bool EKTokenizer::scanSeparator(char16_t c) const {
  return !m_pushedBack && at(skipSpaceFrom(m_pos)) == c;
}

bool EKTokenizer::skipSeparator(char16_t c) {
  if (m_pushedBack)
    return false;
  skipWhitespace();
  if (at(m_pos) != c || c == u'\0')
    return false;
  ++m_pos;
  skipWhitespace();
  return true;
}

// --- Scanning ---------------------------------------------------------------------------------

int EKTokenizer::nextToken() {
  if (m_pushedBack) {
    m_pushedBack = false;
    return m_tokenType;
  }
  m_tokenString.remove();
  m_number = 0;
  m_hasQuote = false;
  m_hasDecimalPoint = false;
  skipWhitespace();
  m_tokenStart = m_suffixStart = m_pos;
  const char16_t c = at(m_pos);
  if (c == u'\0')
    return m_tokenType = TOKEN_END;
  if (isQuote(c)) {
    const char16_t* end = nullptr;
    UnicodeString content = EKUtil::parseString(m_start + m_pos, &end, quoteMode());
    if (!content.isBogus()) {
      m_tokenString = std::move(content);
      m_hasQuote = true;
      m_pos = static_cast<int>(end - m_start);
      return m_tokenType = TOKEN_STRING;
    }
  } else if (scanName()) {
    return m_tokenType = TOKEN_NAME;
  } else if (isDigit(c) || (c == u'.' && isDigit(at(m_pos + 1)))) {
    scanNumber();
    return m_tokenType = TOKEN_NUMBER;
  } else if (c == u'#' && EKChar::isHexDigit(at(m_pos + 1))) {
    if (const int type = scanHexColor())
      return m_tokenType = type;
  }
  ++m_pos;
  return m_tokenType = c;
}

bool EKTokenizer::scanName() {
  const int from = m_pos;
  int units = 0;
  switch (m_tokenizerType) {
  case CSS:
  case CSS_COMMENTS:
  case CSS_STRICT_UNIT: return scanCssName();
  case MIME:
    while (EKChar::isMIMETokenChar(at(m_pos)))
      ++m_pos;
    break;
  case SPACE_SEPARATED:
    if (at(m_pos) == 0xA0)
      return false;
    while (at(m_pos) != u'\0' && at(m_pos) != u' ' && at(m_pos) != 0xA0)
      ++m_pos;
    break;
  default:
    if (!EKChar::isNCNameStartChar(codePointAt(m_pos, &units)))
      return false;
    do
      m_pos += units;
    while (units > 0 && EKChar::isNCNameChar(codePointAt(m_pos, &units)));
    break;
  }
  if (m_pos == from)
    return false;
  m_tokenString.setTo(m_start + from, m_pos - from);
  return true;
}

bool EKTokenizer::scanCssName() {
  int units = 0;
  const char16_t c = at(m_pos);
  bool starts = c == u'\\' || EKChar::isNCNameStartChar(codePointAt(m_pos, &units));
  if (!starts && c == u'-') {
    // "--" or a vendor prefix such as -ek- begins a name; a lone "-foo" does not.
    int p = m_pos + 1;
    if (at(p) == u'-') {
      starts = true;
    } else {
      while (isAsciiLetter(at(p)))
        ++p;
      starts = p > m_pos + 1 && at(p) == u'-';
    }
  }
  if (!starts)
    return false;
  const int from = m_pos;
  UnicodeString name;
  // Runs of plain name characters are taken in one piece; only escapes are appended singly.
  int run = m_pos;
  for (;;) {
    const UChar32 cp = codePointAt(m_pos, &units);
    if (cp == u'\\') {
      name.append(m_start + run, m_pos - run);
      const char16_t next = at(++m_pos);
      if (next == u'\0') {
        run = m_pos;
        break;
      }
      if (next == u'\r' && at(m_pos + 1) == u'\n') {
        m_pos += 2;
      } else if (EKChar::isHexDigit(next)) {
        UChar32 code = 0;
        for (int digits = 0; digits < 6 && EKChar::isHexDigit(at(m_pos)); ++digits)
          code = code * 16 + EKChar::hex2dig(at(m_pos++));
        if (isEscapeSpace(at(m_pos)))
          ++m_pos;
        name.append(code == 0 || code > 0x10FFFF || U_IS_SURROGATE(code) ? UChar32(0xFFFD) : code);
      } else {
        // Any other character, line breaks included, stands for itself.
        codePointAt(m_pos, &units);
        name.append(m_start + m_pos, units);
        m_pos += units;
      }
      run = m_pos;
    } else if (units > 0 && EKChar::isNCNameChar(cp)) {
      m_pos += units;
    } else {
      break;
    }
  }
  name.append(m_start + run, m_pos - run);
  if (name.isEmpty()) {
    // A lone backslash at the end of the text: it is read as a character.
    m_pos = from;
    return false;
  }
  m_tokenString = std::move(name);
  return true;
}

void EKTokenizer::scanNumber() {
  const char16_t* end = nullptr;
  bool notNumber = false;
  m_number = EKUtil::parseNumber(m_start + m_pos, &end, &m_hasDecimalPoint, &notNumber);
  m_pos = m_suffixStart = static_cast<int>(end - m_start);
  if (at(m_pos) == u'%') {
    ++m_pos;
    m_tokenString.setTo(u'%');
    return;
  }
  int units = 0;
  if (!EKChar::isNCNameStartChar(codePointAt(m_pos, &units)))
    return;
  const int from = m_pos;
  do
    m_pos += units;
  while (units > 0 && EKChar::isNCNameChar(codePointAt(m_pos, &units)) &&
         !(m_tokenizerType == CSS_STRICT_UNIT && at(m_pos) == u'-'));
  m_tokenString.setTo(m_start + from, m_pos - from);
}

// After '#' and a hex digit: the token type for 3, 4, 6 or 8 digits (consumed), else 0.
int EKTokenizer::scanHexColor() {
  int digits = 0;
  uint32_t value = 0;
  while (digits < 9 && EKChar::isHexDigit(at(m_pos + 1 + digits)))
    value = value << 4 | static_cast<uint32_t>(EKChar::hex2dig(at(m_pos + 1 + digits++)));
  if (digits == 3 || digits == 4) {
    // Each digit doubled: #abc is #aabbcc.
    uint32_t wide = 0;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      wide = wide << 8 | ((value >> shift) & 0xF) * 0x11;
    value = wide;
  } else if (digits != 6 && digits != 8) {
    return 0;
  }
  m_pos += 1 + digits;
  m_number = value;
  return digits == 3 || digits == 6 ? TOKEN_RGB : TOKEN_RGBA;
}

// --- Values -----------------------------------------------------------------------------------

EKUnitType EKTokenizer::unitOfSuffix() const {
  // No unit keyword is longer than five letters.
  char16_t lower[6];
  const int length = m_tokenString.length();
  if (length > 5)
    return UNIT_NONE;
  for (int i = 0; i < length; ++i) {
    const char16_t c = m_tokenString.charAt(i);
    lower[i] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
  }
  const UnicodeString key(false, lower, length);
  // Unit keywords are all built-in names: an unknown suffix is never interned.
  const EKNameEnum name = EKNameTable::getBuiltinNameEnum(key);
  if (name == EKN_EMPTY)
    return key == UNICODE_STRING_SIMPLE("hz") ? UNIT_HZ
           : key == UNICODE_STRING_SIMPLE("khz") ? UNIT_KHZ : UNIT_NONE;
  return EKUtil::toUnitType(name, false);
}

EKValue EKTokenizer::nextTokenValue(bool negate) {
  const int type = nextToken();
  switch (type) {
  case TOKEN_RGBA: {
    const uint32_t rgba = static_cast<uint32_t>(m_number);
    EKColor color(rgba >> 8);
    color.setAlpha(static_cast<float>(rgba & 0xFF) / 255, false);
    return EKValue(color);
  }
  case TOKEN_RGB: return EKValue(EKColor(static_cast<uint32_t>(m_number)));
  case TOKEN_STRING: return EKValue(m_tokenString, UNIT_STRING);
  case TOKEN_NAME: return EKValue(EKName(m_tokenString));
  case TOKEN_END: return EKValue::NULL_VALUE;
  case TOKEN_NUMBER: break;
  default: return EKValue(type, UNIT_CHARACTER);
  }
  if (negate)
    m_number = -m_number;
  if (!m_tokenString.isEmpty()) {
    if (m_tokenString.charAt(0) == u'%')
      return EKValue(m_number, UNIT_PERCENT);
    const EKUnitType unit = unitOfSuffix();
    if (unit != UNIT_NONE)
      return EKValue(m_number, unit);
    // Not a unit: the suffix is read again as the next token.
    m_pos = m_suffixStart;
    m_tokenString.remove();
  }
  const bool integral = !m_hasDecimalPoint && m_number >= -2147483648.0 &&
                        m_number <= 2147483647.0 && m_number == std::trunc(m_number);
  return integral ? EKValue(static_cast<int>(m_number)) : EKValue(m_number, UNIT_NUMBER);
}

EKValue EKTokenizer::nextTokenValueSigned(bool exponent) {
  if (m_pushedBack) {
    EKValue pushed = nextTokenValue(false);
    if (!pushed.isCharacter())
      return pushed;
    m_pos = m_tokenStart; // the character is read afresh below
  }
  skipWhitespace();
  EKValue value;
  const char16_t sign = at(m_pos);
  if ((sign == u'+' || sign == u'-') &&
      (isDigit(at(m_pos + 1)) || (at(m_pos + 1) == u'.' && isDigit(at(m_pos + 2))))) {
    const int signPos = m_pos++;
    value = nextTokenValue(sign == u'-');
    if (!value.isNumeric()) {
      m_pos = signPos;
      value = nextTokenValue(false);
    }
  } else {
    value = nextTokenValue(false);
  }
  if (exponent && value.isNumber() && startsExponent()) {
    const int ePos = m_pos++;
    const EKValue power = nextTokenValueSigned(false);
    if (power.isNumeric()) {
      const double x = static_cast<double>(value.getRealValue()) *
                       std::pow(10.0, static_cast<double>(power.getRealValue()));
      return EKValue(x, power.getUnitType());
    }
    m_pos = ePos;
  }
  return value;
}

// An E or e directly followed by a (signed) number: white space may not split a number.
bool EKTokenizer::startsExponent() const {
  if (at(m_pos) != u'E' && at(m_pos) != u'e')
    return false;
  int p = m_pos + 1;
  if (at(p) == u'+' || at(p) == u'-')
    ++p;
  return isDigit(at(p)) || (at(p) == u'.' && isDigit(at(p + 1)));
}

double EKTokenizer::nextTokenDoubleExp() {
  const EKValue value = nextTokenValueSigned(false);
  const double mantissa = m_number;
  if (value.isNumber() && startsExponent()) {
    const int ePos = m_pos++;
    if (nextTokenValueSigned(false).isNumeric())
      return mantissa * std::pow(10.0, m_number);
    m_pos = ePos;
  }
  return mantissa;
}

EKValue EKTokenizer::nextTokenValueFunc(bool asString, EKName* functionName) {
  return functionValue(asString, functionName, 0);
}

EKValue EKTokenizer::functionValue(bool asString, EKName* functionName, int depth) {
  if (m_pushedBack && m_tokenType >= 0) {
    m_pos = m_tokenStart;
    m_pushedBack = false;
  }
  skipWhitespace();
  const int nameStart = m_pos;
  EKValue value = nextTokenValueSigned(true);
  int open;
  EKName name;
  if (value.getCharacterValue() == u'(' && depth < MAX_NESTING) {
    open = m_pos - 1;
  } else if (value.isName() && at(m_pos) == u'(' && depth < MAX_NESTING) {
    name = value.getNameValue();
    open = m_pos++;
  } else {
    return value;
  }
  if (functionName)
    *functionName = name;

  int argumentCount = 0;
  EKValue firstArgument;
  bool closed = false;
  for (;;) {
    const EKValue argument = functionValue(false, nullptr, depth + 1);
    if (argument.isNull() || argument.getCharacterValue() == u')') {
      closed = !argument.isNull();
      break;
    }
    if (argumentCount++ == 0)
      firstArgument = argument;
  }
  const UnicodeString call(m_start + open, m_pos - open); // "(" ... ")"
  if (asString)
    return EKValue(name.toString() + call, UNIT_NONE);

  UnicodeString inner(m_start + open + 1, m_pos - open - 1 - (closed ? 1 : 0));
  inner.trim();
  // Function names are ASCII case-insensitive, as in CSS.
  switch (static_cast<EKNameEnum>(name.lowerName())) {
  case EKN_rgb:
  case EKN_rgba:
  case EKN_hsl:
  case EKN_hsla:
  case EKN_cmyk:
  case EKN_cmyka:
  case EKN_device_cmyk:
  case EKN_rgb_icc:
  case EKN_icc_color:
  case EKN_system_color:
    return EKParser::parseColor(UnicodeString(m_start + nameStart, m_pos - nameStart), false, nullptr);
  case EKN_url:
    return EKValue(EKUtil::unquoteUri(UnicodeString(m_start + nameStart, m_pos - nameStart)), UNIT_URL);
  case EKN_local:
  case EKN_format:
    return EKValue(argumentCount == 1 ? firstArgument.toString() : inner,
                   name == EKN_local ? UNIT_LOCAL : UNIT_FORMAT);
  default:
    return EKValue(name.toString() + call, UNIT_NONE);
  }
}

// --- Separated fields -------------------------------------------------------------------------

UnicodeString EKTokenizer::nextSeparatedValue(char16_t separator, bool keepQuotes) {
  if (m_pushedBack) {
    m_pushedBack = false;
    return m_tokenString;
  }
  skipWhitespace();
  m_tokenString.remove();
  if (at(m_pos) == u'\0') {
    m_tokenType = TOKEN_END;
    return m_tokenString;
  }
  UnicodeString field;
  UnicodeString onlyContent; // the content when the field is one quoted part
  int parts = 0;
  bool lastQuoted = false;
  bool unterminated = false;
  for (;;) {
    const char16_t c = at(m_pos);
    ++parts;
    if (isQuote(c)) {
      lastQuoted = true;
      const char16_t* end = nullptr;
      const UnicodeString content = EKUtil::parseString(m_start + m_pos, &end, quoteMode());
      if (content.isBogus()) {
        field.append(m_start + m_pos, m_length - m_pos);
        m_pos = m_length;
        unterminated = true;
        break;
      }
      field.append(c).append(content).append(c);
      onlyContent = content;
      m_pos = static_cast<int>(end - m_start);
    } else {
      lastQuoted = false;
      const int from = m_pos;
      while (at(m_pos) != u'\0' && at(m_pos) != separator && !isQuote(at(m_pos)))
        ++m_pos;
      // Trailing white space belongs between parts, not to this one.
      while (m_pos > from && isSpace(at(m_pos - 1)))
        --m_pos;
      field.append(m_start + from, m_pos - from);
    }
    const int skipped = skipWhitespace();
    const char16_t next = at(m_pos);
    if (next == u'\0' || separator == u'\0' || isSpace(separator))
      break;
    if (next == separator) {
      ++m_pos;
      skipWhitespace();
      break;
    }
    if (skipped > 0)
      field.append(u' ');
  }
  m_tokenType = TOKEN_STRING;
  m_hasQuote = lastQuoted;
  if (parts == 1 && lastQuoted && !keepQuotes)
    field = unterminated ? UnicodeString(field, 1) : onlyContent;
  m_tokenString = field;
  return m_tokenString;
}

} // namespace EKCommonNS
