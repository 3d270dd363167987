// Declarations as the grammar reads them: names, values kept as source text, importance, and the
// recovery that reports a bad declaration and keeps the ones after it.
#include "ekcommon/css/internal/EKCssDeclarationParser.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <string>

using namespace EKCommonNS;

namespace {

constexpr unsigned int OFFSETS = EKCssDeclarationParser::FEATURE_DECLARATION_OFFSETS;
constexpr unsigned int DOTTED = EKCssDeclarationParser::FEATURE_DOTTED_PROPERTIES;
constexpr unsigned int EXPRESSIONS = EKCssDeclarationParser::FEATURE_EXPRESSIONS;

struct Sheet {
  explicit Sheet(const char* text) : chars(u(text).getTerminatedBuffer()) {
    lineStarts = cssLineStarts(chars.c_str(), static_cast<int32_t>(chars.size()));
  }
  std::u16string chars;
  std::vector<uint32_t> lineStarts;
};

// "property:value[!]@offset" for each declaration, then "[code message line:col]" for each error,
// the returned code and the token read after the parse.
std::string describe(const EKCssDeclarations& out, const EKCssReader& reader, unsigned short result,
                     EKCssReader& next) {
  std::string text;
  for (const EKCssDeclaration& d : out) {
    text += utf8(d.getProperty().toString()) + ":" + utf8(d.getValueText()) + (d.isImportant() ? "!" : "");
    if (d.getSourceOffset() >= 0)
      text += "@" + std::to_string(d.getSourceOffset());
    text += " ";
  }
  for (const EKError& e : reader.getErrors())
    text += "[" + std::to_string(e.getErrorCode()) + " " + utf8(e.getRawMessage()) + " " +
            std::to_string(e.getLineNumber()) + ":" + std::to_string(e.getColumnNumber()) + "] ";
  text += "=" + std::to_string(result) + " next ";
  const int32_t kind = next.nextSignificant();
  return text + (kind == CSS_EOF ? "<EOF>" : utf8(next.text()));
}

// A block (the text opens with '{') or, with `list`, a style attribute's declaration list. The
// scanner starts in selector mode, as after a rule's selectors.
std::string parse(const char* text, unsigned int features, bool list = false) {
  Sheet sheet(text);
  EKCssReader reader(sheet.chars.data(), &sheet.lineStarts, 0, 0, UnicodeString());
  reader.scanner().setInSelector(true);
  if (!list)
    reader.nextSignificant(); // '{'
  EKCssDeclarationParser parser(reader, features);
  EKCssDeclarations out;
  const unsigned short result = list ? parser.parseList(out) : parser.parseBlock(out);
  EXPECT_TRUE(reader.scanner().inSelector());
  return describe(out, reader, result, reader);
}

struct Row {
  const char* text;
  const char* expected;
};

TEST(CssDeclarationParser, BlocksKeepNamesValuesAndImportance) {
  const Row rows[] = {
      {"{color: red} x", "color:red@1 =0 next x"},
      {"{ Color : RED ; --Main: 1px;}", "color:RED@2 --Main:1px@16 =0 next <EOF>"},
      {"{margin: 1px !important; a: b}", "margin:1px!@1 a:b@25 =0 next <EOF>"},
      {"{a: b c /* x */ d}", "a:b c         d@1 =0 next <EOF>"},
      {"{font: 12px/1.5 \"A B\", serif;}", "font:12px/1.5 \"A B\", serif@1 =0 next <EOF>"},
      {"{a: rgb(1, f(2), (3)) #fff #123 10% -x}", "a:rgb(1, f(2), (3)) #fff #123 10% -x@1 =0 next <EOF>"},
      {"{unicode-range: U+0025-00FF, U+4??}", "unicode-range:U+0025-00FF, U+4??@1 =0 next <EOF>"},
      {"{a: U+110000}", "a:U+110000@1 =0 next <EOF>"},
      {"{color:; b: }", "=0 next <EOF>"},
      {"{color: }", "=0 next <EOF>"},
      {"{;; a: b;;}", "a:b@4 =0 next <EOF>"},
      {"{}", "=0 next <EOF>"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(parse(row.text, OFFSETS), row.expected) << row.text;
}

TEST(CssDeclarationParser, BadDeclarationsAreReportedAndSkipped) {
  const Row rows[] = {
      {"{a b; c: d}", "c:d@6 [949 Missing colon. 1:4] =949 next <EOF>"},
      {"{1px: b; c: d}", "c:d@9 [962 Invalid property name: 1px. 1:2] =962 next <EOF>"},
      {"{a: ]; c: d}", "c:d@7 [964 Invalid term: ']'. 1:5] =964 next <EOF>"},
      {"{a: b ] c; d: e}", "a:b@1 d:e@11 [950 Missing semicolon. 1:7] =950 next <EOF>"},
      {"{a: b c: d}", "a:b c@1 [950 Missing semicolon. 1:8] =950 next <EOF>"},
      {"{a: {b; c} d; e: f} x", "e:f@14 [964 Invalid term: '{'. 1:5] =964 next x"},
      {"{a b (;}) [}]; c: d}", "c:d@15 [949 Missing colon. 1:4] =949 next <EOF>"},
      {"{a: b", "a:b@1 [936 Unexpected end of stylesheet. 1:6] =936 next <EOF>"},
      {"{a: f(b", "[936 Unexpected end of stylesheet. 1:8] =936 next <EOF>"},
      {"{a: b f(c", "a:b@1 [950 Missing semicolon. 1:7] [936 Unexpected end of stylesheet. 1:10] =950 next <EOF>"},
      {"{@foo x; a: b}", "a:b@9 [946 Unknown or unsupported @foo. 1:2] =946 next <EOF>"},
      {"{@foo { x } a: b}", "a:b@12 [946 Unknown or unsupported @foo. 1:2] =946 next <EOF>"},
      {"{@import \"x\"; a: b}", "a:b@14 [937 Unexpected @import. 1:2] =937 next <EOF>"},
      {"{a: \"b\n; c: d}", "c:d@9 [964 Invalid term: 'b'. 1:5] =964 next <EOF>"},
      {"{a:\n  b !important !important; c: d}", "a:b!@1 c:d@31 [950 Missing semicolon. 2:16] =950 next <EOF>"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(parse(row.text, OFFSETS), row.expected) << row.text;
}

TEST(CssDeclarationParser, FeaturesChangeNamesValuesAndOffsets) {
  const struct {
    const char* text;
    unsigned int features;
    const char* expected;
  } rows[] = {
      {"{a: b}", 0, "a:b =0 next <EOF>"},
      {"{Space-Before.Minimum: 1pt}", DOTTED, "space-before.minimum:1pt =0 next <EOF>"},
      {"{a.1: b}", DOTTED, "[949 Missing colon. 1:3] =949 next <EOF>"},
      {"{a.b: c}", 0, "[949 Missing colon. 1:3] =949 next <EOF>"},
      {"{a: (1 + 2) * -(3)}", EXPRESSIONS, "a:(1 + 2) * -(3) =0 next <EOF>"},
      {"{a: -(3) +(4)}", EXPRESSIONS, "a:-(3) +(4) =0 next <EOF>"},
      {"{a: -(3)}", 0, "[964 Invalid term: '-'. 1:5] =964 next <EOF>"},
      {"{a: (1 + 2)}", 0, "[964 Invalid term: '('. 1:5] =964 next <EOF>"},
      {"{a: b (1)}", 0, "a:b [950 Missing semicolon. 1:7] =950 next <EOF>"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(parse(row.text, row.features), row.expected) << row.text;
}

TEST(CssDeclarationParser, ListsReadToTheEndOfTheText) {
  const Row rows[] = {
      {"color: red; margin: 0 !important", "color:red margin:0! =0 next <EOF>"},
      {"a: b } c: d", "a:b c:d [953 Unexpected closing curly-bracket. 1:6] =953 next <EOF>"},
      {"a: b x(", "a:b [950 Missing semicolon. 1:6] [936 Unexpected end of stylesheet. 1:8] =950 next <EOF>"},
      {"", "=0 next <EOF>"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(parse(row.text, 0, true), row.expected) << row.text;
}

TEST(CssDeclarationParser, NestedAtRulesGoToTheCallback) {
  Sheet sheet("{a: b; @page { c: d } e: f} g");
  EKCssReader reader(sheet.chars.data(), &sheet.lineStarts, 0, 0, UnicodeString());
  reader.nextSignificant();
  EKCssDeclarationParser parser(reader, 0);
  EKCssDeclarations outer, inner;
  const std::function<void()> atRule = [&]() {
    EXPECT_EQ(utf8(reader.text()), "page");
    reader.nextSignificant();
    parser.parseBlock(inner);
  };
  EXPECT_EQ(parser.parseBlock(outer, &atRule), 0);
  EXPECT_EQ(describe(outer, reader, 0, reader), "a:b e:f =0 next g");
  ASSERT_EQ(inner.size(), 1);
  EXPECT_EQ(utf8(inner.at(0).getValueText()), "d");
}

TEST(CssDeclarationParser, ParenthesisValuesStopBeforeTheirEnd) {
  const Row rows[] = {
      {": 100px )", "100px|)"},
      {":f(a) (b) [)] ) x", "f(a) (b) [)]|)"},
      {": 1 { x", "1|{"},
      {": (1", "(1|<EOF>"},
  };
  for (const Row& row : rows) {
    Sheet sheet(row.text);
    EKCssReader reader(sheet.chars.data(), &sheet.lineStarts, 0, 0, UnicodeString());
    reader.nextSignificant(); // ':'
    EKCssDeclarationParser parser(reader, 0);
    std::string text = utf8(parser.parseParenthesisValue()) + "|";
    text += reader.nextSignificant() == CSS_EOF ? "<EOF>" : utf8(reader.text());
    EXPECT_EQ(text, row.expected) << row.text;
  }
}

} // namespace
