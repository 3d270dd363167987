#include "support/TestStrings.h"

#include <ekcommon/css/internal/EKCssMessages.h>
#include <ekcommon/css/internal/EKCssScanner.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

struct Token {
  int32_t kind;
  const char* text;
};

std::u16string buffer(const char* utf8) {
  const UnicodeString s = u(utf8);
  return std::u16string(s.getBuffer(), static_cast<size_t>(s.length()));
}

// "kind:text" for each token up to EOF, so that a failing row shows the whole token list.
std::string describe(int32_t kind, const UnicodeString& text) {
  return std::to_string(kind) + ":" + utf8(text);
}

std::vector<std::string> scanAll(std::u16string& text, bool inSelector, bool hashAnywhere) {
  EKCssScanner scanner(text.data());
  scanner.setInSelector(inSelector);
  scanner.setHashAnywhere(hashAnywhere);
  std::vector<std::string> tokens;
  for (int guard = 0; guard < 100 && scanner.next() != CSS_EOF; ++guard)
    tokens.push_back(describe(scanner.kind(), scanner.text()));
  return tokens;
}

TEST(CssScanner, TokenKindsAndTexts) {
  struct Row {
    const char* input;
    bool inSelector;
    bool hashAnywhere;
    std::vector<Token> tokens;
  };
  const Row rows[] = {
      {"", false, false, {}},
      {" \t\r\n\f x", false, false, {{CSS_S, " \t\r\n\f "}, {CSS_IDENT, "x"}}},
      {"/* c */x/", false, false, {{CSS_COMMENT, "/* c */"}, {CSS_IDENT, "x"}, {'/', "/"}}},
      {"<!-- --><!", false, false, {{CSS_CDO, "<!--"}, {CSS_S, " "}, {CSS_CDC, "-->"}, {'<', "<"}, {'!', "!"}}},
      {"~=|=^=$=*=||",
       false,
       false,
       {{CSS_INCLUDES, "~="},
        {CSS_DASHMATCH, "|="},
        {CSS_PREFIXMATCH, "^="},
        {CSS_SUFFIXMATCH, "$="},
        {CSS_SUBSTRINGMATCH, "*="},
        {CSS_COLUMN, "||"}}},
      {"~|^$*", false, false, {{'~', "~"}, {'|', "|"}, {'^', "^"}, {'$', "$"}, {'*', "*"}}},
      {"\"a\\\"b\"'x\"'", false, false, {{CSS_STRING, "a\"b"}, {CSS_STRING, "x\""}}},
      {"\"abc\n", false, false, {{CSS_BAD_STRING, "abc"}, {CSS_S, "\n"}}},
      {"'ab", false, false, {{CSS_BAD_STRING, "ab"}}},
      {"\"a\\\nb\"", false, false, {{CSS_STRING, "a\nb"}}},
      {"\"a\\\r\nb\\\fc\"", false, false, {{CSS_STRING, "a\r\nb\fc"}}},
      {"\"\\41 x\\\\\"", false, false, {{CSS_STRING, "Ax\\"}}},
      {"\"a\\", false, false, {{CSS_BAD_STRING, "a\\"}}},
      {"abc -x _y \xC3\xA9t\xC3\xA9", false, false,
       {{CSS_IDENT, "abc"}, {CSS_S, " "}, {CSS_IDENT, "-x"}, {CSS_S, " "}, {CSS_IDENT, "_y"}, {CSS_S, " "},
        {CSS_IDENT, "\xC3\xA9t\xC3\xA9"}}},
      {"\\41 B", false, false, {{CSS_IDENT, "AB"}}},
      {"\\41\r\nB \\41  B", false, false, {{CSS_IDENT, "AB"}, {CSS_S, " "}, {CSS_IDENT, "A"}, {CSS_S, " "},
                                          {CSS_IDENT, "B"}}},
      {"a\\ b\\.c", false, false, {{CSS_IDENT, "a b.c"}}},
      {"\\1234567 \\0 \\D800 ", false, false,
       {{CSS_IDENT, "\xEF\xBF\xBD" "7"}, {CSS_S, " "}, {CSS_IDENT, "\xEF\xBF\xBD\xEF\xBF\xBD"}}},
      {"a\\\nb", false, false, {{CSS_IDENT, "a"}, {'\\', "\\"}, {CSS_S, "\n"}, {CSS_IDENT, "b"}}},
      {"rgb( -x(", false, false, {{CSS_FUNCTION, "rgb("}, {CSS_S, " "}, {CSS_FUNCTION, "-x("}}},
      {"--main-c\\6F lor --", false, false, {{CSS_CUSTOM_IDENT, "--main-color"}, {CSS_S, " "}, {'-', "-"},
                                            {'-', "-"}}},
      {"12 +3 -4.5 1. 1.5.3", false, false,
       {{CSS_NUMBER, "12"}, {CSS_S, " "}, {CSS_NUMBER, "+3"}, {CSS_S, " "}, {CSS_NUMBER, "-4.5"}, {CSS_S, " "},
        {CSS_NUMBER, "1."}, {CSS_S, " "}, {CSS_NUMBER, "1.5"}, {CSS_NUMBER, ".3"}}},
      {"50% -.5%", false, false, {{CSS_PERCENTAGE, "50%"}, {CSS_S, " "}, {CSS_PERCENTAGE, "-.5%"}}},
      {"1.px .5em 1e3 2\\70 x", false, false,
       {{CSS_DIMENSION, "1.px"}, {CSS_S, " "}, {CSS_DIMENSION, ".5em"}, {CSS_S, " "}, {CSS_DIMENSION, "1e3"},
        {CSS_S, " "}, {CSS_DIMENSION, "2px"}}},
      {"+. -.", false, false, {{'+', "+"}, {'.', "."}, {CSS_S, " "}, {'-', "-"}, {'.', "."}}},
      {"@media @MEDIA @Page @IMPORT @NameSpace", false, false,
       {{CSS_ATKEYWORD, "media"}, {CSS_S, " "}, {CSS_ATKEYWORD, "media"}, {CSS_S, " "}, {CSS_ATKEYWORD, "page"},
        {CSS_S, " "}, {CSS_IMPORT_SYM, "import"}, {CSS_S, " "}, {CSS_NAMESPACE_SYM, "namespace"}}},
      {"@charset @CHARSET @Font-Face @ x", false, false,
       {{CSS_CHARSET_SYM, "charset"}, {CSS_S, " "}, {CSS_ATKEYWORD, "CHARSET"}, {CSS_S, " "},
        {CSS_ATKEYWORD, "Font-Face"}, {CSS_S, " "}, {'@', "@"}, {CSS_S, " "}, {CSS_IDENT, "x"}}},
      {"!important! /* c */ IMPORTANT !\\69mportant", false, false,
       {{CSS_IMPORTANT_SYM, "important"}, {CSS_IMPORTANT_SYM, "important"}, {CSS_S, " "},
        {CSS_IMPORTANT_SYM, "important"}}},
      {"!imp ! x", false, false, {{'!', "!"}, {CSS_IDENT, "imp"}, {CSS_S, " "}, {'!', "!"}, {CSS_S, " "},
                                  {CSS_IDENT, "x"}}},
      {"#123", false, false, {{CSS_HASH_NAME, "123"}}},
      {"#123", true, false, {{'#', "#"}, {CSS_NUMBER, "123"}}},
      {"#123", true, true, {{CSS_HASH_NAME, "123"}}},
      {"#a1 #-b #-- #-1", true, false,
       {{CSS_HASH_IDENT, "a1"}, {CSS_S, " "}, {CSS_HASH_IDENT, "-b"}, {CSS_S, " "}, {CSS_HASH_IDENT, "--"},
        {CSS_S, " "}, {'#', "#"}, {CSS_NUMBER, "-1"}}},
      {"# #", false, false, {{'#', "#"}, {CSS_S, " "}, {'#', "#"}}},
      {"\x7F\xC2\x80:;", false, false, {{0x7F, "\x7F"}, {0x80, "\xC2\x80"}, {':', ":"}, {';', ";"}}},
      {"x\\", false, false, {{CSS_IDENT, "x"}, {'\\', "\\"}}},
  };
  for (const Row& row : rows) {
    std::u16string text = buffer(row.input);
    std::vector<std::string> expected;
    for (const Token& token : row.tokens)
      expected.push_back(describe(token.kind, u(token.text)));
    EXPECT_EQ(scanAll(text, row.inSelector, row.hashAnywhere), expected)
        << row.input << (row.inSelector ? " in selector" : "") << (row.hashAnywhere ? " hash anywhere" : "");
  }
}

TEST(CssScanner, CommentsAreBlankedInTheBuffer) {
  const struct {
    const char* input;
    const char* after;
  } rows[] = {
      {"a/* x */b", "a       b"},
      {"x /* unclosed", "x            "},
      {"/**/", "    "},
      {"/*/ still open */", "                 "},
  };
  for (const auto& row : rows) {
    std::u16string text = buffer(row.input);
    scanAll(text, false, false);
    EXPECT_EQ(text, buffer(row.after)) << row.input;
  }
}

TEST(CssScanner, EmbeddedNulEndsTheText) {
  std::u16string text = u"ab";
  text += u'\0';
  text += u"cd";
  EKCssScanner scanner(text.data());
  EXPECT_EQ(scanner.next(), CSS_IDENT);
  EXPECT_EQ(scanner.next(), CSS_EOF);
  EXPECT_EQ(scanner.position(), 2);
  EXPECT_EQ(scanner.next(), CSS_EOF) << "EOF does not move";
  EXPECT_EQ(scanner.position(), 2);
}

TEST(CssScanner, PushBackAndRewindRescan) {
  std::u16string text = buffer("a /*c*/ 1px");
  EKCssScanner scanner(text.data());
  EXPECT_EQ(scanner.kind(), CSS_NOTHING_READ);
  EXPECT_EQ(scanner.next(), CSS_IDENT);
  scanner.pushBack();
  EXPECT_EQ(scanner.kind(), CSS_PUSHED_BACK);
  EXPECT_EQ(scanner.position(), 0);
  EXPECT_EQ(scanner.next(), CSS_IDENT);
  EXPECT_EQ(scanner.text(), u("a"));

  EXPECT_EQ(scanner.next(), CSS_S);
  const int32_t saved = scanner.tokenStart();
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(scanner.next(), CSS_COMMENT);
  EXPECT_EQ(scanner.next(), CSS_S);
  EXPECT_EQ(scanner.next(), CSS_DIMENSION);
  scanner.rewind(saved);
  EXPECT_EQ(scanner.kind(), CSS_PUSHED_BACK);
  // The comment was blanked on the first pass, so the rescan sees one whitespace run.
  EXPECT_EQ(scanner.next(), CSS_S);
  EXPECT_EQ(scanner.text(), u("       "));
  EXPECT_EQ(scanner.next(), CSS_DIMENSION);
  EXPECT_EQ(scanner.tokenStart(), 8);
  EXPECT_EQ(scanner.next(), CSS_EOF);
  scanner.rewind(1000);
  EXPECT_EQ(scanner.position(), 11) << "a rewind stays inside the text";
}

TEST(CssScanner, ImportantLookaheadRestoresThePosition) {
  std::u16string text = buffer("! /*c*/ x");
  EKCssScanner scanner(text.data());
  EXPECT_EQ(scanner.next(), '!');
  EXPECT_EQ(scanner.position(), 1);
  EXPECT_EQ(scanner.next(), CSS_S);
  EXPECT_EQ(scanner.next(), CSS_COMMENT) << "the comment is scanned after the lookahead";
}

TEST(CssScanner, LineStarts) {
  const struct {
    const char* input;
    std::vector<uint32_t> starts;
  } rows[] = {
      {"", {0}},
      {"ab\ncd\r\nef\rg\fh", {0, 3, 7, 10}},
      {"\n\n", {0, 1, 2}},
      {"\r\n", {0, 2}},
      {"\r\r\n\n", {0, 1, 3, 4}},
  };
  for (const auto& row : rows) {
    const std::u16string text = buffer(row.input);
    EXPECT_EQ(cssLineStarts(text.data(), static_cast<int32_t>(text.size())), row.starts) << row.input;
  }
}

TEST(CssScanner, LineAndColumnOfOffsets) {
  const std::u16string text = buffer("ab\ncd\r\nef\rg\fh");
  const std::vector<uint32_t> starts = cssLineStarts(text.data(), static_cast<int32_t>(text.size()));
  const struct {
    int32_t offset;
    int startLine, startColumn;
    int line, column;
  } rows[] = {
      {0, 0, 0, 1, 1},    {1, 0, 0, 1, 2},   {3, 0, 0, 2, 1},   {5, 0, 0, 2, 3},   {6, 0, 0, 2, 4},
      {7, 0, 0, 3, 1},    {10, 0, 0, 4, 1},  {12, 0, 0, 4, 3},  {13, 0, 0, 4, 4},  {1, 10, 5, 11, 7},
      {3, 10, 5, 12, 1},  {-1, 0, 0, -1, -1},
  };
  for (const auto& row : rows) {
    int line = 0, column = 0;
    cssLineColumn(starts, row.offset, row.startLine, row.startColumn, &line, &column);
    EXPECT_EQ(line, row.line) << row.offset << " from " << row.startLine;
    EXPECT_EQ(column, row.column) << row.offset << " from " << row.startColumn;
  }
  int line = 0, column = 0;
  cssLineColumn({}, 0, 0, 0, &line, &column);
  EXPECT_EQ(line, -1);
  EXPECT_EQ(column, -1);
}

TEST(CssMessages, PatternsWithPathAndArguments) {
  const struct {
    unsigned short code;
    const char* path;
    const char* arg1;
    const char* arg2;
    const char* message;
  } rows[] = {
      {EKERR_CSS_NO_STYLESHEET, "/a.css", "", "", "No stylesheet given."},
      {EKERR_CSS_CANNOT_OPEN_STYLESHEET, "/a/b.css", "", "", "Cannot open stylesheet file: /a/b.css"},
      {EKERR_CSS_EMPTY_STYLESHEET, "/a.css", "", "", "Empty stylesheet: /a.css"},
      {EKERR_CSS_EMPTY_STYLESHEET, "", "", "", "Empty stylesheet."},
      {EKERR_CSS_CANNOT_READ_STYLESHEET, "", "", "", "Cannot read stylesheet stream."},
      {EKERR_CSS_CANNOT_READ_STYLESHEET, "/x.css", "", "", "Cannot read stylesheet file: /x.css"},
      {EKERR_CSS_CHARSET_CONFLICT, "", "x", "UTF-8", "Conflict @charset 'x' must be 'UTF-8'."},
      {EKERR_CSS_LOOPED_IMPORT, "/l.css", "", "", "Looped @import '/l.css'."},
      {EKERR_CSS_CHARSET_IN_ELEMENT, "/d.html", "style", "", "Invalid @charset in <style>: /d.html"},
      {EKERR_CSS_CANNOT_PLACE_AT_RULE, "/s.css", "media", "media", "Cannot place @media inside @media: /s.css"},
      {EKERR_CSS_MUST_PLACE_AT_RULE, "", "top-left", "page", "Must place @top-left inside @page."},
      {EKERR_CSS_MISSING_CLOSING_PAREN, "", "", "", "Missing closing parenthesis."},
      {EKERR_CSS_MISSING_CLOSING_PAREN, "/p", "}", "", "Missing closing parenthesis, unexpected '}': /p"},
      {EKERR_CSS_MISSING_CLOSING_BRACE, "", "", "", "Missing closing curly-bracket."},
      {EKERR_CSS_MISSING_CLOSING_BRACE, "", ";", "", "Missing closing curly-bracket, unexpected ';'."},
      {EKERR_CSS_INVALID_PSEUDO_SELECTOR, "", "", "", "Invalid pseudo-selector."},
      {EKERR_CSS_INVALID_PSEUDO_SELECTOR, "", "3", "", "Invalid pseudo-selector: '3'."},
      {EKERR_CSS_INVALID_PROPERTY_VALUE, "/p", "color", "bad", "Invalid property value: color: bad: /p"},
      {EKERR_CSS_UNEXPECTED_TOKEN, "", "'{0}'", "", "Unexpected token: ''{0}''."},
      {EKERR_CSS_UNKNOWN_PSEUDO_ELEMENT, "", "foo", "", "Unknown or unsupported pseudo element: ::foo."},
      {EKERR_CSS_UNKNOWN_PSEUDO_CLASS, "", "bar", "", "Unknown or unsupported pseudo class: :bar."},
      {982, "/p", "x", "", ""},
      {928, "", "", "", ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(cssErrorMessage(row.code, u(row.path), u(row.arg1), u(row.arg2)), u(row.message)) << row.code;
}

TEST(CssMessages, ErrorRecordCarriesCodeAndPositionOnly) {
  const EKError error = cssError(EKERR_CSS_UNKNOWN_AT_RULE, u("/s.css"), 3, 7, u("supports"));
  EXPECT_EQ(error.getErrorCode(), 946);
  EXPECT_EQ(error.getRawMessage(), u("Unknown or unsupported @supports: /s.css"));
  EXPECT_EQ(error.getLineNumber(), 3);
  EXPECT_EQ(error.getColumnNumber(), 7);
  EXPECT_TRUE(error.getUri().isEmpty());
}

} // namespace
