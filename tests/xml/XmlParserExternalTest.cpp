#include "resources/ResourceTestUtil.h"
#include "xml/XmlTestUtil.h"

#include <atomic>
#include <thread>

using namespace xmltest;

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(XmlParserExternal, GeneralEntitiesAreReadWithTheirOwnEncoding) {
  ScratchDir dir;
  writeFile(dir / "latin.ent", "<?xml encoding='ISO-8859-1'?>caf\xE9\n<b>x</b>\n");
  writeFile(dir / "wide.ent", "\xFF\xFE\xE9\0|\0"s);
  const std::string doc = "<!DOCTYPE d [<!ENTITY e SYSTEM 'latin.ent'><!ENTITY w SYSTEM 'wide.ent'>"
                          "<!ENTITY m SYSTEM 'missing.ent'>]><d>&e;&w;\xC3\xA9</d>";
  const std::string base = dir / "doc.xml";
  EXPECT_EQ(events(doc, {NEXT, {}, base}),
            (Lines{"START_TAG d1 d", R"(TEXT "caf\u{E9}\n")", "START_TAG d2 b", R"(TEXT "x")", "END_TAG d2 b",
                   R"(TEXT "\n\u{E9}|\u{E9}")", "END_TAG d1 d"}));
  EXPECT_EQ(events(doc, {NEXT, {9}, base}),
            (Lines{"START_TAG d1 d", R"(TEXT "\u{E9}")",
                   "WARNING 516 External entity is not allowed: '<!ENTITY e ... \"latin.ent\"'.",
                   "WARNING 516 External entity is not allowed: '<!ENTITY w ... \"wide.ent\"'.", "END_TAG d1 d"}));
  EXPECT_EQ(events("<!DOCTYPE d [<!ENTITY m SYSTEM 'missing.ent'>]><d>&m;</d>", {NEXT, {}, base}),
            (Lines{"START_TAG d1 d", "ERROR 67 Cannot open file."}));

  // After the entity the outer input goes on at its own line and column.
  EKPtr<EKXmlParser> p = newParser({});
  std::istringstream withDecl("<!DOCTYPE d [<!ENTITY e SYSTEM 'latin.ent'>]><d>&e;<x/>\n<y/></d>");
  p->setInput(withDecl, UnicodeString(), u(base.c_str()));
  Lines lines;
  for (int e = p->next(); e != EKXmlParser::END_DOCUMENT; e = p->next())
    if (e == EKXmlParser::START_TAG && p->getName() != name("b"))
      lines.push_back(utf8(p->getName()) + "@" + std::to_string(p->getLineNumber()));
  EXPECT_EQ(lines, (Lines{"d@1", "x@1", "y@2"}));
}

const char* const dtd = "<!-- a comment with > and ] inside -->\n"
                        "<!ELEMENT d ANY><!ATTLIST d a CDATA '>'>\n"
                        "<![IGNORE[ <!ENTITY x 'ignored'> ]]>\n"
                        "<!ENTITY % p 'from-dtd'>\n"
                        "<!ENTITY x '%p;'>\n"
                        "<!ENTITY y '<i>&x;</i>'>\n";

TEST(XmlParserExternal, ExternalSubsetIsReadOnceAndCached) {
  ScratchDir dir;
  writeFile(dir / "ext.dtd", dtd);
  const std::string base = dir / "doc.xml";
  const Lines fromDtd = {"START_TAG d1 d", R"(TEXT "from-dtd")", "START_TAG d2 i", R"(TEXT "from-dtd")", "END_TAG d2 i", "END_TAG d1 d"};
  EXPECT_EQ(events("<!DOCTYPE d SYSTEM 'ext.dtd'><d>&x;&y;</d>", {NEXT, {}, base}), fromDtd);
  EXPECT_EQ(events("<!DOCTYPE d SYSTEM 'ext.dtd' [<!ENTITY x 'internal'>]><d>&x;</d>", {NEXT, {}, base}),
            (Lines{"START_TAG d1 d", R"(TEXT "internal")", "END_TAG d1 d"}))
      << "the internal subset comes first, and the first declaration wins";
  writeFile(dir / "ext.dtd", "<!ENTITY x 'changed'>");
  EXPECT_EQ(events("<!DOCTYPE d SYSTEM 'ext.dtd'><d>&x;&y;</d>", {NEXT, {}, base}), fromDtd) << "read once";
  EXPECT_EQ(events("<!DOCTYPE d SYSTEM 'ext.dtd'><d>&x;</d>", {NEXT, {0}, base}),
            (Lines{"START_TAG d1 d", "ERROR 158 Reference to undefined entity: &x;"}));
  EXPECT_EQ(events("<!DOCTYPE d SYSTEM 'none.dtd'><d/>", {NEXT, {}, base}), (Lines{"ERROR 67 Cannot open file."}));
}

TEST(XmlParserExternal, ParsersOnTwoThreadsShareTheFirstReading) {
  ScratchDir dir;
  const std::string base = dir / "doc.xml";
  const Lines expected = {"START_TAG d1 d", R"(TEXT "from-dtd")", "START_TAG d2 i", R"(TEXT "from-dtd")", "END_TAG d2 i", "END_TAG d1 d"};
  for (int round = 0; round < 8; ++round) {
    const std::string name = "shared" + std::to_string(round) + ".dtd";
    writeFile(dir / name, dtd);
    const std::string doc = "<!DOCTYPE d SYSTEM '" + name + "'><d>&x;&y;</d>";
    std::atomic<int> ready{0};
    Lines seen[2];
    auto parse = [&](int i) {
      ++ready;
      while (ready < 2) {
      }
      seen[i] = events(doc, {NEXT, {}, base});
    };
    std::thread first(parse, 0), second(parse, 1);
    first.join();
    second.join();
    EXPECT_EQ(seen[0], expected) << name;
    EXPECT_EQ(seen[1], expected) << name;
  }
}

} // namespace
