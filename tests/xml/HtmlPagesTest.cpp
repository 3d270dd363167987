// Pages written the way real sites write them, read in HTML syntax: the structure and decoded
// text of the event stream, the charsets that meta elements announce, pathological nesting, and
// the XHTML that a loaded page saves to, which must read back as well-formed XML.
#include "support/DomTreeForm.h"
#include "xml/XmlTestUtil.h"

#include <set>

using namespace xmltest;

namespace {

const EKName XHTML(EKN_http_www_w3_org_1999_xhtml);
const EKName SVG(EKN_http_www_w3_org_2000_svg);
const EKName MATHML(EKN_http_www_w3_org_1998_Math_MathML);

// More events than any page here makes: a parser that loops stops here instead of hanging.
constexpr long EVENT_LIMIT = 10 * 1000 * 1000;
constexpr int RUNAWAY = -2;

// What reading a page with next() gave.
struct HtmlParse {
  std::string tree;        // name[attr=value ...](children); texts quoted; SVG and MathML names marked
  std::string texts;       // the non-blank texts, joined by '|'
  std::set<int> reports;   // codes that reached the error callback
  int thrown = -1;         // code of the EKError that ended the parse; -1 after END_DOCUMENT
  long starts = 0, ends = 0;
  int maxDepth = 0;
};

void collect(const EKError& error, void* reports) {
  static_cast<std::set<int>*>(reports)->insert(error.getErrorCode());
}

bool blank(const UnicodeString& text) {
  for (int32_t i = 0; i < text.length(); ++i)
    if (text[i] != u' ' && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r')
      return false;
  return true;
}

std::string label(EKName ns, EKName local) {
  const char* mark = ns == XHTML ? "" : ns == SVG ? "{svg}" : ns == MATHML ? "{mathml}" : nullptr;
  return (mark ? mark : "{" + utf8(ns) + "}") + utf8(local);
}

void appendStartTag(EKXmlParser& parser, std::string& tree) {
  tree += label(parser.getNamespace(), parser.getName());
  std::string attributes;
  for (int i = 0; i < parser.getAttributeCount(); ++i)
    if (!isDeclaration(parser, i))
      attributes += (attributes.empty() ? "" : " ") + utf8(parser.getAttributeName(i)) + "=" +
                    utf8(parser.getAttributeValue(i));
  tree += (attributes.empty() ? "" : "[" + attributes + "]") + "(";
}

// Reads the page in HTML syntax with an error callback, texts between tags coalesced.
HtmlParse parseHtml(const std::string& page, const std::vector<int>& features = {},
                    const char* defaultCharset = "") {
  HtmlParse out;
  EKPtr<EKXmlParser> parser = newParser(features);
  parser->setParserType(EKN_html, EKN_html);
  parser->setHtmlDefaultCharset(u(defaultCharset));
  parser->setCallbackError(collect, &out.reports);
  std::istringstream in(page);
  UnicodeString text;
  auto flushText = [&] {
    if (!blank(text)) {
      out.tree += quote(text);
      out.texts += (out.texts.empty() ? "" : "|") + utf8(text);
    }
    text.remove();
  };
  try {
    parser->setInput(in, UnicodeString(), UnicodeString());
    long count = 0;
    for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next()) {
      if (++count > EVENT_LIMIT) {
        out.thrown = RUNAWAY;
        break;
      }
      if (event == EKXmlParser::TEXT || event == EKXmlParser::CDSECT) {
        text += parser->getText();
        continue;
      }
      flushText();
      if (event == EKXmlParser::START_TAG) {
        ++out.starts;
        out.maxDepth = std::max(out.maxDepth, parser->getDepth());
        appendStartTag(*parser, out.tree);
      } else if (event == EKXmlParser::END_TAG) {
        ++out.ends;
        out.tree += ")";
      }
    }
  } catch (const EKError& e) {
    out.thrown = e.getErrorCode();
  }
  flushText();
  return out;
}

std::string repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += piece;
  return out;
}

// The text as UTF-16LE after a byte order mark.
std::string utf16le(const char* utf8Text) {
  const UnicodeString text = u(utf8Text);
  std::string out = "\xFF\xFE";
  for (int32_t i = 0; i < text.length(); ++i)
    out += std::string{static_cast<char>(text[i] & 0xFF), static_cast<char>(text[i] >> 8)};
  return out;
}

struct PageCase {
  const char* what;
  std::string page;
  std::string tree;
  std::set<int> reports;
};

TEST(HtmlPages, TagSoupReadsToTheTreeTheRecoveryRulesGive) {
  const PageCase cases[] = {
      {"end tags inside script strings are text",
       R"~(<!DOCTYPE html><html><head><title>Shop</title><script>document.write("</div>"); )~"
       R"~(if (a<b && c) show("<p>");</script></head><body><p>after</p></body></html>)~",
       R"~(html(head(title("Shop")script("document.write(\"</div>\"); if (a<b && c) show(\"<p>\");")))~"
       R"~(body(p("after"))))~",
       {}},
      {"script hidden in a comment comes back whole",
       "<html><head><script><!--\nvar s = \"</p>\";\n// --></script></head><body>x</body></html>",
       R"~(html(head(script("<!--\nvar s = \"</p>\";\n// -->"))body("x")))~", {}},
      {"style content is raw text",
       R"~(<html><head><style>p > a:after { content: "</b>&amp;" }</style></head><body></body></html>)~",
       R"~(html(head(style("p > a:after { content: \"</b>&amp;\" }"))body()))~", {}},
      {"a script that never ends runs to the end of input",
       R"~(<html><body><p>a<script>var s = "</p>"; while (1) {)~",
       R"~(html(body(p("a"script("var s = \"</p>\"; while (1) {")))))~", {}},
      {"comments with double hyphens are kept out of the text",
       "<html><body><p>a<!-- x -- y -->b</p><!-- -- --><p>c</p></body></html>",
       R"~(html(body(p("ab")p("c"))))~", {899}},
      {"attributes without values and unquoted values",
       "<html><body><form action=/search><input type=checkbox name=a checked disabled><select name=s>"
       "<option value=1 selected>One<option value=2>Two</select></form></body></html>",
       R"~(html(body(form[action=/search](input[type=checkbox name=a checked= disabled=]())~"
       R"~(select[name=s](option[value=1 selected=]("One")option[value=2]("Two"))))))~",
       {}},
      {"navigation list with unclosed items in upper case",
       R"~(<html><body><NAV><UL CLASS=Nav><LI class=active><A HREF="/home">Home</A><LI><a href=/tents>Tents</a>)~"
       "</UL></NAV></body></html>",
       R"~(html(body(nav(ul[class=Nav](li[class=active](a[href=/home]("Home"))li(a[href=/tents]("Tents")))))))~",
       {}},
      {"paragraphs left open", "<html><body><p>one<p>two<div>three</div><p>four</body></html>",
       R"~(html(body(p("one")p("two")div("three")p("four"))))~", {}},
      {"table without tbody or closing cells",
       "<html><body><table class=specs><tr><th>Weight<th>Price<tr><td>1.2 kg<td>199</table></body></html>",
       R"~(html(body(table[class=specs](tr(th("Weight")th("Price"))tr(td("1.2 kg")td("199"))))))~", {}},
      {"void elements", R"~(<html><body><p>a<br>b<img src=logo.png alt=""><br></br>c<hr>d</body></html>)~",
       R"~(html(body(p("a"br()"b"img[src=logo.png alt=]()br()"c")hr()"d")))~", {}},
      {"named and numeric character references",
       "<html><body><p>&nbsp;&copy; caf&eacute; &mdash; it&#8217;s &amp; &#X41;&#x42;</p></body></html>",
       R"~(html(body(p("\u{A0}\u{A9} caf\u{E9} \u{2014} it\u{2019}s & AB"))))~", {}},
      {"html, head and body implied", "<!DOCTYPE html><title>T</title><p>x",
       R"~(html(head(title("T"))body(p("x"))))~", {}},
      {"stray end tag becomes an empty element", "<html><body>a</p>b</body></html>",
       R"~(html(body("a"p()"b")))~", {513}},
      {"misnested formatting elements", "<html><body><b><i><u>x</b></i></u>y</body></html>",
       R"~(html(body(b(i(u("x")))i()u()"y")))~", {513}},
      {"svg and math inside html",
       R"~(<html><body><svg viewBox="0 0 10 10"><circle r=5 /></svg><math><mi>x</mi></math></body></html>)~",
       R"~(html(body({svg}svg[viewbox=0 0 10 10]({svg}circle[r=5]()){mathml}math({mathml}mi("x")))))~", {}},
  };
  for (const PageCase& c : cases) {
    const HtmlParse parse = parseHtml(c.page);
    EXPECT_EQ(parse.thrown, -1) << c.what;
    EXPECT_EQ(parse.tree, c.tree) << c.what;
    EXPECT_EQ(parse.reports, c.reports) << c.what;
  }
}

struct CharsetCase {
  const char* what;
  std::string page;
  std::vector<int> features;
  const char* defaultCharset;
  std::string texts; // when the parse reaches the end
  int thrown;
  int reported; // a code the callback must see, 0 for none
};

TEST(HtmlPages, MetaElementsSwitchTheDecodingForTheRestOfThePage) {
  const int rawUnknown = EKXmlParser::FEATURE_RAW_UNKNOWN_ENCODING;
  const CharsetCase cases[] = {
      {"windows-1252 quotes and accents announced by meta charset",
       "<html><head><meta charset=windows-1252><title>Caf\xE9</title></head>"
       "<body><p>\x93Hi\x94 caf\xE9</p></body></html>",
       {}, "", "Caf\u00E9|\u201CHi\u201D caf\u00E9", -1, 0},
      {"Shift_JIS announced by http-equiv Content-Type",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
       "<title>\x93\xFA\x96\x7B</title></head><body><p>\x93\xFA\x96\x7B\x8C\xEA</p></body></html>",
       {}, "", "\u65E5\u672C|\u65E5\u672C\u8A9E", -1, 0},
      {"a built-in decoder announced by meta charset",
       "<html><head><meta charset=\"ISO-8859-2\"></head><body><p>\xB1</p></body></html>", {}, "", "\u0105", -1, 0},
      {"meta charset after a UTF-16 byte order mark changes nothing",
       utf16le("<html><head><meta charset=windows-1252></head><body><p>caf\u00E9 \u201C</p></body></html>"), {},
       "", "caf\u00E9 \u201C", -1, 0},
      {"the default charset applies when no meta names one", "<html><body><p>\x93x\x94</p></body></html>", {},
       "windows-1252", "\u201Cx\u201D", -1, 0},
      {"an unknown charset is a fatal error",
       "<html><head><meta charset=x-no-such-charset><title>T</title></head><body><p>cafe</p></body></html>", {},
       "", "", 128, 181},
      {"an unknown charset reads on when raw fallback is on",
       "<html><head><meta charset=x-no-such-charset><title>T</title></head><body><p>cafe</p></body></html>",
       {rawUnknown}, "", "T|cafe", -1, 0},
  };
  for (const CharsetCase& c : cases) {
    const HtmlParse parse = parseHtml(c.page, c.features, c.defaultCharset);
    EXPECT_EQ(parse.thrown, c.thrown) << c.what;
    if (c.thrown == -1) {
      EXPECT_EQ(parse.texts, c.texts) << c.what;
    }
    if (c.reported) {
      EXPECT_EQ(parse.reports.count(c.reported), 1u) << c.what;
    }
  }
}

struct NestingCase {
  const char* what;
  std::string page;
  int thrown;
  int reported;   // a code the callback must see, 0 for none
  long elements;  // start tags reported, -1 when not fixed by the rules
  int maxDepth;
};

TEST(HtmlPages, PathologicalNestingEndsWithBoundedDepth) {
  const NestingCase cases[] = {
      {"20000 unclosed divs", "<html><body>" + repeat("<div>", 20000) + "x", -1, 0, 20002, 20002},
      {"stray end tags below 20000 open divs", "<html><body>" + repeat("<div>", 20000) + repeat("</span>", 2000),
       -1, 513, 22002, 20003},
      {"misnested formatting repeated", "<html><body>" + repeat("<b><i><u>x</b></i></u>", 5000), -1, 513,
       2 + 5 * 5000, 5},
      {"formatting opened deep and closed misnested",
       "<html><body>" + repeat("<b><i><u>", 3000) + "x" + repeat("</b></i></u>", 3000), -1, 513, -1, 9002},
      {"a comment in a script that never ends", "<html><body><script><!-- var a = 1;", 128, 146, -1, 3},
  };
  for (const NestingCase& c : cases) {
    const HtmlParse parse = parseHtml(c.page);
    EXPECT_EQ(parse.thrown, c.thrown) << c.what;
    if (c.reported) {
      EXPECT_EQ(parse.reports.count(c.reported), 1u) << c.what;
    }
    if (c.thrown == -1) {
      EXPECT_EQ(parse.starts, parse.ends) << c.what;
    }
    if (c.elements >= 0) {
      EXPECT_EQ(parse.starts, c.elements) << c.what;
    }
    EXPECT_EQ(parse.maxDepth, c.maxDepth) << c.what;
  }
}

const char SHOP_PAGE[] = R"~(<!DOCTYPE html>
<html lang=en>
<head>
<meta charset=utf-8>
<title>Northwind &mdash; Tents</title>
<link rel=stylesheet href="/css/site.css?v=2">
<style>nav > ul li a:hover { color: #c00 } .price:before { content: "<" }</style>
<script>if (document.cookie.indexOf("seen") < 0 && w > 600) document.write("<div class=\"banner\">Hi</div>");</script>
</head>
<body class="shop page">
<!-- header -- top -->
<nav><ul class=nav><li class=active><a href=/home>Home</a>
<li><a href="/tents?sort=price&amp;page=2">Tents</a></ul></nav>
<form action=/search><input type=text name=q placeholder="Search&hellip;"><input type=checkbox checked disabled></form>
<h1>Tents &amp; shelters</h1>
<p>Caf&eacute; prices&nbsp;&copy; 2024 &mdash; it&#8217;s <b>new</b><br>Second line
<p>Weights:<img src=/img/t1.jpg alt="" width=64>
<table><tr><th>Model<th>Weight<tr><td>Trail 2<td>1.2 kg</table>
<SCRIPT>var s = "</span>"; if (i < 3) track('a&b');</SCRIPT>
</body>
</html>
)~";

const char FOREIGN_PAGE[] = "<!DOCTYPE html><html><body><p>Chart:<svg width=20><g><rect width=5 height=5 /></g></svg>"
                            "<math><mfrac><mi>a</mi><mn>2</mn></mfrac></math><p>end</body></html>";

// Every element is in the XHTML namespace, except svg and math and what they contain, which are
// in the SVG and MathML namespaces.
void expectHtmlNamespaces(EKNode* root, const char* what) {
  for (EKTreeIterator it(root); EKNode* node = it.nextNode();) {
    if (!node->isElementNode())
      continue;
    EKName expected = node->getLocalName() == EKN_svg ? SVG : node->getLocalName() == EKN_math ? MATHML : XHTML;
    EKNode* parent = node->getParentNode();
    if (expected == XHTML && parent && parent->isElementNode() && parent->getNamespaceUri() != XHTML)
      expected = parent->getNamespaceUri();
    EXPECT_EQ(utf8(node->getNamespaceUri()), utf8(expected)) << what << ": " << utf8(node->getLocalName());
  }
}

struct SaveCase {
  const char* what;
  const char* page;
  bool detect;                        // HTML found from the content type instead of being set
  std::vector<std::string> fragments; // in the form of the reloaded tree
};

TEST(HtmlPages, LoadedPagesSaveAsWellFormedXhtml) {
  const SaveCase cases[] = {
      {"shop page", SHOP_PAGE, false,
       {"Caf\u00E9 prices\u00A0\u00A9 2024 \u2014 it\u2019s ", "if (i < 3) track('a&b');", "}input type=\"checkbox\"",
        "Search\u2026"}},
      {"shop page served as text/html", SHOP_PAGE, true, {"}td>", "Trail 2"}},
      {"page with svg and math", FOREIGN_PAGE, false, {"<{http://www.w3.org/2000/svg}rect", "end"}},
  };
  for (const SaveCase& c : cases) {
    std::set<int> reports;
    EKPtr<EKDocument> html(new EKDocument());
    EKXmlParser* parser = html->getParser();
    parser->setCallbackError(collect, &reports);
    EKUri::ContentInfo info;
    info.contentType = u("text/html");
    if (c.detect)
      parser->setStreamType(&info, u("html"));
    else
      parser->setParserType(EKN_html, EKN_html);
    std::istringstream in(c.page);
    ASSERT_NO_THROW(html->load(in, nullptr, u("page.html"))) << c.what;
    ASSERT_NE(html->getDocumentElement(), nullptr) << c.what;

    std::ostringstream saved;
    html->save(saved);
    EKPtr<EKDocument> xml(new EKDocument());
    xml->getParser()->setParserType(EKN_xml, EKName());
    std::istringstream reread(saved.str());
    ASSERT_NO_THROW(xml->load(reread, nullptr, u("page.xhtml"))) << c.what << "\n" << saved.str();
    // Names and texts alike; the namespace declarations are implied in one tree and written in the
    // other.
    const std::string form = domform::treeForm(xml->getDocumentElement(), false);
    EXPECT_EQ(form, domform::treeForm(html->getDocumentElement(), false)) << c.what;
    expectHtmlNamespaces(xml.get(), c.what);
    for (const std::string& fragment : c.fragments)
      EXPECT_NE(form.find(fragment), std::string::npos) << c.what << ": " << fragment;
  }
}

} // namespace
