// Selector groups read into selector records: each row shows the selectors as they were stored
// (with their specificity) or the error the group ended with.
#include "ekcommon/css/internal/EKCssSelectorParser.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace EKCommonNS;

namespace {

// The selector written back, with its specificity.
std::string selectorText(const EKCssSelector& selector) {
  const uint64_t sp = selector.specificity;
  return utf8(selector.toString()) + " (" + std::to_string(EKCssSelector::specificityIds(sp)) + "," +
         std::to_string(EKCssSelector::specificityClasses(sp)) + "," +
         std::to_string(EKCssSelector::specificityTypes(sp)) + ")";
}

// The selectors of the group ended by `terminator` joined by " | ", or the errors; a wrong
// current token after success shows as "<after ...>".
std::string parse(const char* text, char16_t terminator = u'{') {
  std::u16string chars(u(text).getTerminatedBuffer());
  const std::vector<uint32_t> lineStarts = cssLineStarts(chars.c_str(), static_cast<int32_t>(chars.size()));
  EKCssReader reader(chars.data(), &lineStarts, 0, 0, UnicodeString());
  const std::map<EKName, EKName> namespaces{{EKName(u("svg")), EKName(u("urn:svg"))}};
  EKCssSelectorParser parser(reader, &namespaces);
  std::vector<EKCssSelector> selectors;
  const bool ok = parser.parseGroup(selectors, terminator);
  std::string out;
  if (ok) {
    for (const EKCssSelector& selector : selectors)
      out += (out.empty() ? "" : " | ") + selectorText(selector);
    if (reader.kind() != terminator)
      out += " <after " + utf8(reader.text()) + ">";
  }
  for (const EKError& error : reader.getErrors())
    out += std::to_string(error.getErrorCode()) + " " + utf8(error.getRawMessage()) + " " +
           std::to_string(error.getLineNumber()) + ":" + std::to_string(error.getColumnNumber());
  if (ok == !reader.getErrors().empty())
    out += " <result " + std::to_string(ok) + ">";
  if (reader.scanner().inSelector())
    out += " <in selector>";
  return out;
}

struct Row {
  const char* text;
  const char* expected;
};

void check(const Row* begin, const Row* end) {
  for (const Row* row = begin; row != end; ++row)
    EXPECT_EQ(parse(row->text), row->expected) << row->text;
}

TEST(CssSelectorParser, StoresCompoundsCombinatorsAndSpecificity) {
  const Row rows[] = {
      {"a {", "a (0,0,1)"},
      {"*{", "* (0,0,0)"},
      {"A.B#C {", "A.B#C (1,1,1)"},
      {"a b>c + d~e {", "a b > c + d ~ e (0,0,5)"},
      {"a  >  b , c /* x */ d{", "a > b (0,0,2) | c d (0,0,2)"},
      {"a\n.b {", "a .b (0,1,1)"},
      {"svg|rect *|a |b svg|* {", "svg|rect *|a |b svg|* (0,0,3)"},
      {"[href] [svg|x=y] [*|lang|=\"en\"] [|a~=b] {",
       "[href] [svg|x=\"y\"] [*|lang|=\"en\"] [|a~=\"b\"] (0,4,0)"},
      {"[ a ^= 'x' ][b$=1][c*=d] {", "[a^=\"x\"][b$=\"1\"][c*=\"d\"] (0,3,0)"},
      {"p:hover::before {", "p:hover::before (0,1,2)"},
      {"p:First-Line ::x :after {", "p::First-Line ::x ::after (0,0,4)"},
      {"li:nth-child( 2n + 1 ):lang(en) {", "li:nth-child(2n + 1):lang(en) (0,2,1)"},
      {"::slotted(a b) {", "::slotted(a b) (0,0,1)"},
      {":not(#a):not(svg|p):not(*):not( .c ) {", ":not(#a):not(svg|p):not(*):not(.c) (1,1,1)"},
      {":not([x]):not(:first-child) {", ":not([x]):not(:first-child) (0,2,0)"},
  };
  check(std::begin(rows), std::end(rows));
}

// Names that would not scan back as identifiers are written escaped; each written form reads back
// to itself.
TEST(CssSelectorParser, WritesNamesThatReadBack) {
  const Row rows[] = {
      {R"(.\31 a#\-.\-\-x.-\31 {)", R"(.\0031 a#\002d .\002d -x.\002d 1 (1,3,0))"},
      {R"(.a\.b\ c:hover\:x a\{b {)", R"(.a\002e b\0020 c:hover\003a x a\007b b (0,2,1))"},
      {R"(svg|\31 x[svg|\31 ] {)", R"(svg|\0031 x[svg|\0031 ] (0,1,1))"},
      {R"([x="a\"b\\c\a d"][y='"'] {)", R"([x="a\22 b\5C c\A d"][y="\22"] (0,2,0))"},
      {R"(.\e9 t\e9 .a\9 b.\7F x {)", ".\xC3\xA9t\xC3\xA9.a\\0009 b.\\007f x (0,3,0)"},
      {R"(:lang(\31 ):not(\*) *|* {)", R"(:lang(\31):not(*) *|* (0,1,0))"},
      // A type or attribute named "*" differs from the universal selector; inside :not() it does not.
      {R"(\*.a [\*] :not(\*) {)", R"(\002a .a [\002a ] :not(*) (0,2,0))"},
      // Trimmed arguments that end in an open string or a lone backslash get their line break back.
      {":x(\"y\n)::z(a \\\n) {", ":x(\"y\n)::z(a \\\n) (0,1,1)"},
  };
  for (const Row& row : rows) {
    const std::string expected = row.expected;
    EXPECT_EQ(parse(row.text), expected) << row.text;
    const std::string written = expected.substr(0, expected.rfind(" (")) + " {";
    EXPECT_EQ(parse(written.c_str()), expected) << written;
  }
}

TEST(CssSelectorParser, ReportsErrorsWithTheirPositions) {
  const Row rows[] = {
      {"p::before:hover {", "956 Invalid selector after pseudo-element: ':hover'. 1:10"},
      {":not(:not(a)) {", "961 Invalid negation :not(:not()). 1:6"},
      {":not(::before) {", "961 Invalid negation :not(::before). 1:6"},
      {":not(:after) {", "961 Invalid negation :not(:after). 1:6"},
      {":not() {", "961 Invalid negation :not()). 1:6"},
      {":not(a b) {", "947 Missing closing parenthesis, unexpected 'b'. 1:8"},
      {"a:nth-child(foo) {", "960 Invalid pseudo-selector: ':nth-child(foo)'. 1:2"},
      {"a::nth(2x) {", "960 Invalid pseudo-selector: '::nth(2x)'. 1:2"},
      {"a:5 {", "960 Invalid pseudo-selector: '5'. 1:3"},
      {"[lang|=en i] {", "959 Invalid attribute-selector: 'i'. 1:11"},
      {"[a=b {", "948 Missing closing square-bracket. 1:6"},
      {"[a {", "959 Invalid attribute-selector: '{'. 1:4"},
      {"[a=] {", "959 Invalid attribute-selector: ']'. 1:4"},
      {"[* {", "959 Invalid attribute-selector: ' '. 1:3"},
      {"a. {", "958 Invalid class-selector: ' '. 1:3"},
      {"foo|a {", "965 Undefined namespace-prefix: 'foo'. 1:1"},
      {"[foo|a] {", "965 Undefined namespace-prefix: 'foo'. 1:2"},
      {"svg|. {", "957 Invalid type-selector: '.'. 1:5"},
      {", a {", "955 Invalid simple-selector: ','. 1:1"},
      {"a > {", "955 Invalid simple-selector: '{'. 1:5"},
      {"a ) {", "954 Unexpected token: ')'. 1:3"},
      {"a || b {", "954 Unexpected token: '||'. 1:3"},
      {"a :nth-child(x) {", "954 Unexpected token: ':'. 1:3"},
      {"a", "954 Unexpected token: ''. 1:2"},
      {"a:lang((en", "936 Unexpected end of stylesheet. 1:11"},
      {"a:not(", "961 Invalid negation :not(). 1:7"},
      {"[a=", "959 Invalid attribute-selector: ''. 1:4"},
  };
  check(std::begin(rows), std::end(rows));
}

TEST(CssSelectorParser, EndsAtTheTerminatorAndResolvesPrefixesThroughTheMap) {
  EXPECT_EQ(parse("a, b) {", u')'), "a (0,0,1) | b (0,0,1)");
  EXPECT_EQ(parse("a { b", u')'), "954 Unexpected token: '{'. 1:3");

  std::u16string chars(u"svg|a {");
  EKCssReader reader(chars.data(), nullptr, 0, 0, UnicodeString());
  EKCssSelectorParser parser(reader, nullptr);
  std::vector<EKCssSelector> selectors;
  EXPECT_FALSE(parser.parseGroup(selectors, u'{'));
  ASSERT_EQ(reader.getErrors().size(), 1u);
  EXPECT_EQ(reader.getErrors()[0].getErrorCode(), EKERR_CSS_UNDEFINED_NAMESPACE_PREFIX);
  EXPECT_FALSE(reader.scanner().inSelector());
}

} // namespace
