// Media query lists as the parser reads them: the queries kept, the errors with their positions,
// recovery at the next ',' and the token that ends the list.
#include "ekcommon/css/internal/EKCssMediaQueryParser.h"
#include "support/TestStrings.h"

#include <ekcommon/ekcommon.h>

#include <gtest/gtest.h>

#include <string>

using namespace EKCommonNS;

namespace {

struct Parsed {
  std::string printed; // the list written back
  std::string errors;  // "code message line:col", separated by "; "
  std::string end;     // the token left current: its text, or <EOF>
  unsigned short first;
};

Parsed parse(const char* text) {
  std::u16string chars = u(text).getTerminatedBuffer();
  const std::vector<uint32_t> lineStarts = cssLineStarts(chars.c_str(), static_cast<int32_t>(chars.size()));
  EKCssReader reader(chars.data(), &lineStarts, 0, 0, UnicodeString());
  Parsed parsed;
  const EKPtr<EKCssMediaQueryList> list = EKCssMediaQueryParser(reader).parseList(parsed.first);
  parsed.printed = utf8(list->toString());
  for (const EKError& error : reader.getErrors()) {
    if (!parsed.errors.empty())
      parsed.errors += "; ";
    parsed.errors += std::to_string(error.getErrorCode()) + " " + utf8(error.getRawMessage()) + " " +
                     std::to_string(error.getLineNumber()) + ":" + std::to_string(error.getColumnNumber());
  }
  parsed.end = reader.kind() == CSS_EOF ? "<EOF>" : utf8(reader.text());
  return parsed;
}

TEST(CssMediaQueryParser, ListsWithAndWithoutErrors) {
  const struct {
    const char* text;
    const char* printed;
    const char* errors;
    const char* end;
  } rows[] = {
      {"", "", "", "<EOF>"},
      {" /* none */ {", "", "", "{"},
      {"print, (min-width: 10cm) {", "print, (min-width: 10cm)", "", "{"},
      {"not print;", "not print", "", ";"},
      {"ONLY Screen", "screen", "", "<EOF>"},
      {"SCREEN AND (Color) and (max-width:  calc( (1px + 2px) ) )", "screen and (color) and (max-width: calc( (1px + 2px) ))",
       "", "<EOF>"},
      {"(width:) and (grid)", "(width) and (grid)", "", "<EOF>"},
      {"screen and (colour) {", "screen and (colour)", "968 Unknown media-feature: 'colour'. 1:13", "{"},
      {"screen and min-width: 1px {", "", "969 Missing opening-parenthesis for media expression. 1:12", "{"},
      {"screen and (12px) and (color), tv", "tv", "971 Missing media-feature. 1:13", "<EOF>"},
      {"screen and ((a, b)), tv", "tv", "971 Missing media-feature. 1:13", "<EOF>"},
      {"(width 10px), tv", "tv", "970 Missing closing-parenthesis for media expression. 1:8", "<EOF>"},
      {"(width: 10px", "", "970 Missing closing-parenthesis for media expression. 1:13", "<EOF>"},
      {"12px, print", "print", "966 Invalid media-query: '12px'. 1:1", "<EOF>"},
      {"only (color), not 3", "", "966 Invalid media-query: '('. 1:6; 966 Invalid media-query: '3'. 1:19", "<EOF>"},
      {"screen print, tv", "tv", "966 Invalid media-query: 'print'. 1:8", "<EOF>"},
      {", print", "print", "966 Invalid media-query: ','. 1:1", "<EOF>"},
      {"[a, b] (c, d), print", "print", "966 Invalid media-query: '['. 1:1; 966 Invalid media-query: ']'. 1:6",
       "<EOF>"},
      {"foo(a, b), print {", "print", "966 Invalid media-query: 'foo('. 1:1", "{"},
      {"(width: 'a\n, b), tv", "tv", "966 Invalid media-query: 'a'. 1:9", "<EOF>"},
      {"(width: a\\\n), tv", "tv", "966 Invalid media-query: '\\'. 1:10", "<EOF>"},
      {"tv and (scan:\n progressive), x and (bogus) and", "tv and (scan: progressive)",
       "968 Unknown media-feature: 'bogus'. 2:23; 969 Missing opening-parenthesis for media expression. 2:33",
       "<EOF>"},
  };
  for (const auto& row : rows) {
    const Parsed parsed = parse(row.text);
    EXPECT_EQ(parsed.printed, row.printed) << row.text;
    EXPECT_EQ(parsed.errors, row.errors) << row.text;
    EXPECT_EQ(parsed.end, row.end) << row.text;
  }
}

// Names that would read as something else are escaped, a type that is a keyword gets "only", and a
// value keeps its source text to the end of its last token: the written form reads back the same.
TEST(CssMediaQueryParser, WrittenFormsReadBackTheSame) {
  const struct {
    const char* text;
    const char* printed;
  } rows[] = {
      {"only only, only not, not only", "only only, only not, not only"},
      {"x\\,y, \\2d-x, \\2d 1, -a", "x\\002c y, \\002d -x, \\002d 1, -a"},
      {"(\\31 x) and (a\\)b)", "(\\0031 x) and (a\\0029 b)"},
      {"(width: a\\ ), (width: /* c */ 1px/**/2px /* d */)", "(width: a\\ ), (width: 1px    2px)"},
      {"all, not all, all and (grid: 1)", "all, not all, (grid: 1)"},
  };
  for (const auto& row : rows) {
    const Parsed parsed = parse(row.text);
    EXPECT_EQ(parsed.printed, row.printed) << row.text;
    EXPECT_EQ(parse(parsed.printed.c_str()).printed, parsed.printed) << row.text;
  }
}

TEST(CssMediaQueryParser, FirstErrorQueryFieldsAndTheStandaloneEntry) {
  EXPECT_EQ(parse("print").first, 0);
  EXPECT_EQ(parse("print and (colour), print and x").first, 968);
  EXPECT_EQ(parse("print and x, print and (colour)").first, 969);
  const EKPtr<EKCssMediaQueryList> list =
      EKCssMediaQuery::createCssMediaQuery(u("NOT Print And (MIN-Width: 10cm) and (color), (Hover), bad!, x; y"));
  ASSERT_EQ(list->size(), 3);
  const EKCssMediaQuery* first = list->at(0);
  EXPECT_TRUE(first->isNegated());
  EXPECT_EQ(first->getMediaType(), EKN_print);
  ASSERT_EQ(first->getFeatures().size(), 2u);
  EXPECT_EQ(utf8(first->getFeatures()[0].first.toString()), "min-width");
  EXPECT_EQ(utf8(first->getFeatures()[0].second), "10cm");
  EXPECT_TRUE(first->getFeatures()[1].second.isEmpty());
  EXPECT_FALSE(list->at(1)->isNegated());
  EXPECT_EQ(list->at(1)->getMediaType(), EKN_all);
  EXPECT_EQ(utf8(list->at(1)->getFeatures()[0].first.toString()), "hover");
  EXPECT_EQ(utf8(list->at(2)->getMediaType().toString()), "x");
  EXPECT_TRUE(EKCssMediaQuery::createCssMediaQuery(UnicodeString())->empty());
}

} // namespace
