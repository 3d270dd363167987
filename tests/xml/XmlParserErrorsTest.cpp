#include "xml/XmlTestUtil.h"

#include <chrono>
#include <functional>
#include <regex>

using namespace xmltest;

namespace {

// The first report of a parse: thrown, queued or handed to the callback.
struct Report {
  int code = 0;
  std::string message; // raw message
  int line = -1, column = -1;
  bool thrown = false;
  int unwound = 0; // with a callback: what was thrown afterwards (code 0 when nothing)
  std::string unwoundMessage;
  int unwoundLine = -1;
};

void keepFirst(const EKError& e, void* report) {
  Report& r = *static_cast<Report*>(report);
  if (r.code == 0)
    r = {e.getErrorCode(), utf8(e.getRawMessage()), e.getLineNumber(), e.getColumnNumber(), false, 0, "", -1};
}

Report firstReport(const std::string& document, const std::vector<int>& features, bool callback,
                   const std::function<void(EKXmlParser&)>& prepare = {}) {
  std::istringstream in(document);
  EKPtr<EKXmlParser> p = newParser(features);
  Report r;
  if (callback)
    p->setCallbackError(keepFirst, &r);
  try {
    p->setInput(in, UnicodeString(), UnicodeString());
    if (prepare)
      prepare(*p);
    for (int guard = 0; guard < 1000 && p->next() != EKXmlParser::END_DOCUMENT; ++guard) {
    }
  } catch (const EKError& e) {
    if (callback)
      r.unwound = e.getErrorCode(), r.unwoundMessage = utf8(e.getRawMessage()), r.unwoundLine = e.getLineNumber();
    else
      r = {e.getErrorCode(), utf8(e.getRawMessage()), e.getLineNumber(), e.getColumnNumber(), true, 0, "", -1};
    return r;
  }
  EKError queued;
  if (!callback && p->popError(queued))
    r = {queued.getErrorCode(), utf8(queued.getRawMessage()), queued.getLineNumber(), queued.getColumnNumber(), false, 0, "", -1};
  return r;
}

bool matches(const std::string& message, const std::string& expected) {
  if (!expected.empty() && expected.back() == '*')
    return message.rfind(expected.substr(0, expected.size() - 1), 0) == 0;
  return message == expected;
}

std::string utf16leWithMark(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii)
    out += std::string(1, c) + '\0';
  return out;
}

struct ErrorCase {
  std::string document;
  std::vector<int> features;
  int code;            // as the callback sees it
  int strict;          // without a callback
  std::string message; // a trailing * matches any rest
};

// Fatal codes throw with their own code and the position after a line feed without a callback,
// and reach the callback before an empty EKError 128 unwinds the parse with one. Warnings reach
// the callback and the parse goes on; without a callback some become fatal, the others wait in
// the queue.
TEST(XmlParserErrors, CodesAndMessages) {
  const std::vector<ErrorCase> cases = {
      {"<a>", {}, 129, 129, "Missing end tag."},
      {"<a/><b/>", {}, 130, 130, "Only one top level element is allowed."},
      {"<!DOCTYPE 1a><a/>", {}, 131, 131, "Invalid root tag name after '<!DOCTYPE'."},
      {"<a></>", {}, 133, 133, "Invalid end tag name."},
      {"<a></b>", {}, 134, 134, "End tag </b> does not match the start tag <a>."},
      {"<p:a xmlns:p='u'></q:a>", {}, 134, 134, "End tag </q:a> does not match the start tag <p:a>."},
      {"<a p:x='1'/>", {}, 135, 135, "Undeclared namespace prefix: p"},
      {"<a x='1' x='2'/>", {}, 136, 136, "Duplicate attribute: x"},
      {"<a x/>", {}, 138, 138, "Missing '=' after attribute name."},
      {"<a x='1'y='2'/>", {}, 139, 139, "Missing whitespace between attributes."},
      {"<a x='1' ?/>", {}, 140, 140, "Unexpected character: ?"},
      {"<a></ a>", {}, 141, 141, "Unexpected whitespace after '</'."},
      {"x<a/>", {}, 142, 142, "Unexpected text at top level of the XML document: U+0078 (x)"},
      {"<a/>\xC2\xA0", {}, 142, 142, "Unexpected text at top level of the XML document: U+00A0 (\xC2\xA0)"},
      {"<a>a]]>b</a>", {}, 144, 144, "Unexpected ']]>'."},
      {"<a><![CDATA[x", {}, 145, 145, "Unexpected end of input while looking for CDATA section terminator ']]>'."},
      {"<a><!-- x", {}, 146, 146, "Unexpected end of input while looking for comment terminator '-->'."},
      {"<a><!DOCTYPE a></a>", {}, 148, 148, "Unexpected DOCTYPE declaration outside of prolog."},
      {"<!DOCTYPE a><!DOCTYPE a><a/>", {}, 149, 149, "Cannot have multiple DOCTYPE declarations."},
      {"<!DOCTYPE a SYSTEM'x'><a/>", {}, 150, 150, "Missing whitespace after '*"},
      {"<!DOCTYPE a FOO 'x'><a/>", {}, 151, 151, "External ID is expected after '*"},
      {"<!DOCTYPE a PUBLIC x><a/>", {}, 152, 152, "PubidLiteral is expected after '*"},
      {"<!DOCTYPE a SYSTEM x><a/>", {}, 153, 153, "SystemLiteral is expected after '*"},
      {"<!DOCTYPE a [", {}, 154, 154, "Unexpected end of input in DOCTYPE declaration."},
      {"<a>&;</a>", {}, 155, 155, "Empty entity name."},
      {"<a>&b c;</a>", {}, 156, 156, "Invalid character in entity reference: *"},
      {"<!DOCTYPE a [%p;]><a/>", {}, 514, 157, "Reference to undefined entity: %p;"},
      {"<a>&u;</a>", {}, 515, 158, "Reference to undefined entity: &u;"},
      {"<!DOCTYPE a [<!ENTITY 'x'>]><a/>", {}, 159, 159, "Entity name is expected after '<!ENTITY'."},
      {"<!DOCTYPE a [<!ENTITY % 'x'>]><a/>", {}, 159, 159, "Entity name is expected after '<!ENTITY %'."},
      {"<!DOCTYPE a [<!ENTITY e SYSTEM 'u' FOO n>]><a/>", {}, 160, 160, "NDATA is expected after '<!ENTITY e ... \"u\"'."},
      {" <?xml version='1.0'?><a/>", {}, 161, 161, "Unexpected XML declaration."},
      {"<?xml encoding='UTF-8'?><a/>", {}, 162, 162, "Missing 'version=' after '<?xml ' in XML declaration."},
      {"<?xml version'1.0'?><a/>", {}, 163, 163, "Missing '=' after 'version' in XML declaration."},
      {"<?xml version='2.0'?><a/>", {}, 166, 166, "Unsupported XML version: 2.0"},
      {"<?xml version='1.0' standalone='maybe'?><a/>", {}, 167, 167, "Invalid standalone declaration in XML declaration."},
      {"<a><![CDATA x]]></a>", {}, 168, 168, "Invalid syntax in CDATA section."},
      {"<a><!-x--></a>", {}, 169, 169, "Invalid syntax in comment."},
      {"<a><!FOO></a>", {}, 170, 170, "Unexpected '<!FOO'."},
      {"<!doctype a><a/>", {}, 170, 170, "Unexpected '<!doctype'."},
      {"<a><?XML x?></a>", {}, 171, 171, "The name 'xml' must be lower case: <?XML"},
      {"<a><?pi/x?></a>", {}, 172, 172, "Missing whitespace after PI target: <?pi"},
      {"<a><?pi x", {}, 173, 173, "Unexpected end of input while looking for PI terminator '?>'."},
      {"<a x=1/>", {}, 174, 174, "Missing quotation character (\" or ')."},
      {"<a x=\"1", {}, 175, 175, "Unexpected end of input while looking for literal terminator (\")."},
      {"<a x='<'/>", {}, 176, 176, "Unexpected '<' in attribute value."},
      {"<!DOCTYPE a [<!ENTITY e 'x&#60;y'>]><a v='&e;'/>", {}, 176, 176, "Unexpected '<' in attribute value."},
      {"<a>&#1 2;</a>", {}, 177, 177, "Unexpected whitespace in character reference: &#*"},
      {"<a>&#x4G;</a>", {}, 178, 178, "Invalid character in character reference: &#*"},
      {"<a>&#0;</a>", {}, 179, 179, "Invalid Unicode character: *"},
      {"<a>\x01</a>", {}, 179, 179, "Invalid Unicode character: U+0001"},
      {"<a>\xEF\xBF\xBE</a>", {}, 179, 179, "Invalid Unicode character: U+FFFE"},
      {"<a>\x01\xEF\xBF\xBE</a>", {7}, 0, 0, ""},
      {"\xEF\xBB<a/>", {}, 180, 180, "Invalid character."},
      {"<a", {}, 183, 183, "Unclosed tag: *"},
      {utf16leWithMark("<?xml version='1.0' encoding='UTF-8'?><a/>"), {}, 185, 185, "Conflict encoding: UTF-8."},
      {"<a></a x>", {}, 769, 769, "Unexpected character: x"},
      {"<a><!-- a--b --></a>", {}, 771, 771, "Unexpected character '--' in comment"},
      {"<a><!-->x--></a>", {}, 897, 140, "Unexpected character: >"},
      {"<!DOCTYPE a [<!ENTITY e SYSTEM 'e.xml'>]><a>&e;</a>", {9}, 516, 516, "External entity is not allowed: '<!ENTITY e ... \"e.xml\"'."},
      {"<p:a/>", {10}, 0, 0, ""},
      {"<a p:x='1'/>", {2}, 0, 0, ""},
  };
  const std::regex position(R"(\n[A-Z_]+(, Line [0-9]+)?(, Col [0-9]+)?\.$)");
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.document);
    const Report strict = firstReport(c.document, c.features, false);
    EXPECT_EQ(strict.code, c.strict);
    EXPECT_EQ(strict.thrown, c.strict != 0 && getErrorLevel(static_cast<unsigned short>(c.strict)) == 0);
    EXPECT_TRUE(matches(strict.message.substr(0, strict.message.find('\n')), c.message)) << strict.message;
    if (c.strict != 0) {
      EXPECT_TRUE(std::regex_search(strict.message, position)) << "position after a line feed: " << strict.message;
    }
    if (strict.thrown) {
      EXPECT_EQ(strict.line, -1) << "the position is in the message";
    }

    const Report called = firstReport(c.document, c.features, true);
    EXPECT_EQ(called.code, c.code);
    EXPECT_TRUE(matches(called.message, c.message)) << called.message;
    const bool fatal = c.code != 0 && getErrorLevel(static_cast<unsigned short>(c.code)) == 0;
    EXPECT_EQ(called.unwound, fatal ? 128 : 0) << called.unwoundMessage;
    if (fatal) {
      EXPECT_EQ(called.unwoundMessage, "");
      EXPECT_EQ(called.unwoundLine, -1);
      EXPECT_GT(called.line, 0) << "the callback gets the position";
    }
  }
}

TEST(XmlParserErrors, Positions) {
  Report r = firstReport("<a>\nxy\x01</a>", {}, true);
  EXPECT_EQ(r.code, 179);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.column, 2) << "the invalid character is not counted";
  r = firstReport("<a>\nxy\x01</a>", {6}, false);
  EXPECT_EQ(r.message, "Invalid Unicode character: U+0001") << "no position description, so no line feed";
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.column, 2);

  std::istringstream in("<a>\nxy\x01</a>");
  EKPtr<EKXmlParser> p = newParser({});
  p->setInput(in, UnicodeString(), u"/docs/in.xml");
  try {
    p->next();
    p->next();
    ADD_FAILURE() << "no error";
  } catch (const EKError& e) {
    const std::string message = utf8(e.getRawMessage()), tail = ", '/docs/in.xml', Line 2, Col 2.";
    ASSERT_GT(message.size(), tail.size());
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail) << message;
  }

  EXPECT_EQ(firstReport("<a>\n\n &u;</a>", {}, true).line, 3);
  EXPECT_EQ(firstReport("<a>\r\n<b>\r\n</a>", {}, true).line, 3);
  EXPECT_EQ(firstReport("<a>\n<b/>\n", {}, true).line, 3);
}

TEST(XmlParserErrors, WarningsLetTheParseGoOn) {
  const Options callback{NEXT, {}, "", false, true};
  const std::string comment = "<a><!-- a--b --></a>";
  const std::vector<std::pair<std::string, Options>> runs = {
      {"<a>x&u;y</a>", callback}, {comment, {TOKEN}}, {comment, {TOKEN, {}, "", false, true}}, {"<a></a x><!--c-->", callback}};
  const std::vector<std::vector<std::string>> expected = {
      {"START_TAG d1 a", "CALLBACK 515 Reference to undefined entity: &u;", R"(TEXT "xy")", "END_TAG d1 a"},
      {"START_TAG d1 a", R"(COMMENT " a--b ")", "WARNING 771 Unexpected character '--' in comment", "END_TAG d1 a"},
      {"START_TAG d1 a", "CALLBACK 771 Unexpected character '--' in comment", R"(COMMENT " a--b ")", "END_TAG d1 a"},
      {"START_TAG d1 a", "CALLBACK 769 Unexpected character: x", "END_TAG d1 a"},
  };
  for (size_t i = 0; i < runs.size(); ++i)
    EXPECT_EQ(events(runs[i].first, runs[i].second), expected[i]) << runs[i].first;

  // A reference to an entity being expanded is a loop: it expands to nothing.
  auto loop = [](EKXmlParser& p) {
    p.defineEntityReplacementText(name("x"), u"1&y;");
    p.defineEntityReplacementText(name("y"), u"2&x;3");
  };
  Report r = firstReport("<a>&x;</a>", {}, true, loop);
  EXPECT_EQ(r.code, 520);
  EXPECT_EQ(r.message, "Looped entity reference: &x;");
  EXPECT_EQ(r.unwound, 0);
  r = firstReport("<a>&x;</a>", {}, false, loop);
  EXPECT_EQ(r.code, 184);
  EXPECT_TRUE(r.thrown);
  std::istringstream in("<a>&x;</a>");
  EKPtr<EKXmlParser> p = newParser({});
  std::vector<std::string> lines;
  p->setCallbackError(recordCallback, &lines);
  p->setInput(in, UnicodeString(), UnicodeString());
  loop(*p);
  drain(*p, {}, lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"START_TAG d1 a", "CALLBACK 520 Looped entity reference: &x;", R"(TEXT "123")", "END_TAG d1 a"}));
}

// Expects common error `code` from `call`.
void expectCode(int code, const std::function<void()>& call, const char* what) {
  try {
    call();
    ADD_FAILURE() << what << ": no error";
  } catch (const EKError& e) {
    EXPECT_EQ(e.getErrorCode(), code) << what;
  }
}

TEST(XmlParserErrors, GettersOutsideTheirEvent) {
  std::istringstream in("<a x='' p:y='v' xmlns:p='urn:p'> \t\r\n<![CDATA[]]>t</a>");
  EKPtr<EKXmlParser> p = newParser({});
  EKXmlParser& q = *p;
  q.setInput(in, UnicodeString(), UnicodeString());
  const EKName x = name("x"), y = name("y"), urn = name("urn:p");
  auto nonTagChecks = [&](const char* event) {
    EXPECT_EQ(q.getAttributeCount(), -1) << event;
    expectCode(4, [&] { q.getAttributeValue(EKName(), x); }, event);
    expectCode(11, [&] { q.isEmptyElementTag(); }, event);
  };
  nonTagChecks("START_DOCUMENT");
  expectCode(11, [&] { q.isWhitespace(); }, "START_DOCUMENT");

  ASSERT_EQ(q.nextToken(), EKXmlParser::START_TAG);
  const int count = q.getAttributeCount();
  EXPECT_GE(count, 2);
  expectCode(4, [&] { q.getAttributeName(count); }, "name at count");
  expectCode(4, [&] { q.getAttributeValue(-1); }, "value at -1");
  expectCode(4, [&] { q.getAttributeNamespace(count); }, "namespace at count");
  expectCode(4, [&] { q.getAttributePrefix(-1); }, "prefix at -1");
  expectCode(11, [&] { q.isWhitespace(); }, "START_TAG");
  EXPECT_FALSE(q.isEmptyElementTag());
  EXPECT_FALSE(q.getAttributeValue(EKName(), x).isBogus());
  EXPECT_TRUE(q.getAttributeValue(EKName(), x).isEmpty());
  EXPECT_TRUE(q.getAttributeValue(EKName(), name("missing")).isBogus());
  EXPECT_TRUE(q.getAttributeValue(EKName(), y).isBogus()) << "p:y has a namespace";
  EXPECT_TRUE(q.getAttributeValue(urn, x).isBogus());
  EXPECT_EQ(q.getAttributeValue(urn, y), u("v"));

  const int space = q.nextToken();
  ASSERT_TRUE(space == EKXmlParser::TEXT || space == EKXmlParser::IGNORABLE_WHITESPACE) << space;
  EXPECT_TRUE(q.isWhitespace());
  nonTagChecks("white space");
  ASSERT_EQ(q.nextToken(), EKXmlParser::CDSECT);
  EXPECT_TRUE(q.isWhitespace()) << "an empty text is white space";
  ASSERT_EQ(q.nextToken(), EKXmlParser::TEXT);
  EXPECT_FALSE(q.isWhitespace());
  ASSERT_EQ(q.nextToken(), EKXmlParser::END_TAG);
  nonTagChecks("END_TAG");
  expectCode(11, [&] { q.isWhitespace(); }, "END_TAG");
}

TEST(XmlParserErrors, StreamStates) {
  std::istringstream atEnd("");
  atEnd.get();
  std::istringstream broken("<a/>");
  broken.setstate(std::ios::failbit);
  const std::pair<std::istringstream*, std::vector<std::string>> cases[] = {
      {&atEnd, {"ERROR 68 Unexpected end of input stream."}},
      {&broken, {"ERROR 70 Input stream error."}},
  };
  for (const auto& c : cases) {
    EKPtr<EKXmlParser> p = newParser({});
    EXPECT_EQ(events(*p, *c.first), c.second);
  }
  EKPtr<EKXmlParser> p = newParser({});
  expectCode(11, [&] { p->next(); }, "no input");
}

TEST(XmlParserErrors, HugeTextLimit) {
  const std::string ten(10, 'x'), eleven(11, 'x');
  const std::vector<std::string> tenText = {"START_TAG d1 a", "TEXT \"" + ten + "\"", "END_TAG d1 a"};
  struct Case {
    int limit;
    std::string document;
    Mode mode;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {10, "<a>" + ten + "</a>", NEXT, tenText},
      {10, "<a>" + eleven + "</a>", NEXT, {"START_TAG d1 a", "ERROR 190 Huge text."}},
      {10, "<!DOCTYPE a [<!ENTITY e 'xxxxxx'>]><a>&e;&e;</a>", NEXT, {"START_TAG d1 a", "ERROR 190 Huge text."}},
      {10, "<a><!--" + eleven + eleven + "--></a>", TOKEN, {"START_TAG d1 a", "COMMENT \"" + eleven + eleven + "\"", "END_TAG d1 a"}},
      {-1, "<a>" + eleven + "</a>", NEXT, {"START_TAG d1 a", "TEXT \"" + eleven + "\"", "END_TAG d1 a"}},
      {0, "<a>" + eleven + "</a>", NEXT, {"START_TAG d1 a", "TEXT \"" + eleven + "\"", "END_TAG d1 a"}},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.document);
    EKPtr<EKXmlParser> p = newParser({});
    p->setHugeTextLimit(5);
    p->setHugeTextLimit(c.limit);
    EXPECT_EQ(events(*p, in, {c.mode}), c.expected) << c.limit << " " << c.document;
  }
}

TEST(XmlParserErrors, RewindParsesTheSameInputAgain) {
  std::istringstream in("<?xml version='1.0' encoding='latin1'?><!DOCTYPE a [<!ENTITY e 't<b>\xE9</b>'>]><a>&e;<?pi x?></a>");
  EKPtr<EKXmlParser> p = newParser({8});
  p->setAutoClose(false);
  const std::vector<std::string> first = events(*p, in, {NEXT, {}, "", true});
  EXPECT_EQ(first, (std::vector<std::string>{"ENCODING ISO-8859-1", "START_TAG d1 a", R"(TEXT "t")", "START_TAG d2 b", R"(TEXT "\u{E9}")",
                                             "END_TAG d2 b", R"(PROCESSING_INSTRUCTION pi "x")", "END_TAG d1 a"}));
  p->rewind();
  EXPECT_EQ(p->getEventType(), EKXmlParser::START_DOCUMENT);
  std::vector<std::string> second;
  drain(*p, {NEXT, {}, "", true}, second);
  EXPECT_EQ(second, first);
  EXPECT_TRUE(p->hasXmlDecl());
}

TEST(XmlParserErrors, ExpansionAndNestingStayBounded) {
  // la is "ha", lb ten times la, ... lj ten times li: 2,000,000,000 characters.
  std::string laughs = "<!DOCTYPE l [<!ENTITY la 'ha'>";
  for (char c = 'b'; c <= 'j'; ++c) {
    laughs += std::string("<!ENTITY l") + c + " '";
    for (int j = 0; j < 10; ++j)
      laughs += std::string("&l") + static_cast<char>(c - 1) + ";";
    laughs += "'>";
  }
  laughs += "]>";
  // In content the expansion counts against the text limit; in an attribute any error will do.
  for (const auto& [body, code] : {std::pair<std::string, int>("<l>&lj;</l>", 190), {"<l a='&lj;'/>", 0}}) {
    const Report r = firstReport(laughs + body, {}, false);
    EXPECT_TRUE(r.thrown) << body;
    if (code) {
      EXPECT_EQ(r.code, code) << body;
    }
  }

  const int depth = 1000000;
  std::string deep;
  deep.reserve(7 * depth);
  for (int i = 0; i < depth; ++i)
    deep += "<a>";
  for (int i = 0; i < depth; ++i)
    deep += "</a>";
  std::istringstream in(deep);
  EKPtr<EKXmlParser> p = newParser({});
  p->setInput(in, UnicodeString(), UnicodeString());
  int deepest = 0, ends = 0;
  for (int e = p->next(); e != EKXmlParser::END_DOCUMENT; e = p->next()) {
    deepest = std::max(deepest, p->getDepth());
    ends += e == EKXmlParser::END_TAG;
  }
  EXPECT_EQ(deepest, depth);
  EXPECT_EQ(ends, depth);
}

} // namespace
