#include "xml/XmlTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <signal.h>
#include <sys/resource.h>

using namespace EKCommonNS;
using xmltest::name;

namespace {

// One call: D startDocument(a, b), < startTag(a, b, c), @ attribute(a, b, c, d), > endTag(a, b),
// t text, c comment, ? processingInstruction, ! docdecl, x cdsect, P setPrefix(a, b), E endDocument.
struct Step {
  char op;
  const char* a = "";
  const char* b = "";
  const char* c = "";
  const char* d = "";
};

void apply(EKXmlSerializer& s, const Step& step) {
  switch (step.op) {
  case 'D': s.startDocument(u(step.a), u(step.b)); break;
  case '<': s.startTag(name(step.a), name(step.b), name(step.c)); break;
  case '@': s.attribute(name(step.a), name(step.b), name(step.c), u(step.d)); break;
  case '>': s.endTag(name(step.a), name(step.b)); break;
  case 't': s.text(u(step.a)); break;
  case 'c': s.comment(u(step.a)); break;
  case '?': s.processingInstruction(name(step.a), u(step.b)); break;
  case '!': s.docdecl(u(step.a)); break;
  case 'x': s.cdsect(u(step.a)); break;
  case 'P': s.setPrefix(name(step.a), name(step.b)); break;
  case 'E': s.endDocument(); break;
  default: FAIL() << "unknown step " << step.op;
  }
}

// Generated prefixes renumbered in order of appearance: ekoox1, ekoox2 ...
std::string renumber(const std::string& text) {
  static const std::regex generated("ekoox-N[0-9]+");
  std::map<std::string, int> numbers;
  std::string out;
  auto from = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), generated), end; it != end; ++it) {
    out.append(from, (*it)[0].first);
    out += "ekoox" + std::to_string(numbers.emplace(it->str(), numbers.size() + 1).first->second);
    from = (*it)[0].second;
  }
  return out.append(from, text.cend());
}

// What the steps write, then " !code message" when a step threw; the output is flushed after a
// failed call, so a call that wrote before failing would show.
std::string run(const char* encoding, const std::vector<Step>& steps, bool sorted = false) {
  std::ostringstream out;
  EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
  s->setGenerator(u("gen"));
  s->setSortAttributes(sorted);
  s->setOutput(out, u(encoding), u(""));
  std::string error;
  try {
    for (const Step& step : steps)
      apply(*s, step);
    s->endDocument();
  } catch (const EKError& e) {
    error = " !" + std::to_string(e.getErrorCode()) + " " + utf8(e.getRawMessage());
    try {
      s->flush();
    } catch (const EKError&) {
    }
  }
  return renumber(out.str()) + error;
}

struct Row {
  const char* encoding;
  std::vector<Step> steps;
  const char* expected;
};

void check(const std::vector<Row>& rows, bool sorted = false) {
  for (const Row& row : rows)
    EXPECT_EQ(run(row.encoding, row.steps, sorted), row.expected) << "first step " << row.steps.front().op;
}

TEST(XmlSerializer, DeclarationEncodingAndEscaping) {
  check({
      {"UTF-8", {{'D'}, {'<', "", "", "a"}, {'>', "", "a"}},
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- gen --><a/>"},
      {" us-ascii ", {{'D', "", "yes"}},
       "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?><!-- gen -->"},
      {"ISO-8859-1", {{'D'}, {'<', "", "", "a"}, {'t', "\xC3\xA9"}, {'>', "", "a"}},
       "<?xml version=\"1.0\"?><!-- gen --><a>\xC3\xA9</a>"},
      {"UTF-8", {{'D', "windows31j"}, {'<', "", "", "a"}, {'@', "", "", "b", "\xE3\x81\x82\xC3\xA9"},
                 {'t', "\xE3\x81\x82\xC3\xA9\\~"}, {'>', "", "a"}},
       "<?xml version=\"1.0\" encoding=\"SHIFT_JIS\"?><!-- gen --><a b=\"\x82\xA0&#233;\">\x82\xA0&#233;\\~</a>"},
      {"ASCII", {{'<', "", "", "a"}, {'t', "\xC3\xA9\xF0\x9F\x98\x80"}, {'x', "\xC3\xA9"}, {'>', "", "a"}},
       "<a>&#233;&#128512;<![CDATA[]]>&#233;<![CDATA[]]></a>"},
      {"UTF-8", {{'<', "", "", "a"}, {'t', "<&>\"'\t\n\r\x01\x1F\x7F\xF0\x9F\x98\x80\xEF\xBF\xBFz"}, {'>', "", "a"}},
       "<a>&lt;&amp;&gt;\"'\t\n&#13;\x7F\xF0\x9F\x98\x80z</a>"},
      {"UTF-8", {{'<', "", "", "a"}, {'@', "", "", "b", "<&>\"'\t\n\r\x02 "}, {'>', "", "a"}},
       "<a b=\"&lt;&amp;&gt;&quot;'&#9;&#10;&#13; \"/>"},
      {"UTF-8", {{'<', "", "", "a"}, {'t', ""}, {'x', "]]>\r"}, {'c', "x--y-"}, {'?', "pi", "d?>"}, {'>', "", "a"}},
       "<a><![CDATA[]]]]><![CDATA[>]]>&#13;<![CDATA[]]><!--x- -y- --><?pi d? >?></a>"},
      {"UTF-8", {{'D'}, {'!', "r SYSTEM \"r.dtd\""}, {'c', "c"}, {'<', "", "", "r"}, {'>', "", "r"}},
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- gen --><!DOCTYPE r SYSTEM \"r.dtd\"><!--c--><r/>"},
  });
}

TEST(XmlSerializer, LoneSurrogateBecomesReplacementCharacter) {
  std::ostringstream out;
  EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
  s->setOutput(out, u("UTF-8"), u(""));
  s->text(UnicodeString(u"a\xD800" "b\xDC00"));
  s->endDocument();
  EXPECT_EQ(out.str(), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

const char* const A = "urn:a";
const char* const B = "urn:b";
const char* const XMLNS = "http://www.w3.org/2000/xmlns/";
const char* const XML = "http://www.w3.org/XML/1998/namespace";

TEST(XmlSerializer, NamespacesAreDeclaredWhereNamesNeedThem) {
  check({
      // a caller's declaration is written once; a child reuses the binding
      {"", {{'<', A, "p", "a"}, {'@', XMLNS, "xmlns", "p", A}, {'<', A, "p", "b"}, {'>', A, "b"}, {'>', A, "a"}},
       "<p:a xmlns:p=\"urn:a\"><p:b/></p:a>"},
      // an unprefixed element leaves the default namespace with xmlns=""
      {"", {{'<', A, "", "a"}, {'<', "", "", "b"}, {'>', "", "b"}, {'>', A, "a"}},
       "<a xmlns=\"urn:a\"><b xmlns=\"\"/></a>"},
      // a namespaced attribute without prefix takes the one in scope, or a new one
      {"", {{'<', A, "p", "a"}, {'@', A, "", "x", "1"}, {'@', B, "", "y", "2"}, {'>', A, "a"}},
       "<p:a xmlns:p=\"urn:a\" p:x=\"1\" xmlns:ekoox1=\"urn:b\" ekoox1:y=\"2\"/>"},
      // an attribute prefix taken by the element is not rebound
      {"", {{'<', A, "p", "a"}, {'@', B, "p", "x", "1"}, {'>', A, "a"}},
       "<p:a xmlns:p=\"urn:a\" xmlns:ekoox1=\"urn:b\" ekoox1:x=\"1\"/>"},
      // xml attributes are never declared; a declaration that contradicts the element is left out
      {"", {{'<', A, "", "a"}, {'@', XML, "", "lang", "en"}, {'@', "", "", "xmlns", B}, {'>', A, "a"}},
       "<a xmlns=\"urn:a\" xml:lang=\"en\"/>"},
      // a declaration repeated on a child is the caller's to keep; its attribute is declared first
      {"", {{'<', A, "p", "a"}, {'<', A, "p", "b"}, {'@', B, "q", "x", "1"}, {'@', XMLNS, "xmlns", "p", A},
            {'@', XMLNS, "xmlns", "q", B}, {'>', A, "b"}, {'>', A, "a"}},
       "<p:a xmlns:p=\"urn:a\"><p:b xmlns:q=\"urn:b\" q:x=\"1\" xmlns:p=\"urn:a\"/></p:a>"},
      // setPrefix binds for the next start tag; the attribute inside uses it
      {"", {{'P', "q", B}, {'<', A, "", "a"}, {'<', "", "", "b"}, {'@', B, "", "x", "1"}, {'>', "", "b"},
            {'>', A, "a"}},
       "<a xmlns=\"urn:a\" xmlns:q=\"urn:b\"><b xmlns=\"\" q:x=\"1\"/></a>"},
      // a prefix without namespace is dropped
      {"", {{'<', "", "p", "a"}, {'@', "", "p", "x", "1"}, {'>', "", "a"}}, "<a x=\"1\"/>"},
  });
  check({{"",
          {{'<', A, "p", "a"}, {'@', "", "", "z", "1"}, {'@', B, "b", "y", "2"}, {'@', "", "", "xmlns", B},
           {'@', "", "", "m", "3"}, {'>', A, "a"}},
          "<p:a xmlns=\"urn:b\" xmlns:b=\"urn:b\" xmlns:p=\"urn:a\" m=\"3\" z=\"1\" b:y=\"2\"/>"}},
        true);
}

TEST(XmlSerializer, CallOrderErrorsWriteNothing) {
  check({
      {"", {{'<', "", "", "a"}, {'D'}}, "<a !12 SYSTEM ERROR: startDocument() must be called just after setOutput()."},
      {"", {{'D'}, {'D'}}, "<?xml version=\"1.0\"?><!-- gen --> !12 SYSTEM ERROR: startDocument() must be called just "
                           "after setOutput()."},
      {"", {{'<', "", "", "a"}, {'t', "t"}, {'@', "", "", "b", "1"}},
       "<a>t !13 SYSTEM ERROR: attribute() must be called just after startTag()."},
      {"", {{'<', "", "", "a"}, {'>', "", "a"}, {'@', "", "", "b", "1"}},
       "<a/> !13 SYSTEM ERROR: attribute() must be called just after startTag()."},
      {"", {{'t', "x"}, {'>', "", "a"}}, "x !14 SYSTEM ERROR: Unexpected endTag()."},
      {"", {{'<', A, "p", "a"}, {'>', "", "b"}},
       "<p:a xmlns:p=\"urn:a\" !15 SYSTEM ERROR: End tag 'b' does not match the start tag 'p:a'."},
      {"", {{'<', A, "", "a"}, {'>', "", "a"}}, "<a xmlns=\"urn:a\" !15 SYSTEM ERROR: End tag 'a' does not match the "
                                                "start tag 'a'."},
      {"", {{'<', "", "", "a"}, {'>', "", "a"}, {'!', " a"}}, "<a/> !16 SYSTEM ERROR: Unexpected docdecl()."},
      {"", {{'E'}, {'t', "x"}}, " !69 Output stream is not set."},
  });
}

TEST(XmlSerializer, GetPrefixFindsOrDeclares) {
  std::ostringstream out;
  EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
  EXPECT_THROW(s->startDocument(u(""), u("")), EKError) << "no output yet";
  s->setOutput(out, u("UTF-8"), u(""));
  EXPECT_EQ(s->getPrefix(name(XML), true), EKN_xml);
  EXPECT_TRUE(s->getPrefix(name(A), false).isEmpty());
  const EKName pending = s->getPrefix(name(A), true);
  EXPECT_EQ(s->getPrefix(name(A), false), pending) << "bound at the next start tag";
  s->startTag(name(B), EKName(), name("a"));
  EXPECT_EQ(s->getDepth(), 1);
  const EKName onTag = s->getPrefix(name(B), true);
  EXPECT_NE(onTag, pending);
  s->endTag(name(B), name("a"));
  s->endDocument();
  EXPECT_EQ(renumber(out.str()), "<a xmlns=\"urn:b\" xmlns:ekoox1=\"urn:a\" xmlns:ekoox2=\"urn:b\"/>");
}

// A stream whose writes fail after `limit` bytes.
class FailingBuf : public std::streambuf {
public:
  explicit FailingBuf(size_t limit) : m_limit(limit) {}
  std::streamsize xsputn(const char*, std::streamsize n) override {
    m_written += static_cast<size_t>(n);
    return m_written <= m_limit ? n : 0;
  }

private:
  size_t m_limit;
  size_t m_written = 0;
};

TEST(XmlSerializer, StreamFailuresAre71) {
  EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
  std::ostringstream bad;
  bad.setstate(std::ios::badbit);
  try {
    s->setOutput(bad, u(""), u(""));
    FAIL() << "a bad stream is accepted";
  } catch (const EKError& e) {
    EXPECT_EQ(e.getErrorCode(), 71);
    EXPECT_EQ(utf8(e.getRawMessage()), "Output stream error.");
  }
  FailingBuf buf(100000);
  std::ostream failing(&buf);
  s->setOutput(failing, u(""), u(""));
  const UnicodeString chunk(u"0123456789abcdef");
  EXPECT_THROW(
      {
        for (int i = 0; i < 20000; ++i)
          s->text(chunk);
      },
      EKError);
  try {
    s->text(chunk);
    FAIL() << "the serializer still writes after a failure";
  } catch (const EKError& e) {
    EXPECT_EQ(e.getErrorCode(), 69) << "the failed output was dropped";
  }
}

// File output in a directory of its own, which must hold only the target afterwards.
class XmlSerializerFile : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_dir = std::filesystem::temp_directory_path() / ("ekser-" + std::to_string(getpid()) + "-" + test);
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
    m_target = (m_dir / "out.xml").string();
    std::ofstream(m_target) << "<old/>";
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }

  std::string contents() const {
    std::ifstream in(m_target);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  size_t files() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(m_dir), {}));
  }
  // Starts a document on the target and writes `bytes` bytes of text into its root.
  EKPtr<EKXmlSerializer> writeRoot(size_t bytes) {
    EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
    s->setOutput(u(m_target.c_str()), u("UTF-8"), u(""));
    s->startDocument(u(""), u(""));
    s->startTag(EKName(), EKName(), name("new"));
    s->text(UnicodeString(static_cast<int32_t>(bytes), static_cast<UChar32>(u'x'), static_cast<int32_t>(bytes)));
    return s;
  }

  std::filesystem::path m_dir;
  std::string m_target;
};

TEST_F(XmlSerializerFile, EndDocumentReplacesTheFile) {
  EKPtr<EKXmlSerializer> s = writeRoot(3);
  EXPECT_EQ(contents(), "<old/>");
  EXPECT_EQ(files(), 2u) << "the document is written beside the target";
  s->endTag(EKName(), name("new"));
  s->endDocument();
  EXPECT_EQ(contents(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><new>xxx</new>");
  EXPECT_EQ(files(), 1u);
}

TEST_F(XmlSerializerFile, AbandonedOrRetargetedOutputLeavesTheFile) {
  writeRoot(200000);
  EXPECT_EQ(contents(), "<old/>");
  EXPECT_EQ(files(), 1u) << "the destroyed serializer removed its file";
  EKPtr<EKXmlSerializer> s = writeRoot(200000);
  std::ostringstream other;
  s->setOutput(other, u(""), u(""));
  EXPECT_EQ(files(), 1u) << "a new output removed the file";
  EXPECT_EQ(contents(), "<old/>");
}

TEST_F(XmlSerializerFile, FailedWriteLeavesTheFile) {
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 100000;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  try {
    EKPtr<EKXmlSerializer> s = writeRoot(300000);
    s->endDocument();
    ADD_FAILURE() << "a write past the file size limit succeeded";
  } catch (const EKError& e) {
    EXPECT_EQ(e.getErrorCode(), 71);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(contents(), "<old/>");
  EXPECT_EQ(files(), 1u);
}

TEST_F(XmlSerializerFile, UnopenablePathIs67) {
  EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
  for (const std::string& path : {(m_dir / "missing" / "out.xml").string(), m_dir.string(), std::string()}) {
    try {
      s->setOutput(u(path.c_str()), u(""), u(""));
      ADD_FAILURE() << "opened " << path;
    } catch (const EKError& e) {
      EXPECT_EQ(e.getErrorCode(), 67);
      EXPECT_EQ(utf8(e.getRawMessage()), "Cannot open file.");
      EXPECT_EQ(utf8(e.getUri()), path);
    }
  }
  EXPECT_EQ(files(), 1u);
}

} // namespace
