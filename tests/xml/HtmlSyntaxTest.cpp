// HTML syntax of the native parser: each row states a small document's whole event sequence. In
// the tables the XHTML namespace of HTML elements is left out of the lines ("p" stands for
// "{http://www.w3.org/1999/xhtml}p"); other namespaces are shown.
#include "xml/XmlTestUtil.h"

using namespace xmltest;

namespace {

const std::string XHTML_NS = "{http://www.w3.org/1999/xhtml}";

struct HtmlRun {
  Mode mode = NEXT;
  const char* type = "html"; // parser type; "auto" detects
  std::string contentType;
  std::string extension;
  std::string defaultCharset;
};

std::vector<std::string> htmlEvents(const std::string& document, const HtmlRun& run = HtmlRun()) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setParserType(name(run.type), EKN_html);
  EKUri::ContentInfo info;
  info.contentType = u(run.contentType.c_str());
  parser->setStreamType(&info, u(run.extension.c_str()));
  if (!run.defaultCharset.empty())
    parser->setHtmlDefaultCharset(u(run.defaultCharset.c_str()));
  std::istringstream in(document);
  Options options(run.mode);
  options.callback = true;
  std::vector<std::string> lines = events(*parser, in, options);
  for (std::string& line : lines)
    for (size_t at; (at = line.find(XHTML_NS)) != std::string::npos;)
      line.erase(at, XHTML_NS.size());
  return lines;
}

struct Case {
  std::string document;
  std::vector<std::string> expected;
};

HtmlRun autoRun() {
  HtmlRun run;
  run.type = "auto";
  return run;
}

HtmlRun tokens() {
  HtmlRun run;
  run.mode = TOKEN;
  return run;
}

void check(const std::vector<Case>& cases, const HtmlRun& run = HtmlRun()) {
  for (const Case& c : cases)
    EXPECT_EQ(htmlEvents(c.document, run), c.expected) << c.document;
}

TEST(HtmlSyntax, ImpliedEndTagsByStartTags) {
  check({
      // The root element is never ended by what follows, so that the document keeps one.
      {"<p>a<p>b",
       {"START_TAG d1 ns1 p", R"(TEXT "a")", "START_TAG d2 p", R"(TEXT "b")", "END_TAG d2 p", "END_TAG d1 p"}},
      {"<body><p>a<p>b</body>",
       {"START_TAG d1 ns1 body", "START_TAG d2 p", R"(TEXT "a")", "END_TAG d2 p", "START_TAG d2 p", R"(TEXT "b")",
        "END_TAG d2 p", "END_TAG d1 body"}},
      {"<ul><li>a<li>b</ul>",
       {"START_TAG d1 ns1 ul", "START_TAG d2 li", R"(TEXT "a")", "END_TAG d2 li", "START_TAG d2 li", R"(TEXT "b")",
        "END_TAG d2 li", "END_TAG d1 ul"}},
      {"<dl><dt>t<dd>d<dt>u</dl>",
       {"START_TAG d1 ns1 dl", "START_TAG d2 dt", R"(TEXT "t")", "END_TAG d2 dt", "START_TAG d2 dd", R"(TEXT "d")",
        "END_TAG d2 dd", "START_TAG d2 dt", R"(TEXT "u")", "END_TAG d2 dt", "END_TAG d1 dl"}},
      {"<div><p>x<div>y</div></div>",
       {"START_TAG d1 ns1 div", "START_TAG d2 p", R"(TEXT "x")", "END_TAG d2 p", "START_TAG d2 div", R"(TEXT "y")",
        "END_TAG d2 div", "END_TAG d1 div"}},
      // A row ends its cell, a new section ends the row and the cell.
      {"<table><tr><td>1<td>2<tr><th>3<tbody><tr><td>4</table>",
       {"START_TAG d1 ns1 table", "START_TAG d2 tr", "START_TAG d3 td", R"(TEXT "1")", "END_TAG d3 td",
        "START_TAG d3 td", R"(TEXT "2")", "END_TAG d3 td", "END_TAG d2 tr", "START_TAG d2 tr", "START_TAG d3 th",
        R"(TEXT "3")", "END_TAG d3 th", "END_TAG d2 tr", "START_TAG d2 tbody", "START_TAG d3 tr", "START_TAG d4 td",
        R"(TEXT "4")", "END_TAG d4 td", "END_TAG d3 tr", "END_TAG d2 tbody", "END_TAG d1 table"}},
      {"<select><option>a<option>b<optgroup><option>c</select>",
       {"START_TAG d1 ns1 select", "START_TAG d2 option", R"(TEXT "a")", "END_TAG d2 option", "START_TAG d2 option",
        R"(TEXT "b")", "START_TAG d3 optgroup", "START_TAG d4 option", R"(TEXT "c")", "END_TAG d4 option",
        "END_TAG d3 optgroup", "END_TAG d2 option", "END_TAG d1 select"}},
      {"<ruby>a<rt>b<rp>c</ruby>",
       {"START_TAG d1 ns1 ruby", R"(TEXT "a")", "START_TAG d2 rt", R"(TEXT "b")", "END_TAG d2 rt", "START_TAG d2 rp",
        R"(TEXT "c")", "END_TAG d2 rp", "END_TAG d1 ruby"}},
  });
}

TEST(HtmlSyntax, ImpliedHtmlHeadAndBody) {
  check({
      {"<html><title>x</title><p>y",
       {"START_TAG d1 ns1 html", "START_TAG d2 head", "START_TAG d3 title", R"(TEXT "x")", "END_TAG d3 title",
        "END_TAG d2 head", "START_TAG d2 body", "START_TAG d3 p", R"(TEXT "y")", "END_TAG d3 p", "END_TAG d2 body",
        "END_TAG d1 html"}},
      {"<html><div>a</div></html>",
       {"START_TAG d1 ns1 html", "START_TAG d2 body", "START_TAG d3 div", R"(TEXT "a")", "END_TAG d3 div",
        "END_TAG d2 body", "END_TAG d1 html"}},
      {"<html><head><meta name=a><body>b",
       {"START_TAG d1 ns1 html", "START_TAG d2 head", R"(START_TAG d3 meta name="a" /)", "END_TAG d3 meta",
        "END_TAG d2 head", "START_TAG d2 body", R"(TEXT "b")", "END_TAG d2 body", "END_TAG d1 html"}},
      // A DOCTYPE naming html implies the html element around another first element.
      {"<!DOCTYPE html><p>a",
       {"START_TAG d1 ns1 html", "START_TAG d2 body", "START_TAG d3 p", R"(TEXT "a")", "END_TAG d3 p",
        "END_TAG d2 body", "END_TAG d1 html"}},
  });
}

TEST(HtmlSyntax, VoidElements) {
  check({
      {"<p>a<br>b</p>",
       {"START_TAG d1 ns1 p", R"(TEXT "a")", "START_TAG d2 br /", "END_TAG d2 br", R"(TEXT "b")", "END_TAG d1 p"}},
      {"<p><br></br><BR></Br>c</p>",
       {"START_TAG d1 ns1 p", "START_TAG d2 br /", "END_TAG d2 br", "START_TAG d2 br /", "END_TAG d2 br",
        R"(TEXT "c")", "END_TAG d1 p"}},
      {"<p><img src=a.png alt=''><input disabled><hr/></p>",
       {"START_TAG d1 ns1 p", R"(START_TAG d2 img src="a.png" alt="" /)", "END_TAG d2 img",
        R"(START_TAG d2 input disabled="" /)", "END_TAG d2 input", "START_TAG d2 hr /", "END_TAG d2 hr",
        "END_TAG d1 p"}},
  });
}

TEST(HtmlSyntax, MismatchedEndTagsAreRepaired) {
  check({
      // A stray end tag becomes an empty element.
      {"<div>a</p>b</div>",
       {"START_TAG d1 ns1 div", R"(TEXT "a")", "CALLBACK 513 End tag </p> does not match the start tag <div>.",
        "START_TAG d2 p /", "END_TAG d2 p", R"(TEXT "b")", "END_TAG d1 div"}},
      // Misnested formatting: the inner element ends first, the outer end tag finds nothing open.
      {"<div><b><i>x</b>y</i></div>",
       {"START_TAG d1 ns1 div", "START_TAG d2 b", "START_TAG d3 i", R"(TEXT "x")",
        "CALLBACK 513 End tag </b> does not match the start tag <i>.", "END_TAG d3 i", "END_TAG d2 b", R"(TEXT "y")",
        "CALLBACK 513 End tag </i> does not match the start tag <div>.", "START_TAG d2 i /", "END_TAG d2 i",
        "END_TAG d1 div"}},
      // Elements an end tag implicitly closes go silently.
      {"<ul><li><p>a</ul>",
       {"START_TAG d1 ns1 ul", "START_TAG d2 li", "START_TAG d3 p", R"(TEXT "a")", "END_TAG d3 p", "END_TAG d2 li",
        "END_TAG d1 ul"}},
      {"<table><tr><td>a</table>",
       {"START_TAG d1 ns1 table", "START_TAG d2 tr", "START_TAG d3 td", R"(TEXT "a")", "END_TAG d3 td",
        "END_TAG d2 tr", "END_TAG d1 table"}},
      {"<html><body>a</html>",
       {"START_TAG d1 ns1 html", "START_TAG d2 body", R"(TEXT "a")", "END_TAG d2 body", "END_TAG d1 html"}},
      // An end tag whose start tag would have closed the current element is repaired without a warning.
      {"<dl><dd>a</dt></dl>",
       {"START_TAG d1 ns1 dl", "START_TAG d2 dd", R"(TEXT "a")", "START_TAG d3 dt /", "END_TAG d3 dt", "END_TAG d2 dd",
        "END_TAG d1 dl"}},
      {"<div>a</p:>b</div>",
       {"START_TAG d1 ns1 div", "CALLBACK 513 End tag </p:> does not match the start tag <div>.", R"(TEXT "ab")",
        "END_TAG d1 div"}},
      // End of input closes what is open.
      {"<div><span>a",
       {"START_TAG d1 ns1 div", "START_TAG d2 span", R"(TEXT "a")", "END_TAG d2 span", "END_TAG d1 div"}},
      // The root element stays open to the end of the input, so what follows its end tag is inside it.
      {"<div></div></span>",
       {"START_TAG d1 ns1 div", "CALLBACK 513 End tag </span> does not match the start tag <div>.",
        "START_TAG d2 span /", "END_TAG d2 span", "END_TAG d1 div"}},
  });
}

TEST(HtmlSyntax, NamesAttributesAndText) {
  check({
      {"<DIV Class=A ID=\"x\"><SPAN>t</span></Div>",
       {R"(START_TAG d1 ns1 div class="A" id="x")", "START_TAG d2 span", R"(TEXT "t")", "END_TAG d2 span",
        "END_TAG d1 div"}},
      // Minimised, unquoted, repeated and odd attributes; '<' inside a quoted value.
      {"<p a b=1 c=x/y d='<e>' a=2 @click=\"go\" \"=q/>",
       {"CALLBACK 769 Unexpected character: \"", "CALLBACK 769 Unexpected character: =",
        R"(START_TAG d1 ns1 p a="" b="1" c="x/y" d="<e>" @click="go" q="" /)", "END_TAG d1 p"}},
      {"<p x=a&amp;b y=\"?q=1&r=2\">a & b &lt; c &#X41; &unknown</p>",
       {R"(START_TAG d1 ns1 p x="a&b" y="?q=1&r=2")", R"(TEXT "a & b < c A &unknown")", "END_TAG d1 p"}},
      {"<p>1 < 2 <3 and 5>4</p>", {"START_TAG d1 ns1 p", R"(TEXT "1 < 2 <3 and 5>4")", "END_TAG d1 p"}},
      // Text around the root element is kept rather than refused.
      {"hello <b>world</b>!", {"START_TAG d1 ns1 b", R"(TEXT "world!")", "END_TAG d1 b"}},
      // An undeclared attribute prefix is its own namespace.
      {"<p o:x=1>", {R"(START_TAG d1 ns1 p {o}o:x="1")", "END_TAG d1 p"}},
  });
}

TEST(HtmlSyntax, RawTextInScriptAndStyle) {
  check({
      {"<script>if (a<b && c) x();</script>",
       {"START_TAG d1 ns1 script", R"(TEXT "if (a<b && c) x();")", "END_TAG d1 script"}},
      {"<script>document.write(\"</div><p>\");</SCRIPT >",
       {"START_TAG d1 ns1 script", R"(TEXT "document.write(\"</div><p>\");")", "END_TAG d1 script"}},
      {"<style>a > b { content: '&amp;' }</style>",
       {"START_TAG d1 ns1 style", R"(TEXT "a > b { content: '&amp;' }")", "END_TAG d1 style"}},
      // A comment inside stays part of the text; CDATA sections are text in HTML script.
      {"<script><!-- x--y --><![CDATA[z]]></script>",
       {"START_TAG d1 ns1 script", "CALLBACK 899 Unexpected character '--' in comment",
        R"(TEXT "<!-- x--y --><![CDATA[z]]>")", "END_TAG d1 script"}},
      {"<script>never ends </scripts",
       {"START_TAG d1 ns1 script", R"(TEXT "never ends </scripts")", "END_TAG d1 script"}},
      {"<svg><script><![CDATA[a<b]]></script></svg>",
       {"START_TAG d1 ns2 {http://www.w3.org/2000/svg}svg", "START_TAG d2 {http://www.w3.org/2000/svg}script",
        R"(TEXT "a<b")", "END_TAG d2 {http://www.w3.org/2000/svg}script",
        "END_TAG d1 {http://www.w3.org/2000/svg}svg"}},
  });
  check({{"<script>a<!--b--></script>",
          {"START_TAG d1 ns1 script", R"(TEXT "a")", R"(COMMENT "b")", "END_TAG d1 script"}}},
        tokens());
}

TEST(HtmlSyntax, ForeignVocabularies) {
  check({
      {"<p><math><mi>x</mi></math><svg><a xlink:href='#t'/></svg>",
       {"START_TAG d1 ns1 p", "START_TAG d2 ns1 {http://www.w3.org/1998/Math/MathML}math",
        "START_TAG d3 {http://www.w3.org/1998/Math/MathML}mi", R"(TEXT "x")",
        "END_TAG d3 {http://www.w3.org/1998/Math/MathML}mi", "END_TAG d2 {http://www.w3.org/1998/Math/MathML}math",
        "START_TAG d2 ns2 {http://www.w3.org/2000/svg}svg",
        R"(START_TAG d3 {http://www.w3.org/2000/svg}a {http://www.w3.org/1999/xlink}xlink:href="#t" /)",
        "END_TAG d3 {http://www.w3.org/2000/svg}a", "END_TAG d2 {http://www.w3.org/2000/svg}svg", "END_TAG d1 p"}},
  });
}

TEST(HtmlSyntax, EveryHtmlElementIsInTheXhtmlNamespace) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setParserType(EKN_html, EKN_html);
  std::istringstream in("<html><p>&nbsp;&hellip;</html>");
  parser->setInput(in, u"", u"");
  ASSERT_EQ(parser->next(), EKXmlParser::START_TAG);
  EXPECT_EQ(parser->getNamespace(), EKN_http_www_w3_org_1999_xhtml);
  EXPECT_EQ(parser->getNamespaceCount(1), 1);
  EXPECT_EQ(parser->getNamespaceUri(0), EKN_http_www_w3_org_1999_xhtml);
  ASSERT_EQ(parser->next(), EKXmlParser::START_TAG); // body
  ASSERT_EQ(parser->next(), EKXmlParser::START_TAG); // p
  EXPECT_EQ(parser->getNamespace(), EKN_http_www_w3_org_1999_xhtml);
  ASSERT_EQ(parser->next(), EKXmlParser::TEXT);
  EXPECT_EQ(parser->getText(), UnicodeString(u"\u00A0\u2026"));
  EXPECT_TRUE(parser->isHTMLSyntax());
  EXPECT_FALSE(parser->isXML());
}

TEST(HtmlSyntax, WithoutCallbackAMismatchIsFatal) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setParserType(EKN_html, EKN_html);
  std::istringstream in("<div><b></div>");
  EXPECT_EQ(events(*parser, in).back(), "ERROR 134 End tag </div> does not match the start tag <b>.");
}

} // namespace

namespace {

// The syntax the parser settles on for a document, asked after its first start tag:
// "html", "xhtml" or "xml".
std::string syntaxOf(const std::string& document, const char* type, const char* flavour, const char* contentType,
                     const char* extension) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setParserType(name(type), name(flavour));
  EKUri::ContentInfo info;
  info.contentType = u(contentType);
  parser->setStreamType(&info, u(extension));
  std::istringstream in(document);
  parser->setInput(in, u"", u"");
  auto syntax = [&] {
    return std::string(parser->isHTMLSyntax() ? "html" : parser->isXHTMLSyntax() ? "xhtml" : "xml");
  };
  const std::string before = syntax();
  while (parser->nextToken() != EKXmlParser::START_TAG) {
  }
  // What the first question said holds once it was an answer.
  const std::string after = syntax();
  return before == "xml" || before == after ? after : before + "->" + after;
}

TEST(HtmlSyntax, DetectionPerInput) {
  const std::string xhtmlRoot = "<html xmlns='http://www.w3.org/1999/xhtml'/>";
  const std::string declared = "<?xml version='1.0'?>";
  const struct {
    std::string document;
    const char* type;
    const char* flavour;
    const char* contentType;
    const char* extension;
    const char* syntax;
  } rows[] = {
      {"<a/>", "html", "html", "", "", "html"},
      {"<html/>", "xhtml", "html", "", "", "xhtml"},
      {"<html/>", "xml", "html", "", "", "xml"},
      {"<a/>", "auto", "html", "text/html", "", "html"},
      {"<html/>", "auto", "html", "application/xhtml+xml", "", "xhtml"},
      {"<html/>", "auto", "html", "application/xml", "", "xml"},
      {"<a/>", "auto", "html", "", ".xhtml", "xhtml"},
      {"<a/>", "auto", "html", "", "htm", "html"},
      {"<a/>", "auto", "xhtml", "", ".html", "xml"},
      {"<!DOCTYPE html PUBLIC '-//W3C//DTD HTML 4.01//EN' ''><a/>", "auto", "html", "", "", "html"},
      {"<!DOCTYPE html PUBLIC '-//W3C//DTD XHTML 1.0 Strict//EN' ''><a/>", "auto", "html", "", "", "xhtml"},
      {"<HTML/>", "auto", "html", "", "", "html"},
      {declared + "<html/>", "auto", "html", "", "", "xml"},
      {xhtmlRoot, "auto", "html", "", "", "xml"},
      {xhtmlRoot, "auto", "xhtml", "", "", "xhtml"},
      {declared + xhtmlRoot, "auto", "xhtml", "", "", "xhtml"},
      {"<a/>", "auto", "html", "", "", "xml"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(syntaxOf(row.document, row.type, row.flavour, row.contentType, row.extension), row.syntax)
        << row.document << " type " << row.type << " flavour " << row.flavour << " content type '" << row.contentType
        << "' extension '" << row.extension << "'";
}

TEST(HtmlSyntax, XhtmlIsXmlWithTheHtmlEntities) {
  HtmlRun xhtml = autoRun();
  xhtml.extension = ".xhtml";
  check({{"<html xmlns='http://www.w3.org/1999/xhtml'><p>&eacute;&nbsp;<br/></p></html>",
          {"START_TAG d1 ns1 html", "START_TAG d2 p", R"(TEXT "\u{E9}\u{A0}")", "START_TAG d3 br /", "END_TAG d3 br",
           "END_TAG d2 p", "END_TAG d1 html"}},
         {"<html xmlns='http://www.w3.org/1999/xhtml'><p>a<br></p></html>",
          {"START_TAG d1 ns1 html", "START_TAG d2 p", R"(TEXT "a")", "START_TAG d3 br",
           "CALLBACK 134 End tag </p> does not match the start tag <br>.", "ERROR 128 "}}},
        xhtml);
}

TEST(HtmlSyntax, XmlRulesHoldUnlessTheRootMakesItHtml) {
  // The root tag is read leniently until its name decides; a document that stays XML still gets
  // XML's error.
  EXPECT_EQ(events("<a b=1/>").back(), "ERROR 174 Missing quotation character (\" or ').");
  EXPECT_EQ(htmlEvents("<HTML lang=en><p>x</HTML>", autoRun()),
            (std::vector<std::string>{R"(START_TAG d1 ns1 html lang="en")", "START_TAG d2 body", "START_TAG d3 p",
                                      R"(TEXT "x")", "END_TAG d3 p", "END_TAG d2 body", "END_TAG d1 html"}));
}

// Bytes of one document whose head declares how the rest is encoded.
std::vector<std::string> decoded(const std::string& document, const HtmlRun& run = HtmlRun()) {
  std::vector<std::string> lines = htmlEvents(document, run);
  std::vector<std::string> texts;
  for (const std::string& line : lines)
    if (line.rfind("TEXT", 0) == 0 || line.rfind("ERROR", 0) == 0 || line.rfind("CALLBACK", 0) == 0)
      texts.push_back(line);
  return texts;
}

TEST(HtmlSyntax, MetaElementsSwitchTheEncoding) {
  const std::string latin2 = "<html><head><meta charset=\"ISO-8859-2\"></head><body>\xB1\xE6</body></html>";
  EXPECT_EQ(decoded(latin2), std::vector<std::string>{R"(TEXT "\u{105}\u{107}")"});
  const std::string cp1252 =
      "<html><meta http-equiv=Content-Type content='text/html; charset=windows-1252'><p>\x93q\x94";
  EXPECT_EQ(decoded(cp1252), std::vector<std::string>{R"(TEXT "\u{201C}q\u{201D}")"});
  const std::string sjis = "<html><head><META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html;charset=Shift_JIS\">"
                           "<title>\x93\xfa\x96\x7b</title>";
  EXPECT_EQ(decoded(sjis), std::vector<std::string>{R"(TEXT "\u{65E5}\u{672C}")"});
  // The first encoding named wins; after a byte order mark none applies.
  const std::string twice = "<html><meta charset=iso-8859-2><meta charset=iso-8859-5><p>\xB1";
  EXPECT_EQ(decoded(twice), std::vector<std::string>{R"(TEXT "\u{105}")"});
  const std::string marked = "\xEF\xBB\xBF<html><meta charset=iso-8859-2><p>\xC4\x85";
  EXPECT_EQ(decoded(marked), std::vector<std::string>{R"(TEXT "\u{105}")"});
  // The default charset applies to HTML that names none, and a meta element still overrides it.
  HtmlRun latin5;
  latin5.defaultCharset = "ISO-8859-5";
  EXPECT_EQ(decoded("<p>\xB1", latin5), std::vector<std::string>{R"(TEXT "\u{411}")"});
  EXPECT_EQ(decoded("<html><meta charset=utf-8><p>\xC4\x85", latin5),
            std::vector<std::string>{R"(TEXT "\u{105}")"});
  // An encoding nobody knows is an error, not a crash.
  EXPECT_EQ(decoded("<html><meta charset=x-no-such-thing><p>a"),
            (std::vector<std::string>{"CALLBACK 181 Unknown or unsupported encoding: x-no-such-thing.", "ERROR 128 "}));
}

TEST(HtmlSyntax, MetaContentLanguage) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setParserType(EKN_html, EKN_html);
  std::istringstream in("<meta http-equiv='Content-Language' content=' de-CH '><p>x</p>");
  parser->setInput(in, u"", u"");
  while (parser->next() != EKXmlParser::END_DOCUMENT) {
  }
  EXPECT_EQ(parser->getLanguage(), UnicodeString(u"de-ch"));
}

} // namespace
