// The predefined counter styles: the generated table of @counter-style descriptors (from
// ekcommon/text/data/*.css), read into styles on first use and kept until cleanup().
#include "ekcommon/core/EKMutex.h"
#include "ekcommon/text/EKChar.h"
#include "ekcommon/text/EKUtil.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

namespace EKCommonNS {

namespace {

struct PredefinedEntry {
  const char16_t* name;
  const char16_t* descriptors;
};

#define EKCOMMON_COUNTER_STYLE(name, descriptors) {name, descriptors},
constexpr PredefinedEntry PREDEFINED[] = {
#include "ekcommon/text/CounterStyles.inc"
};
#undef EKCOMMON_COUNTER_STYLE
constexpr size_t PREDEFINED_COUNT = std::size(PREDEFINED);

// Built styles by table index; guarded by the library-wide lock.
EKUtil::CounterStyle* s_predefinedStyles[PREDEFINED_COUNT] = {};

// What alphabetic and fixed styles write for 1, to table indexes, for format tokens; built on
// first use under the library-wide lock.
std::map<UnicodeString, size_t>* s_numberingsByOne = nullptr;
// Styles that win when several start with the same symbol ("a" starts lower-alpha and
// lower-latin, "\u0430" several Cyrillic alphabets).
const char16_t* const PREFERRED_NUMBERINGS[] = {u"lower-alpha", u"upper-alpha", u"lower-greek",
                                               u"upper-greek", u"lower-russian", u"upper-russian",
                                               u"hiragana", u"katakana"};

int compareNames(const char16_t* a, const char16_t* b) {
  for (; *a && *a == *b; ++a, ++b) {
  }
  return static_cast<int>(*a) - static_cast<int>(*b);
}

// The table index of a style name (ASCII case ignored), or -1.
int findPredefined(const UnicodeString& name) {
  char16_t key[64];
  if (name.length() == 0 || name.length() >= static_cast<int32_t>(std::size(key)))
    return -1;
  for (int32_t i = 0; i < name.length(); ++i) {
    const char16_t c = name[i];
    key[i] = c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c;
  }
  key[name.length()] = 0;
  const PredefinedEntry* hit = std::lower_bound(
      std::begin(PREDEFINED), std::end(PREDEFINED), key,
      [](const PredefinedEntry& entry, const char16_t* k) { return compareNames(entry.name, k) < 0; });
  if (hit == std::end(PREDEFINED) || compareNames(hit->name, key) != 0)
    return -1;
  return static_cast<int>(hit - std::begin(PREDEFINED));
}

// Tokens of @counter-style descriptor values: identifiers, strings, integers, ',', ':' and ';'.
// Escapes are those of CSS. The published rules write symbol lists as bare escapes separated by
// spaces ("\660 \661"), so in an identifier the white space that ends a hexadecimal escape also
// ends the identifier; in a string it is swallowed by the escape as usual.
class DescriptorReader {
public:
  enum Kind { END, IDENT, STRING, NUMBER, COMMA, COLON, SEMICOLON, OTHER };
  struct Token {
    Kind kind = END;
    UnicodeString text;
    int64_t number = 0;
  };

  explicit DescriptorReader(const char16_t* text) : m_p(text) {}

  Token next() {
    while (EKChar::isCssWhitespace(*m_p))
      ++m_p;
    Token token;
    const char16_t c = *m_p;
    if (c == 0)
      return token;
    if (c == '\'' || c == '"') {
      ++m_p;
      token.kind = STRING;
      while (*m_p && *m_p != c) {
        if (*m_p == '\\')
          readEscape(token.text, false);
        else
          token.text.append(*m_p++);
      }
      if (*m_p)
        ++m_p;
      return token;
    }
    if (EKChar::isAsciiDigit(c) || ((c == '-' || c == '+') && EKChar::isAsciiDigit(m_p[1]))) {
      token.kind = NUMBER;
      const bool minus = c == '-';
      if (c == '-' || c == '+')
        ++m_p;
      uint64_t value = 0;
      for (; EKChar::isAsciiDigit(*m_p); ++m_p)
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(*m_p - '0'), INT64_MAX);
      token.number = minus ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
      return token;
    }
    if (c == ',' || c == ':' || c == ';') {
      ++m_p;
      token.kind = c == ',' ? COMMA : c == ':' ? COLON : SEMICOLON;
      return token;
    }
    if (c == '\\' || c == '-' || c == '_' || c >= 0x80 || EKChar::isAsciiLetter(c)) {
      token.kind = IDENT;
      while (*m_p == '-' || *m_p == '_' || *m_p >= 0x80 || EKChar::isAsciiLetter(*m_p) ||
             EKChar::isAsciiDigit(*m_p) || *m_p == '\\') {
        if (*m_p != '\\')
          token.text.append(*m_p++);
        else if (readEscape(token.text, true))
          break;
      }
      return token;
    }
    ++m_p;
    token.kind = OTHER;
    return token;
  }

private:
  // Reads the escape at m_p into `out`. Returns true when white space ended a hexadecimal
  // escape and `inIdent`, so that the identifier ends there.
  bool readEscape(UnicodeString& out, bool inIdent) {
    ++m_p;
    if (!EKChar::isHexDigit(*m_p)) {
      if (*m_p)
        out.append(*m_p++);
      return false;
    }
    UChar32 value = 0;
    for (int digits = 0; digits < 6 && EKChar::isHexDigit(*m_p); ++digits)
      value = value * 16 + EKChar::hex2dig(*m_p++);
    if (value == 0 || value > 0x10FFFF || U_IS_SURROGATE(value))
      value = 0xFFFD;
    out.append(value);
    if (EKChar::isCssWhitespace(*m_p)) {
      ++m_p;
      return inIdent;
    }
    return false;
  }

  const char16_t* m_p;
};

using Token = DescriptorReader::Token;

EKUtil::CounterStyle::Symbol symbolOf(const Token& token) {
  return EKUtil::CounterStyle::Symbol(token.text);
}

bool isSymbolToken(const Token& token) {
  return token.kind == DescriptorReader::IDENT || token.kind == DescriptorReader::STRING;
}

// How many styles are being built inside each other (a style is built before the ones that
// extend it); guarded by the library-wide lock. Stops a chain of extends that loops.
int s_buildDepth = 0;
constexpr int MAX_BUILD_DEPTH = 8;

void applyDescriptor(EKUtil::CounterStyle& style, const UnicodeString& name,
                     const std::vector<Token>& value) {
  if (name == u"symbols") {
    style.clrSymbols();
    for (const Token& token : value) {
      if (isSymbolToken(token))
        style.addSymbol(symbolOf(token));
    }
  } else if (name == u"additive-symbols") {
    style.clrAdditiveSymbols();
    for (size_t i = 0; i + 1 < value.size(); ++i) {
      if (value[i].kind == DescriptorReader::NUMBER && isSymbolToken(value[i + 1]))
        style.addAdditiveSymbol(static_cast<int>(value[i].number), symbolOf(value[i + 1]));
    }
  } else if (name == u"range") {
    style.clrRange();
    for (size_t i = 0; i + 1 < value.size(); ++i) {
      const Token& low = value[i];
      const Token& high = value[i + 1];
      if ((low.kind == DescriptorReader::NUMBER || low.text == u"infinite") &&
          (high.kind == DescriptorReader::NUMBER || high.text == u"infinite")) {
        style.addRange(low.kind == DescriptorReader::NUMBER ? low.number : INT64_MIN,
                       high.kind == DescriptorReader::NUMBER ? high.number : INT64_MAX);
        ++i;
      }
    }
  } else if (name == u"negative") {
    if (!value.empty() && isSymbolToken(value[0]))
      style.setNegative(symbolOf(value[0]), value.size() > 1 && isSymbolToken(value[1])
                                                 ? symbolOf(value[1])
                                                 : EKUtil::CounterStyle::Symbol());
  } else if (name == u"prefix") {
    if (!value.empty() && isSymbolToken(value[0]))
      style.setPrefix(symbolOf(value[0]));
  } else if (name == u"suffix") {
    if (!value.empty() && isSymbolToken(value[0]))
      style.setSuffix(symbolOf(value[0]));
  } else if (name == u"pad") {
    int length = 0;
    EKUtil::CounterStyle::Symbol symbol;
    for (const Token& token : value) {
      if (token.kind == DescriptorReader::NUMBER)
        length = static_cast<int>(std::min<int64_t>(std::max<int64_t>(token.number, 0), INT32_MAX));
      else if (isSymbolToken(token))
        symbol = symbolOf(token);
    }
    style.setPad(length, symbol);
  } else if (name == u"fallback") {
    if (!value.empty() && value[0].kind == DescriptorReader::IDENT)
      style.setFallback(EKName(value[0].text));
  }
}

std::unique_ptr<EKUtil::CounterStyle> buildPredefined(size_t index) {
  // Read every descriptor first: "system" decides whether the style starts as a copy.
  std::vector<std::pair<UnicodeString, std::vector<Token>>> descriptors;
  DescriptorReader reader(PREDEFINED[index].descriptors);
  for (Token token = reader.next(); token.kind != DescriptorReader::END; token = reader.next()) {
    if (token.kind != DescriptorReader::IDENT || reader.next().kind != DescriptorReader::COLON)
      return nullptr;
    std::vector<Token> value;
    for (Token part = reader.next(); part.kind != DescriptorReader::SEMICOLON &&
                                     part.kind != DescriptorReader::END;
         part = reader.next())
      value.push_back(part);
    descriptors.emplace_back(token.text, std::move(value));
  }
  std::unique_ptr<EKUtil::CounterStyle> style;
  for (const auto& descriptor : descriptors) {
    const std::vector<Token>& value = descriptor.second;
    if (descriptor.first != u"system" || value.empty())
      continue;
    if (value[0].text == u"extends") {
      const EKUtil::CounterStyle* base =
          value.size() > 1 ? EKUtil::getPredefinedCounterStyle(EKName(value[1].text), nullptr) : nullptr;
      if (!base)
        return nullptr;
      style.reset(new EKUtil::CounterStyle(*base));
    } else {
      style.reset(new EKUtil::CounterStyle(EKName(value[0].text)));
      // The descriptors' defaults in CSS: no prefix, a full stop and a space after.
      style->setSuffix(". ");
      if (value.size() > 1 && value[1].kind == DescriptorReader::NUMBER)
        style->setFirst(static_cast<int>(value[1].number));
    }
  }
  if (!style)
    return nullptr;
  for (const auto& descriptor : descriptors)
    applyDescriptor(*style, descriptor.first, descriptor.second);
  return style;
}

} // namespace

const EKUtil::CounterStyle* EKUtil::getPredefinedCounterStyle(EKName name, void*) {
  const int index = findPredefined(name.toString());
  if (index < 0)
    return nullptr;
  EKMutex guard;
  CounterStyle*& slot = s_predefinedStyles[index];
  if (!slot) {
    if (s_buildDepth >= MAX_BUILD_DEPTH)
      return nullptr;
    ++s_buildDepth;
    std::unique_ptr<CounterStyle> style = buildPredefined(static_cast<size_t>(index));
    --s_buildDepth;
    if (!style)
      return nullptr;
    style->m_predefined = true;
    style->prepareDecimalDigits();
    slot = style.release();
  }
  return slot;
}

std::vector<UnicodeString> EKUtil::getPredefinedCounterStyleNames() {
  std::vector<UnicodeString> names;
  names.reserve(PREDEFINED_COUNT);
  for (const PredefinedEntry& entry : PREDEFINED)
    names.emplace_back(entry.name);
  return names;
}

const EKUtil::CounterStyle* EKUtil::findNumberingByOne(const UnicodeString& one) {
  EKMutex guard;
  if (!s_numberingsByOne) {
    auto index = std::make_unique<std::map<UnicodeString, size_t>>();
    auto add = [&index](size_t i) {
      const CounterStyle* style = getPredefinedCounterStyle(EKName(UnicodeString(PREDEFINED[i].name)), nullptr);
      if (style && (style->getSystem() == EKN_alphabetic || style->getSystem() == EKN_fixed))
        index->emplace(style->formatNumber(1, nullptr, nullptr, true), i);
    };
    for (const char16_t* name : PREFERRED_NUMBERINGS)
      add(static_cast<size_t>(findPredefined(UnicodeString(name))));
    for (size_t i = 0; i < PREDEFINED_COUNT; ++i)
      add(i);
    s_numberingsByOne = index.release();
  }
  const auto hit = s_numberingsByOne->find(one);
  return hit == s_numberingsByOne->end() ? nullptr : s_predefinedStyles[hit->second];
}

void EKUtil::freeCounterStyles() {
  for (CounterStyle*& style : s_predefinedStyles) {
    delete style;
    style = nullptr;
  }
  delete s_numberingsByOne;
  s_numberingsByOne = nullptr;
}

} // namespace EKCommonNS
