#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <string>

using namespace EKCommonNS;

namespace {

using T = EKTokenizer;

// Every token of the text, as "N12px", "Ifoo", "S'a b", "C-", "R#AABBCC", "A#AABBCCDD", "E".
std::string tokens(T::TokenizerType type, const char* text) {
  T t(u(text), type);
  std::string out;
  for (int guard = 0; guard < 100; ++guard) {
    const int token = t.nextToken();
    if (!out.empty())
      out += ' ';
    char hex[16];
    switch (token) {
    case T::TOKEN_END: return out + "E";
    case T::TOKEN_NUMBER:
      out += "N" + utf8(EKUtil::toString(t.getNumber())) + utf8(t.getTokenString());
      break;
    case T::TOKEN_NAME: out += "I" + utf8(t.getTokenString()); break;
    case T::TOKEN_STRING: out += "S" + utf8(t.getTokenString()); break;
    case T::TOKEN_RGB:
    case T::TOKEN_RGBA:
      snprintf(hex, sizeof hex, "#%0*X", token == T::TOKEN_RGB ? 6 : 8, unsigned(t.getNumber()));
      out += (token == T::TOKEN_RGB ? "R" : "A") + std::string(hex);
      break;
    default: out += "C" + utf8(UnicodeString(static_cast<char16_t>(token))); break;
    }
  }
  return out + " ...";
}

// A value as "kind:text": i integer, r real, n name, s string (unit-tagged), c character,
// k colour, 0 null.
std::string describe(const EKValue& v) {
  if (v.isColor())
    return "k:" + utf8(v.toString());
  if (v.isCharacter())
    return "c:" + utf8(v.toString());
  switch (v.getValueType()) {
  case VALUE_NULL: return "0";
  case VALUE_INTEGER: return "i:" + utf8(v.toString());
  case VALUE_REAL: return "r:" + utf8(v.toString());
  case VALUE_NAME: return "n:" + utf8(v.toString());
  case VALUE_STRING: return "s" + std::to_string(v.getUnitType()) + ":" + utf8(v.toString());
  default: return "?";
  }
}

enum Reader { PLAIN, SIGNED, SIGNED_EXP, FUNC, FUNC_STRING };

std::string values(T::TokenizerType type, const char* text, Reader reader) {
  T t(u(text), type);
  std::string out;
  for (int guard = 0; guard < 50; ++guard) {
    EKName function;
    EKValue v;
    switch (reader) {
    case PLAIN: v = t.nextTokenValue(false); break;
    case SIGNED: v = t.nextTokenValueSigned(); break;
    case SIGNED_EXP: v = t.nextTokenValueExp(); break;
    case FUNC: v = t.nextTokenValueFunc(false, &function); break;
    case FUNC_STRING: v = t.nextTokenValueFunc(true, &function); break;
    }
    if (!out.empty())
      out += ' ';
    out += describe(v);
    if (!function.isEmpty())
      out += "@" + utf8(function.toString());
    if (v.isNull())
      return out;
  }
  return out + " ...";
}

TEST(Tokenizer, TokensByDialect) {
  const struct {
    T::TokenizerType type;
    const char* text;
    const char* expected;
  } rows[] = {
      {T::GENERIC, " \t\r\n", "E"},
      {T::GENERIC, "12px", "N12px E"},
      {T::GENERIC, "12.5% .5em 3.", "N12.5% N0.5em N3 E"},
      {T::GENERIC, "-5", "C- N5 E"},
      {T::GENERIC, "a:b x_1.y", "Ia C: Ib Ix_1.y E"},
      {T::GENERIC, "'it''s' \"q\"", "Sit's Sq E"},
      {T::GENERIC, "'open", "C' Iopen E"},
      {T::GENERIC, "#abc #abcd #a0b0c0 #a0b0c0d0", "R#AABBCC A#AABBCCDD R#A0B0C0 A#A0B0C0D0 E"},
      {T::GENERIC, "#12345 #x", "C# N12345 C# Ix E"},
      {T::GENERIC, "\xC3\xA9t\xC3\xA9 \xF0\x90\x80\x80z", "I\xC3\xA9t\xC3\xA9 I\xF0\x90\x80\x80z E"},
      {T::GENERIC, "\f", "C\f E"},
      {T::SIMPLE_QUOTES, "'it''s'", "Sit Ss E"},
      {T::CSS, "'a\\27 b' \"\\\"\"", "Sa'b S\" E"},
      {T::CSS, "-ek-form --x -foo", "I-ek-form I--x C- Ifoo E"},
      {T::CSS, "a\\+b \\31 23 \\1F600x", "Ia+b I123 I\xF0\x9F\x98\x80x E"},
      {T::CSS, "a\\\r\nb a\\", "Iab Ia E"},
      {T::CSS, "\\", "C\\ E"},
      {T::CSS, "\\110000", "I\xEF\xBF\xBD E"},
      {T::CSS, "10px-5px", "N10px-5px E"},
      {T::CSS_STRICT_UNIT, "10px-5px", "N10px C- N5px E"},
      {T::CSS, "/* x */ a", "C/ C* Ix C* C/ Ia E"},
      {T::CSS_COMMENTS, "/* x */ a/**/b /* open", "Ia Ib E"},
      {T::MIME, "text/html; charset=\"utf-8\"", "Itext C/ Ihtml C; Icharset C= Sutf-8 E"},
      {T::SPACE_SEPARATED, "12pt a,b\xC2\xA0" "c", "I12pt Ia,b C\xC2\xA0 Ic E"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(tokens(row.type, row.text), row.expected) << row.type << " " << row.text;
}

TEST(Tokenizer, ValuesSignsExponentsAndFunctions) {
  const struct {
    T::TokenizerType type;
    const char* text;
    Reader reader;
    const char* expected;
  } rows[] = {
      {T::GENERIC, "12px 12 12.0 3000000000", PLAIN, "r:12px i:12 r:12 r:3e+09 0"},
      {T::GENERIC, "12foo", PLAIN, "i:12 n:foo 0"},
      {T::GENERIC, "2PX 3KHZ 4hz 5Q 6vm 7length", PLAIN, "r:2px r:3kHz r:4Hz r:5q r:6vmin i:7 n:length 0"},
      {T::GENERIC, "50% 'x' red #fff #ff000080 ,", PLAIN,
       "r:50% s21:x n:red k:#FFFFFF k:rgba(255,0,0,0.501961) c:, 0"},
      {T::GENERIC, "-5 +1.5pt - 5 -.5 -x", SIGNED, "i:-5 r:1.5pt c:- i:5 r:-0.5 c:- n:x 0"},
      {T::GENERIC, "1e3", SIGNED, "i:1 n:e3 0"},
      {T::CSS, "1e3 2E-1 1e3px 1.5e+2% 2e 3em 4e-x", SIGNED,
       "r:1000 r:0.2 r:1000px r:150% i:2 n:e r:3em i:4 n:e-x 0"},
      {T::GENERIC, "1e3 1ex", SIGNED_EXP, "r:1000 r:1ex 0"},
      {T::GENERIC, "-2147483648 2147483648", SIGNED, "i:-2147483648 r:2.14748e+09 0"},
      {T::CSS, "rgb(1,2,3)", FUNC_STRING, "s0:rgb(1,2,3)@rgb 0"},
      {T::CSS, "HSL(120, 100%, 50%) rgb(1,2", FUNC, "k:hsl(120,100%,50%)@HSL s0:rgb(1,2@rgb 0"},
      {T::CSS, "calc(1px + (2px * 3)) x", FUNC, "s0:calc(1px + (2px * 3))@calc n:x 0"},
      {T::CSS, "(a b) c", FUNC, "s0:(a b) n:c 0"},
      {T::CSS, "f (x)", FUNC, "n:f s0:(x) 0"},
      {T::CSS, "url( 'a b.png' ) url(img/x.png)", FUNC, "s22:a%20b.png@url s22:img/x.png@url 0"},
      {T::CSS, "local(\"My Font\") local( Two  Words ) format('woff2')", FUNC,
       "s63:My Font@local s63:Two  Words@local s62:woff2@format 0"},
      {T::CSS, "f(1, g(2)", FUNC, "s0:f(1, g(2)@f 0"},
      {T::CSS, "-2px", FUNC, "r:-2px 0"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(values(row.type, row.text, row.reader), row.expected) << row.type << " " << row.text;
}

TEST(Tokenizer, DeepNestingIsBounded) {
  const std::string deep = std::string(5000, '(') + "x" + std::string(5000, ')');
  T t(u(deep.c_str()), T::CSS);
  int count = 0;
  while (!t.nextTokenValueFunc(false, nullptr).isNull() && count < 20000)
    ++count;
  EXPECT_LT(count, 20000);
}

TEST(Tokenizer, SeparatedValues) {
  const struct {
    T::TokenizerType type;
    const char* text;
    char16_t separator;
    bool keepQuotes;
    const char* expected; // fields joined by '|'
  } rows[] = {
      {T::GENERIC, "a, 'b c' , d", u',', false, "a|b c|d"},
      {T::GENERIC, "a, 'b c' , d", u',', true, "a|'b c'|d"},
      {T::GENERIC, "x 'y''z' w, v", u',', false, "x 'y'z' w|v"},
      {T::GENERIC, "'a''b'c,d", u',', false, "'a'b'c|d"},
      {T::CSS, "\"a\\\"b\", c", u',', false, "a\"b|c"},
      {T::GENERIC, "a b 'c d'", u' ', false, "a|b|c d"},
      {T::GENERIC, "a 'open, b", u',', false, "a 'open, b"},
      {T::GENERIC, "'open, b", u',', false, "open, b"},
      {T::GENERIC, ",,x", u',', false, "||x"},
      {T::GENERIC, "p=1&q='a&b'", u'&', false, "p=1|q='a&b'"},
  };
  for (const auto& row : rows) {
    T t(u(row.text), row.type);
    std::string out;
    for (int guard = 0; guard < 20 && t.getTokenType() != T::TOKEN_END; ++guard) {
      const UnicodeString field = t.nextSeparatedValue(row.separator, row.keepQuotes);
      if (t.getTokenType() == T::TOKEN_END)
        break;
      out += (out.empty() && guard == 0 ? "" : "|") + utf8(field);
    }
    EXPECT_EQ(out, row.expected) << row.text;
  }
  T quoted(u("'x'"), T::GENERIC);
  quoted.nextSeparatedValue(u',', false);
  EXPECT_TRUE(quoted.hasQuote());
  EXPECT_EQ(quoted.getTokenType(), T::TOKEN_STRING);
}

TEST(Tokenizer, PushBackSeparatorsPositionsAndCopies) {
  T t(u("  a , 12pt -3"), T::GENERIC);
  EXPECT_EQ(t.getTokenType(), T::TOKEN_NONE);
  EXPECT_EQ(t.nextToken(), T::TOKEN_NAME);
  t.pushBack();
  EXPECT_TRUE(t.isPushedBack());
  EXPECT_FALSE(t.scanSeparator(u','));
  EXPECT_FALSE(t.skipSeparator(u','));
  EXPECT_EQ(t.nextToken(), T::TOKEN_NAME);
  EXPECT_EQ(t.getTokenString(), u("a"));
  EXPECT_TRUE(t.scanSeparator(u','));
  EXPECT_EQ(t.getOffset(), 3);
  EXPECT_TRUE(t.skipSeparator(u','));
  EXPECT_EQ(t.getOffset(), 6);
  EXPECT_FALSE(t.skipSeparator(u','));

  T copy(t);
  EXPECT_EQ(copy.nextTokenValue(false), EKValue(12.0f, UNIT_PT));
  EXPECT_EQ(t.nextTokenValueSigned(false), EKValue(12.0f, UNIT_PT)) << "the original is not moved";
  EXPECT_EQ(copy.nextTokenValueSigned(false), EKValue(-3));
  T assigned(u("other"), T::CSS);
  assigned = copy;
  EXPECT_TRUE(assigned.nextTokenValue(false).isNull());
  EXPECT_EQ(assigned.getTokenType(), T::TOKEN_END);
  EXPECT_EQ(assigned.nextToken(), T::TOKEN_END) << "the end repeats";

  // A pushed-back character is read afresh by the signed reader: the sign joins the number.
  T sign(u("-4"), T::GENERIC);
  EXPECT_EQ(sign.nextToken(), u'-');
  EXPECT_TRUE(sign.isTokenTypeCharacter());
  sign.pushBack();
  EXPECT_EQ(sign.nextTokenValueSigned(false), EKValue(-4));

  // Give-backs return to where the token was, even after the position moved under it.
  T rewound(u("(12foo"), T::CSS);
  rewound.nextToken();
  rewound.setPtr(rewound.getPtr() - 1);
  rewound.pushBack();
  EXPECT_EQ(rewound.nextTokenValueSigned(false).getCharacterValue(), u'(');
  EXPECT_EQ(rewound.nextTokenValue(false), EKValue(12));
  rewound.setPtr(rewound.getPtr() - 2);
  rewound.pushBack();
  EXPECT_EQ(rewound.nextTokenValue(false), EKValue(12));
  EXPECT_EQ(rewound.getOffset(), 1) << "a pushed-back token does not move the scan";

  T moved(std::move(copy));
  const char16_t* p = moved.getPtr();
  moved.setPtr(p - 2);
  EXPECT_EQ(moved.nextTokenValueSigned(false), EKValue(-3));
  moved.setPtr(u"elsewhere"); // not inside the text: ignored
  EXPECT_EQ(moved.getOffset(), 13);
  EXPECT_EQ(T(UnicodeString(), T::GENERIC).nextToken(), T::TOKEN_END);
  UnicodeString bogus;
  bogus.setToBogus();
  EXPECT_EQ(T(bogus, T::GENERIC).getStr(), UnicodeString());
  EXPECT_EQ(T(u("a\0b"), T::GENERIC).nextToken(), T::TOKEN_NAME);
}

TEST(Tokenizer, DoubleExponentAndDecimalPoint) {
  T t(u("1.5e3 -2E-2 7 x 1e400"), T::CSS);
  EXPECT_DOUBLE_EQ(t.nextTokenDoubleExp(), 1500.0);
  EXPECT_TRUE(t.hasDecimalPoint() == false) << "the exponent was read last";
  EXPECT_DOUBLE_EQ(t.nextTokenDoubleExp(), -0.02);
  EXPECT_DOUBLE_EQ(t.nextTokenDoubleExp(), 7.0);
  EXPECT_DOUBLE_EQ(t.nextTokenDoubleExp(), 0.0);
  EXPECT_TRUE(std::isinf(t.nextTokenDoubleExp()));
  T point(u("3. 4"), T::GENERIC);
  point.nextToken();
  EXPECT_TRUE(point.hasDecimalPoint());
  point.nextToken();
  EXPECT_FALSE(point.hasDecimalPoint());
}

} // namespace
