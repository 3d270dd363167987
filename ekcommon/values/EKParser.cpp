// Values, lists and brace compounds, and pseudo-attributes.
#include "ekcommon/values/EKParser.h"

#include "ekcommon/text/EKChar.h"

#include <vector>

namespace EKCommonNS {

namespace {

using Tok = EKTokenizer;

// Compounds nest at most this deep; a deeper '{' is an ordinary character, so that hostile text
// cannot exhaust the stack.
constexpr int MAX_COMPOUND_DEPTH = 64;

// Reads values from one tokenizer under one set of flags.
class ValueReader {
public:
  ValueReader(Tok& tokenizer, int flags, int depth = 0) : m_tok(tokenizer), m_flags(flags), m_depth(depth) {}

  // One value; false when it is not acceptable. A ';' or '}' under PARSE_IN_BLOCK is pushed
  // back and returned as its character value.
  bool readSingle(EKValue& value) {
    value = m_tok.nextTokenValueSigned();
    const int type = m_tok.getTokenType();
    switch (type) {
    case Tok::TOKEN_END:
      return false;
    case Tok::TOKEN_RGB:
    case Tok::TOKEN_RGBA:
      return !(m_flags & EKParser::PARSE_NO_COLOR);
    case Tok::TOKEN_NUMBER:
      return !(m_flags & EKParser::PARSE_NON_NUMERIC);
    case Tok::TOKEN_STRING:
    case Tok::TOKEN_NAME:
      return true;
    default:
      if (endsBlock(type)) {
        m_tok.pushBack();
        return true;
      }
      if (type == '{' && opensCompound()) {
        value = readCompound();
        return true;
      }
      return false;
    }
  }

  // Every value up to the end (or the end of the block); null for none.
  EKValue readList() {
    EKValue result;
    bool first = true;
    for (;;) {
      const int start = m_tok.getOffset();
      EKValue value = m_tok.nextTokenValueSigned();
      const int type = m_tok.getTokenType();
      if (type == Tok::TOKEN_END)
        break;
      if (endsBlock(type)) {
        m_tok.pushBack();
        break;
      }
      // A rejected number keeps its text as written, a rejected colour its printed form.
      if (type == Tok::TOKEN_NUMBER && (m_flags & EKParser::PARSE_NON_NUMERIC)) {
        UnicodeString text(m_tok.getStr(), start, m_tok.getOffset() - start);
        value = EKValue(text.trim(), UNIT_NONE);
      } else if ((type == Tok::TOKEN_RGB || type == Tok::TOKEN_RGBA) && (m_flags & EKParser::PARSE_NO_COLOR)) {
        value = EKValue(value.toString(), UNIT_NONE);
      } else if (type == '{' && opensCompound()) {
        value = readCompound();
      }
      if (first)
        result = value;
      else
        result.addItem(value);
      first = false;
    }
    return result;
  }

private:
  bool opensCompound() const { return (m_flags & EKParser::PARSE_COMPOUND) && m_depth < MAX_COMPOUND_DEPTH; }

  bool endsBlock(int type) const {
    return (m_flags & EKParser::PARSE_IN_BLOCK) && (type == ';' || type == '}');
  }

  // After '{': entries "key: value" separated by ';' up to '}' or the end. A bad entry stops the
  // compound at its start; the entries before it stand.
  EKValue readCompound() {
    EKValue compound;
    compound.makeCompound();
    ValueReader inner(m_tok, m_flags | EKParser::PARSE_IN_BLOCK, m_depth + 1);
    for (;;) {
      m_tok.skipWhitespace();
      const char16_t* entry = m_tok.getPtr();
      const EKValue key = m_tok.nextTokenValue(false);
      const int keyType = m_tok.getTokenType();
      if (keyType == Tok::TOKEN_END || keyType == '}')
        break;
      EKName name;
      if (keyType == Tok::TOKEN_NAME)
        name = key.getNameValue();
      else if (keyType != '.' || !m_tok.scanSeparator(':')) {
        m_tok.setPtr(entry);
        break;
      }
      if (!m_tok.skipSeparator(':')) {
        m_tok.setPtr(entry);
        break;
      }
      EKValue value;
      if (m_flags & EKParser::PARSE_LIST) {
        value = inner.readList();
      } else if (!inner.readSingle(value) || value.getCharacterValue() == ';' ||
                 value.getCharacterValue() == '}') {
        m_tok.setPtr(entry);
        break;
      }
      const int separator = m_tok.nextToken();
      if (separator != ';' && separator != '}' && separator != Tok::TOKEN_END) {
        m_tok.setPtr(entry);
        break;
      }
      compound.setNamedItem(name, value);
      if (separator != ';')
        break;
    }
    return compound;
  }

  Tok& m_tok;
  int m_flags;
  int m_depth;
};

} // namespace

EKValue EKParser::parse(const UnicodeString& text, EKTokenizer::TokenizerType type) {
  return parse(text, 0, type);
}

EKValue EKParser::parse(const UnicodeString& text, int flags, EKTokenizer::TokenizerType type) {
  EKTokenizer tokenizer(text, type);
  ValueReader reader(tokenizer, flags);
  if (flags & PARSE_LIST)
    return reader.readList();
  EKValue value;
  if (reader.readSingle(value)) {
    if (tokenizer.isPushedBack())
      return value;
    const int next = tokenizer.nextToken();
    if (next == EKTokenizer::TOKEN_END)
      return value;
    if ((flags & PARSE_IN_BLOCK) && (next == ';' || next == '}')) {
      tokenizer.pushBack();
      return value;
    }
  }
  return EKValue(text, UNIT_NONE);
}

EKValue EKParser::parseCompound(const UnicodeString& text, EKTokenizer::TokenizerType type) {
  return parse(text, PARSE_LIST | PARSE_COMPOUND, type);
}

EKValue EKParser::parseNonNumeric(const UnicodeString& text, EKTokenizer::TokenizerType type) {
  return parse(text, PARSE_NON_NUMERIC | PARSE_NO_COLOR, type);
}

bool EKParser::parseAttributes(const UnicodeString& text, std::unordered_map<EKName, UnicodeString>& out,
                               int flags) {
  out.clear();
  const bool lenient = (flags & ATTRIBUTES_LENIENT) != 0;
  const int32_t length = text.length();
  int32_t i = 0;
  auto fail = [&]() {
    if (lenient) {
      ++i;
      return true;
    }
    out.clear();
    return false;
  };
  while (i < length) {
    const UChar32 c = text.char32At(i);
    if (EKChar::isWhitespace(c)) {
      ++i;
      continue;
    }
    if (!EKChar::isNameStartChar(c)) {
      if (!fail())
        return false;
      continue;
    }
    const int32_t nameStart = i;
    while (i < length && EKChar::isNameChar(text.char32At(i)))
      i = text.moveIndex32(i, 1);
    const UnicodeString name(text, nameStart, i - nameStart);
    while (i < length && EKChar::isWhitespace(text.charAt(i)))
      ++i;
    if (i >= length || text.charAt(i) != '=') {
      if (!fail())
        return false;
      continue;
    }
    ++i;
    while (i < length && EKChar::isWhitespace(text.charAt(i)))
      ++i;
    const char16_t quote = i < length ? text.charAt(i) : 0;
    const int32_t close = quote == '"' || quote == '\'' ? text.indexOf(quote, i + 1) : -1;
    if (close < 0) {
      if (!fail())
        return false;
      continue;
    }
    const bool added = out.emplace(EKName(name), UnicodeString(text, i + 1, close - i - 1)).second;
    i = close + 1;
    if (!added && !(flags & ATTRIBUTES_ALLOW_REPEATED)) {
      out.clear();
      return false;
    }
  }
  return true;
}

} // namespace EKCommonNS
