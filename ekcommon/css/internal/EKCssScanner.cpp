#include "ekcommon/css/internal/EKCssScanner.h"

#include "ekcommon/text/EKUtil.h"

#include <algorithm>
#include <string>

namespace EKCommonNS {

namespace {

bool isSpace(char16_t c) {
  return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r' || c == u' ';
}

bool isLineBreak(char16_t c) {
  return c == u'\n' || c == u'\f' || c == u'\r';
}

bool isDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool isHexDigit(char16_t c) {
  return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A character that may begin a name (escapes aside).
bool isNameStart(char16_t c) {
  return c == u'_' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0xA0;
}

bool isNameChar(char16_t c) {
  return isNameStart(c) || c == u'-' || isDigit(c);
}

// `s` equals the lower-case ASCII word `lower` when ASCII letters are folded.
bool equalsAsciiIgnoreCase(const UnicodeString& s, const char16_t* lower) {
  const std::u16string_view word(lower);
  if (s.length() != static_cast<int32_t>(word.size()))
    return false;
  for (int32_t i = 0; i < s.length(); ++i) {
    char16_t c = s.charAt(i);
    if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != word[static_cast<size_t>(i)])
      return false;
  }
  return true;
}

} // namespace

EKCssScanner::EKCssScanner(char16_t* buffer)
    : m_buffer(buffer), m_length(static_cast<int32_t>(std::char_traits<char16_t>::length(buffer))) {}

void EKCssScanner::rewind(int32_t offset) {
  m_pos = std::clamp(offset, 0, m_length);
  m_tokenStart = m_pos;
  m_kind = CSS_PUSHED_BACK;
}

int32_t EKCssScanner::next() {
  m_tokenStart = m_pos;
  m_text.remove();
  const char16_t c = at(m_pos);
  switch (c) {
  case 0:
    return finish(CSS_EOF);
  case u'\t':
  case u'\n':
  case u'\f':
  case u'\r':
  case u' ':
    return whitespace();
  case u'/':
    return at(m_pos + 1) == u'*' ? comment() : delimiter();
  case u'<':
    if (at(m_pos + 1) == u'!' && at(m_pos + 2) == u'-' && at(m_pos + 3) == u'-') {
      m_text.setTo(u"<!--");
      m_pos += 4;
      return finish(CSS_CDO);
    }
    return delimiter();
  case u'-':
    if (at(m_pos + 1) == u'-' && at(m_pos + 2) == u'>') {
      m_text.setTo(u"-->");
      m_pos += 3;
      return finish(CSS_CDC);
    }
    if (at(m_pos + 1) == u'-' && (isNameChar(at(m_pos + 2)) || isEscape(m_pos + 2))) {
      m_text.setTo(u"--");
      int32_t offset = m_pos + 2;
      readName(&offset, &m_text);
      m_pos = offset;
      return finish(CSS_CUSTOM_IDENT);
    }
    if (startsNumber(m_pos))
      return number();
    return startsIdentifier(m_pos) ? identifier() : delimiter();
  case u'~':
  case u'|':
  case u'^':
  case u'$':
  case u'*': {
    const char16_t second = at(m_pos + 1);
    if (second == u'=' || (c == u'|' && second == u'|')) {
      m_text.setTo(m_buffer + m_pos, 2);
      m_pos += 2;
      if (second == u'|')
        return finish(CSS_COLUMN);
      return finish(c == u'~'   ? CSS_INCLUDES
                    : c == u'|' ? CSS_DASHMATCH
                    : c == u'^' ? CSS_PREFIXMATCH
                    : c == u'$' ? CSS_SUFFIXMATCH
                                : CSS_SUBSTRINGMATCH);
    }
    return delimiter();
  }
  case u'"':
  case u'\'':
    return string(c);
  case u'@':
    return atKeyword();
  case u'!':
    return important();
  case u'#':
    return hash();
  case u'+':
  case u'.':
    return startsNumber(m_pos) ? number() : delimiter();
  default:
    if (isDigit(c))
      return number();
    return startsIdentifier(m_pos) ? identifier() : delimiter();
  }
}

int32_t EKCssScanner::finish(int32_t kind) {
  m_kind = kind;
  return kind;
}

int32_t EKCssScanner::delimiter() {
  const char16_t c = at(m_pos++);
  m_text.setTo(c);
  return finish(c);
}

int32_t EKCssScanner::whitespace() {
  int32_t offset = m_pos;
  while (isSpace(at(offset)))
    ++offset;
  m_text.setTo(m_buffer + m_pos, offset - m_pos);
  m_pos = offset;
  return finish(CSS_S);
}

int32_t EKCssScanner::comment() {
  const int32_t end = skipComment(m_pos, true);
  m_pos = end;
  return finish(CSS_COMMENT);
}

// Moves past the comment at `offset` (up to and including "*/", or to the end of the text when
// it is not closed). When blanking, the comment becomes the token text and spaces in the buffer.
int32_t EKCssScanner::skipComment(int32_t offset, bool blank) {
  int32_t end = offset + 2;
  while (at(end) != 0 && !(at(end) == u'*' && at(end + 1) == u'/'))
    ++end;
  if (at(end) != 0)
    end += 2;
  if (blank) {
    m_text.setTo(m_buffer + offset, end - offset);
    std::fill(m_buffer + offset, m_buffer + end, u' ');
  }
  return end;
}

int32_t EKCssScanner::string(char16_t quote) {
  int32_t offset = m_pos + 1;
  for (;;) {
    const char16_t c = at(offset);
    if (c == quote) {
      m_pos = offset + 1;
      return finish(CSS_STRING);
    }
    if (c == 0 || isLineBreak(c)) {
      m_pos = offset;
      return finish(CSS_BAD_STRING);
    }
    if (c != u'\\') {
      m_text.append(c);
      ++offset;
      continue;
    }
    const char16_t escaped = at(offset + 1);
    if (isLineBreak(escaped)) {
      // A continued line: the backslash goes, the line break stays.
      m_text.append(escaped);
      offset += 2;
      if (escaped == u'\r' && at(offset) == u'\n') {
        m_text.append(u'\n');
        ++offset;
      }
    } else if (escaped == 0) {
      m_text.append(c);
      ++offset;
    } else {
      readNameChar(&offset, &m_text);
    }
  }
}

int32_t EKCssScanner::atKeyword() {
  int32_t offset = m_pos + 1;
  if (!readName(&offset, &m_text))
    return delimiter();
  m_pos = offset;
  for (const char16_t* folded : {u"media", u"page", u"import", u"namespace"}) {
    if (equalsAsciiIgnoreCase(m_text, folded))
      m_text.setTo(folded);
  }
  if (m_text == u"charset")
    return finish(CSS_CHARSET_SYM);
  if (m_text == u"import")
    return finish(CSS_IMPORT_SYM);
  if (m_text == u"namespace")
    return finish(CSS_NAMESPACE_SYM);
  return finish(CSS_ATKEYWORD);
}

int32_t EKCssScanner::important() {
  int32_t offset = m_pos + 1;
  for (;;) {
    if (isSpace(at(offset)))
      ++offset;
    else if (at(offset) == u'/' && at(offset + 1) == u'*')
      offset = skipComment(offset, false);
    else
      break;
  }
  if (startsIdentifier(offset)) {
    UnicodeString name;
    if (at(offset) == u'-')
      name.append(at(offset++));
    readName(&offset, &name);
    if (equalsAsciiIgnoreCase(name, u"important")) {
      m_pos = offset;
      m_text.setTo(u"important");
      return finish(CSS_IMPORTANT_SYM);
    }
  }
  return delimiter();
}

int32_t EKCssScanner::hash() {
  int32_t offset = m_pos + 1;
  if (m_inSelector && !m_hashAnywhere) {
    const bool identifierForm = startsIdentifier(offset) || (at(offset) == u'-' && at(offset + 1) == u'-');
    if (!identifierForm)
      return delimiter();
    readName(&offset, &m_text);
    m_pos = offset;
    return finish(CSS_HASH_IDENT);
  }
  if (!readName(&offset, &m_text))
    return delimiter();
  m_pos = offset;
  return finish(CSS_HASH_NAME);
}

int32_t EKCssScanner::identifier() {
  int32_t offset = m_pos;
  if (at(offset) == u'-')
    m_text.append(at(offset++));
  readName(&offset, &m_text);
  m_pos = offset;
  if (at(m_pos) == u'(') {
    m_text.append(u'(');
    ++m_pos;
    return finish(CSS_FUNCTION);
  }
  return finish(CSS_IDENT);
}

int32_t EKCssScanner::number() {
  int32_t offset = m_pos;
  if (at(offset) == u'+' || at(offset) == u'-')
    ++offset;
  const int32_t digitsStart = offset;
  while (isDigit(at(offset)))
    ++offset;
  // After digits the point always belongs to the number; before digits it needs one after it.
  if (at(offset) == u'.' && (offset > digitsStart || isDigit(at(offset + 1)))) {
    ++offset;
    while (isDigit(at(offset)))
      ++offset;
  }
  m_text.setTo(m_buffer + m_pos, offset - m_pos);
  m_pos = offset;
  if (at(m_pos) == u'%') {
    m_text.append(u'%');
    ++m_pos;
    return finish(CSS_PERCENTAGE);
  }
  if (readName(&m_pos, &m_text))
    return finish(CSS_DIMENSION);
  return finish(CSS_NUMBER);
}

bool EKCssScanner::isEscape(int32_t offset) const {
  if (at(offset) != u'\\')
    return false;
  const char16_t c = at(offset + 1);
  return c != 0 && !isLineBreak(c);
}

bool EKCssScanner::startsIdentifier(int32_t offset) const {
  if (at(offset) == u'-')
    ++offset;
  return isNameStart(at(offset)) || isEscape(offset);
}

bool EKCssScanner::startsNumber(int32_t offset) const {
  if (at(offset) == u'+' || at(offset) == u'-')
    ++offset;
  return isDigit(at(offset)) || (at(offset) == u'.' && isDigit(at(offset + 1)));
}

void EKCssScanner::readNameChar(int32_t* offset, UnicodeString* out) const {
  int32_t o = *offset;
  if (at(o) != u'\\') {
    out->append(at(o));
    *offset = o + 1;
    return;
  }
  ++o;
  if (!isHexDigit(at(o))) {
    out->append(at(o));
    *offset = o + 1;
    return;
  }
  const char16_t* end = nullptr;
  const uint32_t code = EKUtil::parseHexNum(m_buffer + o, &end, 6);
  o = static_cast<int32_t>(end - m_buffer);
  // NUL, surrogates and values beyond Unicode cannot stand in a name; they read as U+FFFD.
  const bool valid = code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
  out->append(static_cast<UChar32>(valid ? code : 0xFFFD));
  const char16_t after = at(o);
  if (after == u'\t' || after == u'\n' || after == u'\f' || after == u' ') {
    ++o;
  } else if (after == u'\r') {
    ++o;
    if (at(o) == u'\n')
      ++o;
  }
  *offset = o;
}

bool EKCssScanner::readName(int32_t* offset, UnicodeString* out) const {
  const int32_t start = *offset;
  for (;;) {
    // Runs of plain name characters are appended whole; escapes one at a time.
    int32_t run = *offset;
    while (isNameChar(at(run)))
      ++run;
    if (run > *offset) {
      out->append(m_buffer + *offset, run - *offset);
      *offset = run;
    }
    if (!isEscape(*offset))
      break;
    readNameChar(offset, out);
  }
  return *offset > start;
}

UnicodeString cssIdentifier(const UnicodeString& name) {
  UnicodeString text;
  for (int32_t i = 0; i < name.length(); ++i) {
    const char16_t c = name.charAt(i);
    const bool plain = i == 0 ? isNameStart(c) || (c == u'-' && i + 1 < name.length() && isNameStart(name.charAt(1)))
                              : isNameChar(c);
    if (plain) {
      text.append(c);
      continue;
    }
    static const char16_t HEX[] = u"0123456789abcdef";
    text.append(u'\\');
    for (int shift = 12; shift >= 0; shift -= 4)
      text.append(HEX[(c >> shift) & 0xF]);
    text.append(u' ');
  }
  return text;
}

std::vector<uint32_t> cssLineStarts(const char16_t* text, int32_t length) {
  std::vector<uint32_t> starts{0};
  for (int32_t i = 0; i < length; ++i) {
    if (text[i] == u'\r' && i + 1 < length && text[i + 1] == u'\n')
      ++i;
    if (text[i] == u'\n' || text[i] == u'\r')
      starts.push_back(static_cast<uint32_t>(i + 1));
  }
  return starts;
}

void cssLineColumn(const std::vector<uint32_t>& lineStarts, int32_t offset, int startLine, int startColumn, int* line,
                   int* column) {
  if (offset < 0 || lineStarts.empty() || lineStarts.front() > static_cast<uint32_t>(offset)) {
    *line = -1;
    *column = -1;
    return;
  }
  const auto after = std::upper_bound(lineStarts.begin(), lineStarts.end(), static_cast<uint32_t>(offset));
  const auto index = static_cast<int>(after - lineStarts.begin()) - 1;
  *line = index + startLine + 1;
  *column = offset - static_cast<int32_t>(lineStarts[static_cast<size_t>(index)]) + 1 + (index == 0 ? startColumn : 0);
}

} // namespace EKCommonNS
