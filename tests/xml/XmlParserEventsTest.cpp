#include "xml/XmlTestUtil.h"

using namespace xmltest;

namespace {

struct Case {
  std::string document;
  Options run;
  std::vector<std::string> expected;
};

void check(const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(events(c.document, c.run), c.expected) << c.document << (c.run.mode == TOKEN ? " (nextToken)" : " (next)");
}

const Options token{TOKEN, {}};

// The text encoded as UTF-16 or UTF-32 code units in either byte order, with or without a mark.
std::string encode(const char* utf8Text, int unitSize, bool littleEndian, bool mark) {
  const UnicodeString text = (mark ? UnicodeString(static_cast<UChar32>(0xFEFF)) : UnicodeString()) + u(utf8Text);
  std::string out;
  auto put = [&](uint32_t unit) {
    for (int i = 0; i < unitSize; ++i)
      out += static_cast<char>(unit >> 8 * (littleEndian ? i : unitSize - 1 - i));
  };
  for (int32_t i = 0; i < text.length(); i = unitSize == 2 ? i + 1 : text.moveIndex32(i, 1))
    put(unitSize == 2 ? static_cast<uint32_t>(text.charAt(i)) : static_cast<uint32_t>(text.char32At(i)));
  return out;
}

TEST(XmlParserEvents, NextCoalescesWhatNextTokenReportsOneByOne) {
  const std::string mixed = "<a>x<!--c-->y<![CDATA[<z>]]>&gt;&#x41;<?pi d?>w</a>";
  const std::string prolog = "<?xml version='1.0'?><!DOCTYPE a><!--c--><?pi d?><a>t<![CDATA[c]]>&gt;<!--x--><?q r s?></a>";
  check({
      {mixed, {}, {"START_TAG d1 a", R"(TEXT "xy<z>>Aw")", "END_TAG d1 a"}},
      {mixed, {NEXT, {8}}, {"START_TAG d1 a", R"(TEXT "xy<z>>A")", R"(PROCESSING_INSTRUCTION pi "d")", R"(TEXT "w")", "END_TAG d1 a"}},
      {mixed, token,
       {"START_TAG d1 a", R"(TEXT "x")", R"(COMMENT "c")", R"(TEXT "y")", R"(CDSECT "<z>")", R"(ENTITY_REF gt ">")",
        R"(ENTITY_REF #x41 "A")", R"(PROCESSING_INSTRUCTION pi "d")", R"(TEXT "w")", "END_TAG d1 a"}},
      {prolog, {}, {"START_TAG d1 a", R"(TEXT "tc>")", "END_TAG d1 a"}},
      {prolog, {NEXT, {8}}, {R"(PROCESSING_INSTRUCTION pi "d")", "START_TAG d1 a", R"(TEXT "tc>")", R"(PROCESSING_INSTRUCTION q "r s")", "END_TAG d1 a"}},
      {prolog, token,
       {"DOCDECL", R"(COMMENT "c")", R"(PROCESSING_INSTRUCTION pi "d")", "START_TAG d1 a", R"(TEXT "t")", R"(CDSECT "c")",
        R"(ENTITY_REF gt ">")", R"(COMMENT "x")", R"(PROCESSING_INSTRUCTION q "r s")", "END_TAG d1 a"}},
      // "]]>" may be produced by adjacent sections; only written as character data is it wrong.
      {"<a><![CDATA[]]]]><![CDATA[>]]></a>", {}, {"START_TAG d1 a", R"(TEXT "]]>")", "END_TAG d1 a"}},
      {"<a><![CDATA[]]]]><![CDATA[>]]></a>", token, {"START_TAG d1 a", R"(CDSECT "]]")", R"(CDSECT ">")", "END_TAG d1 a"}},
      {"<a><!----><![CDATA[]]></a>", token, {"START_TAG d1 a", R"(COMMENT "")", R"(CDSECT "")", "END_TAG d1 a"}},
  });
}

TEST(XmlParserEvents, DepthAndEmptyElementTags) {
  const std::string doc = "<a><b/>t<c x='1'><d/></c></a>";
  const std::vector<std::string> expected = {
      "START_TAG d1 a", "START_TAG d2 b /", "END_TAG d2 b", R"(TEXT "t")",         "START_TAG d2 c x=\"1\"",
      "START_TAG d3 d /", "END_TAG d3 d",  "END_TAG d2 c", "END_TAG d1 a"};
  check({{doc, {}, expected}, {doc, token, expected}, {"<a/>", token, {"START_TAG d1 a /", "END_TAG d1 a"}}});

  // The end tag of <b/> comes without reading input: the position stays; after it the depth drops.
  std::istringstream in("<a>\n  <b/>\n</a>");
  EKPtr<EKXmlParser> p = newParser({});
  p->setInput(in, UnicodeString(), UnicodeString());
  EXPECT_EQ(p->getEventType(), EKXmlParser::START_DOCUMENT);
  EXPECT_EQ(p->getDepth(), 0);
  while (p->nextToken() != EKXmlParser::START_TAG || p->getName() != name("b")) {
  }
  EXPECT_TRUE(p->isEmptyElementTag());
  const int line = p->getLineNumber(), column = p->getColumnNumber();
  EXPECT_EQ(line, 2);
  ASSERT_EQ(p->nextToken(), EKXmlParser::END_TAG);
  EXPECT_EQ(p->getName(), name("b"));
  EXPECT_EQ(p->getDepth(), 2);
  EXPECT_EQ(p->getLineNumber(), line);
  EXPECT_EQ(p->getColumnNumber(), column);
  EXPECT_EQ(p->nextToken(), EKXmlParser::TEXT);
  EXPECT_EQ(p->getDepth(), 1);
  EXPECT_EQ(p->nextToken(), EKXmlParser::END_TAG);
  EXPECT_EQ(p->getDepth(), 1);
  EXPECT_EQ(p->nextToken(), EKXmlParser::END_DOCUMENT);
  EXPECT_EQ(p->getDepth(), 0);
}

TEST(XmlParserEvents, Namespaces) {
  check({
      {"<p:a xmlns:p='urn:p' xmlns='urn:d'><b q='1' p:r='2'><c xmlns=''><p:e/></c></b></p:a>",
       {},
       {"START_TAG d1 ns2 {urn:p}p:a", R"(START_TAG d2 {urn:d}b q="1" {urn:p}p:r="2")", "START_TAG d3 ns1 c",
        "START_TAG d4 {urn:p}p:e /", "END_TAG d4 {urn:p}p:e", "END_TAG d3 c", "END_TAG d2 {urn:d}b", "END_TAG d1 {urn:p}p:a"}},
      // A redeclaration with the same URI declares nothing; a new URI does.
      {"<a xmlns:p='urn:p'><p:b xmlns:p='urn:p'><p:c xmlns:p='urn:q'/></p:b></a>",
       {},
       {"START_TAG d1 ns1 a", "START_TAG d2 {urn:p}p:b", "START_TAG d3 ns1 {urn:q}p:c /", "END_TAG d3 {urn:q}p:c",
        "END_TAG d2 {urn:p}p:b", "END_TAG d1 a"}},
      // Unprefixed attributes have no namespace, whatever the default; xml: is always bound.
      {"<a xmlns='urn:d' x='1' xml:lang='en'/>",
       {},
       {R"(START_TAG d1 ns1 {urn:d}a x="1" {http://www.w3.org/XML/1998/namespace}xml:lang="en" /)", "END_TAG d1 {urn:d}a"}},
      {"<a xmlns:p='urn:p' p:x='1' xmlns:q='urn:p' q:x='2'/>", {}, {"ERROR 136 Duplicate attribute: q:x"}},
      {"<p:a/>", {}, {"ERROR 135 Undeclared namespace prefix: p"}},
      {"<p:a/>", {NEXT, {10}}, {"START_TAG d1 p:a /", "END_TAG d1 p:a"}},
      {"<a p:x='1'/>", {}, {"ERROR 135 Undeclared namespace prefix: p"}},
      {"<a p:x='1'/>", {NEXT, {2}}, {R"(START_TAG d1 a {p}p:x="1" /)", "END_TAG d1 a"}},
  });

  // Counts are per scope; positions list the innermost scope's own bindings.
  std::istringstream in("<a xmlns='urn:a' xmlns:p='urn:p'><b xmlns:p='urn:p'><p:c xmlns='' xmlns:q='urn:q'/></b></a>");
  EKPtr<EKXmlParser> p = newParser({});
  p->setInput(in, UnicodeString(), UnicodeString());
  while (p->next() != EKXmlParser::START_TAG || p->getDepth() < 3) {
  }
  EXPECT_EQ(p->getNamespaceCount(0), 2);
  EXPECT_EQ(p->getNamespaceCount(1), 2);
  EXPECT_EQ(p->getNamespaceCount(2), 0);
  EXPECT_EQ(p->getNamespaceCount(3), 2);
  EXPECT_EQ(p->getNamespace(), name("urn:p"));
  EXPECT_TRUE(p->getNamespace(EKName()).isEmpty()) << "xmlns='' undeclares the default";
  EXPECT_EQ(p->getNamespace(name("q")), name("urn:q"));
  EXPECT_EQ(p->getNamespace(EKN_xml), EKN_http_www_w3_org_XML_1998_namespace);
  EXPECT_TRUE(p->getNamespacePrefix(0).isEmpty());
  EXPECT_TRUE(p->getNamespaceUri(0).isEmpty());
  EXPECT_EQ(p->getNamespacePrefix(1), name("q"));
  EXPECT_EQ(p->getNamespaceUri(1), name("urn:q"));
  EXPECT_EQ(p->next(), EKXmlParser::END_TAG);
  EXPECT_EQ(p->next(), EKXmlParser::END_TAG);
  EXPECT_EQ(p->getNamespace(EKName()), name("urn:a"));
}

TEST(XmlParserEvents, AttributeValuesAreNormalised) {
  check({
      {"<!DOCTYPE d [<!ENTITY t 'a&#9;b'><!ENTITY r '&lt;&#38;#38;'>]>"
       "<d x='1&#9;2\t3\n4\r\n5&#10;6&#13;7' y=\"&t;|&r;|&quot;&apos;&gt;\" z=''/>",
       {},
       {R"(START_TAG d1 d x="1\t2 3 4 5\n6\r7" y="a b|<&|\"'>" z="" /)", "END_TAG d1 d"}},
      {"<d x='\"' y=\"'\"/>", {}, {R"(START_TAG d1 d x="\"" y="'" /)", "END_TAG d1 d"}},
  });
}

TEST(XmlParserEvents, EntitiesAndCharacterReferences) {
  const std::string markup = "<!DOCTYPE d [<!ENTITY f 'y'><!ENTITY e '<b>x&f;</b>'>]><d>&e;</d>";
  check({
      {markup, {}, {"START_TAG d1 d", "START_TAG d2 b", R"(TEXT "xy")", "END_TAG d2 b", "END_TAG d1 d"}},
      {markup, token, {"DOCDECL", "START_TAG d1 d", R"(ENTITY_REF e "<b>x&f;</b>")", "END_TAG d1 d"}},
      // Predefined entities and character references never start markup, also from an entity.
      {"<!DOCTYPE d [<!ENTITY l '&#38;lt;'><!ENTITY m '&lt;c/>'>]><d>&lt;b&gt;|&l;|&m;</d>",
       {},
       {"START_TAG d1 d", R"(TEXT "<b>|<|<c/>")", "END_TAG d1 d"}},
      {"<!DOCTYPE d [<!ENTITY a '1'><!ENTITY a '2'>]><d>&a;</d>", {}, {"START_TAG d1 d", R"(TEXT "1")", "END_TAG d1 d"}},
      {"<!DOCTYPE d [<!ENTITY e-1.x_2 'ok'>]><d>&e-1.x_2;</d>", {}, {"START_TAG d1 d", R"(TEXT "ok")", "END_TAG d1 d"}},
      // A general reference to a name not yet declared is kept as its own text.
      {"<!DOCTYPE d [<!ENTITY e 'a&u;b'>]><d>&e;</d>", {}, {"START_TAG d1 d", R"(TEXT "a&u;b")", "END_TAG d1 d"}},
      {"<!DOCTYPE d [<!ENTITY % p '<!ENTITY e \"pe\">'><!ENTITY % v 'val'>%p;<!ENTITY g 'x%v;y'>]><d>&e;&g;</d>",
       {},
       {"START_TAG d1 d", R"(TEXT "pexvaly")", "END_TAG d1 d"}},
      {"<d>&#65;&#x1F600;&#10;&#xe9;&#233;</d>", {}, {"START_TAG d1 d", R"(TEXT "A\u{1F600}\n\u{E9}\u{E9}")", "END_TAG d1 d"}},
      {"<d>&#65;&#x1f600;&#10;&gt;&apos;&quot;&u;</d>",
       token,
       {"START_TAG d1 d", R"(ENTITY_REF #x41 "A")", R"(ENTITY_REF #x1F600 "\u{1F600}")", R"(ENTITY_REF #xA "\n")",
        R"(ENTITY_REF gt ">")", R"(ENTITY_REF apos "'")", R"(ENTITY_REF quot "\"")", "ENTITY_REF u null", "END_TAG d1 d"}},
  });

  // Entities defined by the host; a redefinition replaces.
  std::istringstream in("<d>&h;</d>");
  EKPtr<EKXmlParser> p = newParser({});
  std::vector<std::string> lines;
  p->setInput(in, UnicodeString(), UnicodeString());
  p->defineEntityReplacementText(name("h"), u"first");
  p->defineEntityReplacementText(name("h"), u"<i>2</i>");
  drain(*p, {}, lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"START_TAG d1 d", "START_TAG d2 i", R"(TEXT "2")", "END_TAG d2 i", "END_TAG d1 d"}));
}

TEST(XmlParserEvents, EndOfLineAndTopLevelWhitespace) {
  check({
      {"<d>1\r\n2\r3\n4\r\r\n5</d>", {}, {"START_TAG d1 d", R"(TEXT "1\n2\n3\n4\n\n5")", "END_TAG d1 d"}},
      {"<d>x\xC2\x85y\xE2\x80\xA8z</d>", {}, {"START_TAG d1 d", R"(TEXT "x\u{85}y\u{2028}z")", "END_TAG d1 d"}},
      {"<?xml version='1.1'?><d>x\xC2\x85y\xE2\x80\xA8z\r\xC2\x85w</d>", {}, {"START_TAG d1 d", R"(TEXT "x\ny\nz\nw")", "END_TAG d1 d"}},
      {"\r\n <!--c-->\t<?pi x?>\n<d/>\n \t<!--e-->\r", {}, {"START_TAG d1 d /", "END_TAG d1 d"}},
      {" <d/>", token, {"START_TAG d1 d /", "END_TAG d1 d"}},
  });
  std::istringstream in("<d>\r\n\r<e/>\r\n</d>");
  EKPtr<EKXmlParser> p = newParser({});
  p->setInput(in, UnicodeString(), UnicodeString());
  while (p->next() != EKXmlParser::START_TAG || p->getDepth() < 2) {
  }
  EXPECT_EQ(p->getLineNumber(), 3);
}

TEST(XmlParserEvents, Encodings) {
  const Options enc{NEXT, {}, "", true};
  const std::vector<std::string> eAcute = {"START_TAG d1 a", R"(TEXT "\u{E9}")", "END_TAG d1 a"};
  auto with = [&](const char* encoding) {
    std::vector<std::string> lines = {std::string("ENCODING ") + encoding};
    lines.insert(lines.end(), eAcute.begin(), eAcute.end());
    return lines;
  };
  check({
      {"\xEF\xBB\xBF<a>\xC3\xA9</a>", enc, with("UTF-8")},
      {"<a>\xC3\xA9</a>", enc, with("UTF-8")},
      {encode("<a>\xC3\xA9</a>", 2, true, true), enc, with("UTF-16")},
      {encode("<a>\xC3\xA9</a>", 2, false, true), enc, with("UTF-16")},
      {encode("<a>\xC3\xA9</a>", 2, true, false), enc, with("UTF-16LE")},
      {encode("<a>\xC3\xA9</a>", 2, false, false), enc, with("UTF-16BE")},
      {encode("<a>\xC3\xA9</a>", 4, true, true), enc, with("UTF-32")},
      {encode("<?xml version='1.0' encoding='UTF-16'?><a>\xC3\xA9</a>", 2, true, true), enc, with("UTF-16")},
      // Recognised from the first bytes: the declaration cannot switch away from UTF-16.
      {encode("<?xml version='1.0' encoding='ISO-8859-1'?><a>\xC3\xA9</a>", 2, true, false), enc, with("UTF-16LE")},
      {"<?xml version='1.0' encoding='latin1'?><a>\xE9</a>", enc, with("ISO-8859-1")},
      {"<?xml version='1.0' encoding=' LATIN1 '?><a>\xE9</a>", enc, with("ISO-8859-1")},
      {"<?xml version='1.0' encoding='ISO-8859-7'?><a>\xE1\xC1</a>",
       enc,
       {"ENCODING ISO-8859-7", "START_TAG d1 a", R"(TEXT "\u{3B1}\u{391}")", "END_TAG d1 a"}},
      {"<?xml version='1.0' encoding='Shift_JIS'?><a>\x93\xFA\x96\x7B</a>",
       enc,
       {"ENCODING WINDOWS31J", "START_TAG d1 a", R"(TEXT "\u{65E5}\u{672C}")", "END_TAG d1 a"}},
      {"<?xml version='1.0' encoding='X-BOGUS-ENC'?><a>\xC3\xA9</a>", enc, {"ERROR 181 Unknown or unsupported encoding: X-BOGUS-ENC."}},
      {"<?xml version='1.0' encoding='X-BOGUS-ENC'?><a>\xC3\xA9</a>", {NEXT, {4}}, eAcute},
      {"<?xml version='1.0' encoding='UTF-8'?><a>\xC3\xA9</a>", {NEXT, {5}, "", true}, with("UTF-8")},
  });
  // Only the built-in decoders pass feature 5.
  const std::vector<std::string> lines = events("<?xml version='1.0' encoding='Shift_JIS'?><a/>", {NEXT, {5}});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("ERROR 181 Unknown or unsupported encoding: ", 0), 0u) << lines[0];
}

TEST(XmlParserEvents, BuiltinEntitySets) {
  const std::string xhtmlDTD = "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd";
  const std::vector<std::string> nbsp = {"START_TAG d1 doc", R"(TEXT "\u{A0}\u{E9}")", "END_TAG d1 doc"};
  const std::string undefined = "ERROR 158 Reference to undefined entity: &";
  check({
      {"<math xmlns='http://www.w3.org/1998/Math/MathML'><mi>&alpha;&NotEqualTilde;</mi></math>",
       {},
       {"START_TAG d1 ns1 {http://www.w3.org/1998/Math/MathML}math", "START_TAG d2 {http://www.w3.org/1998/Math/MathML}mi",
        R"(TEXT "\u{3B1}\u{2242}\u{338}")", "END_TAG d2 {http://www.w3.org/1998/Math/MathML}mi",
        "END_TAG d1 {http://www.w3.org/1998/Math/MathML}math"}},
      {"<math xmlns='http://www.w3.org/1998/Math/MathML'>&alpha;</math>", {NEXT, {0}},
       {"START_TAG d1 ns1 {http://www.w3.org/1998/Math/MathML}math", undefined + "alpha;"}},
      {"<!DOCTYPE math><math xmlns='http://www.w3.org/1998/Math/MathML'>&alpha;</math>", {},
       {"START_TAG d1 ns1 {http://www.w3.org/1998/Math/MathML}math", undefined + "alpha;"}},
      {"<m:math xmlns:m='urn:not-mathml'>&alpha;</m:math>", {}, {"START_TAG d1 ns1 {urn:not-mathml}m:math", undefined + "alpha;"}},
      // A nested math element has the names only until its end tag.
      {"<doc><m:math xmlns:m='http://www.w3.org/1998/Math/MathML'>&alpha;</m:math>&alpha;</doc>",
       {},
       {"START_TAG d1 doc", "START_TAG d2 ns1 {http://www.w3.org/1998/Math/MathML}m:math", R"(TEXT "\u{3B1}")",
        "END_TAG d2 {http://www.w3.org/1998/Math/MathML}m:math", undefined + "alpha;"}},
      {"<doc>&alpha;<m:math xmlns:m='http://www.w3.org/1998/Math/MathML'/></doc>", {}, {"START_TAG d1 doc", undefined + "alpha;"}},
      {"<!DOCTYPE doc SYSTEM '" + xhtmlDTD + "'><doc>&nbsp;&eacute;</doc>", {}, nbsp},
      {"<!DOCTYPE doc PUBLIC '-//W3C//DTD XHTML 1.0 Strict//EN' '" + xhtmlDTD + "'><doc>&nbsp;&eacute;</doc>", {}, nbsp},
      {"<!DOCTYPE doc SYSTEM '" + xhtmlDTD + "'><doc>&nbsp;</doc>", {NEXT, {0}}, {"START_TAG d1 doc", undefined + "nbsp;"}},
      {"<!DOCTYPE doc [<!ENTITY nbsp 'mine'>]><doc>&nbsp;</doc>", {}, {"START_TAG d1 doc", R"(TEXT "mine")", "END_TAG d1 doc"}},
  });
}

TEST(XmlParserEvents, PlainTextParserTypeReadsEverythingAsOneText) {
  for (bool tokens : {false, true}) {
    std::istringstream in("<?xml version='1.0'?><a>&amp; ]]> \r\n</b>");
    EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
    parser->setParserType(EKN_text_n1461, EKN_html);
    parser->setInput(in, UnicodeString(), UnicodeString());
    EXPECT_EQ(tokens ? parser->nextToken() : parser->next(), EKXmlParser::TEXT);
    EXPECT_EQ(parser->getText(), u("<?xml version='1.0'?><a>&amp; ]]> \n</b>"));
    EXPECT_FALSE(parser->hasXmlDecl());
    EXPECT_EQ(parser->next(), EKXmlParser::END_DOCUMENT);
  }
}

} // namespace
