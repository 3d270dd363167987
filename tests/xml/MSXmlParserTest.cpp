// The libxml2-backed parser on its own: what it reads and never reads, its errors, the getters
// the tree has to answer, rewinding, documents the host parsed itself, and loading a DOM with it.
#include "ekcommon/core/EKVersion.h"

#if EKCOMMON_WITH_LIBXML2

#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/xml/platform/EKMSXmlParser.h"
#include "resources/LoopbackServer.h"
#include "resources/ResourceTestUtil.h"
#include "xml/XmlTestUtil.h"

#include <libxml/parser.h>
#include <libxml/xmlversion.h>

#include <atomic>
#include <thread>

using namespace xmltest;

namespace {

using Lines = std::vector<std::string>;

EKPtr<EKXmlParser> platformParser(const std::vector<int>& features = {}) {
  EKPtr<EKXmlParser> parser(EKMSXmlParser::create().get());
  for (int feature : features)
    parser->setFeature(static_cast<EKXmlParser::Feature>(feature), true);
  return parser;
}

Lines platformEvents(const std::string& document, const Options& run = {}) {
  std::istringstream in(document);
  EKPtr<EKXmlParser> parser = platformParser(run.features);
  return events(*parser, in, run);
}

TEST(MSXmlParser, NeverReadsTheNetworkWhateverTheFeatures) {
  LoopbackServer server;
  std::atomic<int> requests{0};
  server.routes().Get(".*", [&](const httplib::Request&, httplib::Response& response) {
    ++requests;
    response.set_content("<!ENTITY d 'from the network'>", "application/xml-dtd");
  });
  const std::string base = server.start();
  const std::string documents[] = {
      "<!DOCTYPE a SYSTEM '" + base + "/a.dtd'><a/>",
      "<!DOCTYPE a [<!ENTITY e SYSTEM '" + base + "/e.ent'>]><a>&e;</a>",
      "<!DOCTYPE a [<!ENTITY % p SYSTEM '" + base + "/p.ent'> %p;]><a/>",
      "<!DOCTYPE a SYSTEM 'relative.dtd'><a/>", // resolved against the HTTP base below
  };
  for (const std::string& document : documents)
    for (const std::vector<int>& features : {std::vector<int>{}, std::vector<int>{0}}) {
      platformEvents(document, {NEXT, features, base + "/doc.xml"});
      EXPECT_EQ(requests.load(), 0) << document << " features " << features.size();
    }
}

TEST(MSXmlParser, ExternalDtdAndEntitiesAreReadOnlyWithoutFeatureZero) {
  ScratchDir dir;
  writeFile(dir / "ext.dtd", "<!ENTITY d 'from the DTD'>");
  writeFile(dir / "e.ent", "from the entity<b/>");
  const std::string base = dir / "doc.xml";
  const std::string document =
      "<!DOCTYPE a SYSTEM 'ext.dtd' [<!ENTITY e SYSTEM 'e.ent'><!ENTITY i 'in<i/>line'>]><a>&e;|&i;</a>";
  const struct {
    std::vector<int> features;
    Lines expected;
  } rows[] = {
      {{},
       {"START_TAG d1 a", R"(TEXT "from the entity")", "START_TAG d2 b /", "END_TAG d2 b", R"(TEXT "|in")",
        "START_TAG d2 i /", "END_TAG d2 i", R"(TEXT "line")", "END_TAG d1 a"}},
      // Nothing but the document: the external entity stands for nothing, internal ones still expand.
      {{0}, {"START_TAG d1 a", R"(TEXT "|in")", "START_TAG d2 i /", "END_TAG d2 i", R"(TEXT "line")", "END_TAG d1 a"}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(platformEvents(document, {NEXT, row.features, base}), row.expected) << row.features.size();
  EXPECT_EQ(platformEvents("<!DOCTYPE a SYSTEM 'ext.dtd'><a>&d;</a>", {NEXT, {}, base}),
            (Lines{"START_TAG d1 a", R"(TEXT "from the DTD")", "END_TAG d1 a"}));
}

TEST(MSXmlParser, MalformedInputIsErrorOneHundredFifteenWithTheServiceReason) {
  std::string deep;
  for (int i = 0; i < 5000; ++i)
    deep += "<d>";
  const struct {
    std::string document;
    const char* reason; // the start of the service's reason
    int line;
  } rows[] = {
      {"<a>\n<b></a>", "Opening and ending tag mismatch: b line 2 and a", 2},
      {"<a>&undefined;</a>", "Entity 'undefined' not defined", 1},
      {"<p:a/>", "Namespace prefix p on a is not defined", 1},
      {"", "Document is empty", 1},
      {"<a x='1' x='2'/>", "Attribute x redefined", 1},
      {deep, "Excessive depth in document", 1},
      {"<!DOCTYPE a [<!ENTITY a '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'><!ENTITY b '&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;'>"
       "<!ENTITY c '&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;'><!ENTITY d '&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;'>"
       "<!ENTITY e '&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;'><!ENTITY f '&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;'>"
       "<!ENTITY g 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx'>]><a>&a;</a>",
       "Detected an entity reference loop", 1},
  };
  for (const auto& row : rows) {
    EKPtr<EKXmlParser> parser = platformParser();
    std::istringstream in(row.document);
    try {
      parser->setInput(in, UnicodeString(), u"file.xml");
      while (parser->next() != EKXmlParser::END_DOCUMENT) {
      }
      ADD_FAILURE() << row.reason << ": no error";
    } catch (const EKError& error) {
      const std::string message = utf8(error.getMessage());
      const std::string expected = std::string("MSXML parsing error.\nReason :") + row.reason;
      EXPECT_EQ(error.getErrorCode(), EKMSXmlParser::ERROR_PARSE) << message;
      EXPECT_EQ(message.substr(0, expected.size()), expected);
      EXPECT_NE(message.find("\nSTART_DOCUMENT, 'file.xml', Line " + std::to_string(row.line) + ", Col "),
                std::string::npos)
          << message;
      EXPECT_EQ(error.getLineNumber(), -1);
      EXPECT_EQ(error.getColumnNumber(), -1);
    }
  }
}

TEST(MSXmlParser, ServiceTableAndCreateInstanceFailure) {
  const EKMSXmlParser::MSXMLGUID* record = EKMSXmlParser::searchMSXml(EKMSXmlParser::MSXMLTYPE_60);
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->service, "libxml2");
  EXPECT_EQ(record->type, EKMSXmlParser::MSXMLTYPE_60);
  EXPECT_EQ(record->runtimeVersion / 10000, LIBXML_VERSION / 10000);
  EXPECT_EQ(EKMSXmlParser::searchMSXml(EKMSXmlParser::MSXMLTYPE_50), nullptr);

  // A host that accepts only older levels of the service gets none.
  EKPtr<EKMSXmlParser> parser = EKMSXmlParser::create(EKMSXmlParser::MSXMLTYPE_40);
  std::istringstream in("<a/>");
  try {
    parser->setInput(in, UnicodeString(), u"in.xml");
    ADD_FAILURE() << "no error";
  } catch (const EKError& error) {
    EXPECT_EQ(error.getErrorCode(), EKMSXmlParser::ERROR_CREATE_INSTANCE);
    EXPECT_EQ(utf8(error.getMessage()), "MSXML CreateInstance failed.\nSTART_DOCUMENT, 'in.xml'.");
  }
  EXPECT_EQ(utf8(parser->getTypeName()), "EKMSXmlParser");
  EXPECT_TRUE(parser->isA(EKTypeID::EKXmlParser));
}

TEST(MSXmlParser, GettersAnswerFromTheTree) {
  EKPtr<EKXmlParser> parser = platformParser();
  std::istringstream in("<?xml version='1.0'?>\n<!DOCTYPE r PUBLIC '-//X//Y' 'r.dtd'>\n"
                        "<r xmlns='urn:d' a='1' xmlns:p='urn:p' p:b=''>\n <e/><f></f><?pi data?><!--c--></r>");
  parser->setFeature(EKXmlParser::FEATURE_NO_EXTERNAL_DTD, true);
  parser->setInput(in, UnicodeString(), u"base.xml");
  EXPECT_EQ(parser->getAttributeCount(), -1);
  ASSERT_EQ(parser->nextToken(), EKXmlParser::DOCDECL);
  EXPECT_EQ(utf8(parser->getPubidLiteral()), "-//X//Y");
  EXPECT_EQ(utf8(parser->getExternalDTD()), "r.dtd");
  EXPECT_TRUE(parser->hasXmlDecl());
  ASSERT_EQ(parser->nextToken(), EKXmlParser::START_TAG);
  EXPECT_EQ(utf8(parser->getPositionDescription()), "START_TAG, 'base.xml', Line 3.");
  EXPECT_EQ(parser->getNamespaceCount(1), 2);
  EXPECT_EQ(utf8(parser->getNamespace(name("p"))), "urn:p");
  Lines attributes;
  for (int i = 0; i < parser->getAttributeCount(); ++i)
    attributes.push_back(qname(parser->getAttributeNamespace(i), parser->getAttributePrefix(i),
                               parser->getAttributeName(i)) +
                         "=" + quote(parser->getAttributeValue(i)));
  // Declarations first, reported as the native parser reports them.
  EXPECT_EQ(attributes, (Lines{R"(xmlns="urn:d")", R"({http://www.w3.org/2000/xmlns/}xmlns:p="urn:p")", R"(a="1")",
                               R"({urn:p}p:b="")"}));
  EXPECT_TRUE(parser->getAttributeValue(EKName(), name("missing")).isBogus());
  EXPECT_FALSE(parser->getAttributeValue(name("urn:p"), name("b")).isBogus());
  for (int bad : {-1, 4}) {
    try {
      parser->getAttributeName(bad);
      ADD_FAILURE() << bad;
    } catch (const EKError& error) {
      EXPECT_EQ(error.getErrorCode(), EKERR_OUT_OF_RANGE);
    }
  }
  ASSERT_EQ(parser->nextToken(), EKXmlParser::TEXT);
  EXPECT_TRUE(parser->isWhitespace());
  try {
    parser->isEmptyElementTag();
    ADD_FAILURE() << "isEmptyElementTag on TEXT";
  } catch (const EKError& error) {
    EXPECT_EQ(error.getErrorCode(), EKERR_NO_VALUE_FOR_NODE_TYPE);
  }
  const struct {
    EKXmlParser::EventType event;
    const char* name;
    bool empty;
    int depth;
  } rows[] = {{EKXmlParser::START_TAG, "e", true, 2},
              {EKXmlParser::END_TAG, "e", false, 2},
              {EKXmlParser::START_TAG, "f", false, 2},
              {EKXmlParser::END_TAG, "f", false, 2},
              {EKXmlParser::PROCESSING_INSTRUCTION, "pi", false, 1},
              {EKXmlParser::COMMENT, "", false, 1},
              {EKXmlParser::END_TAG, "r", false, 1},
              {EKXmlParser::END_DOCUMENT, "", false, 0}};
  for (const auto& row : rows) {
    ASSERT_EQ(parser->nextToken(), row.event) << row.name;
    EXPECT_EQ(utf8(parser->getName()), row.name);
    EXPECT_EQ(parser->getDepth(), row.depth) << row.name;
    if (row.event == EKXmlParser::START_TAG) {
      EXPECT_EQ(parser->isEmptyElementTag(), row.empty) << row.name;
      EXPECT_EQ(utf8(parser->getNamespace()), "urn:d");
    }
  }
  EXPECT_EQ(utf8(parser->getInputEncoding()), "UTF-8");
  const struct {
    EKXmlParser::Feature feature;
    bool stored;
  } features[] = {{EKXmlParser::FEATURE_NO_EXTERNAL_DTD, true},
                  {EKXmlParser::FEATURE_RESERVED_3, true},
                  {EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS, false},
                  {EKXmlParser::FEATURE_ALLOW_UNBOUND_ELEMENT_PREFIX, false}};
  for (const auto& row : features) {
    parser->setFeature(row.feature, true);
    EXPECT_EQ(parser->getFeature(row.feature), row.stored) << row.feature;
  }
}

TEST(MSXmlParser, RewindWalksTheSameDocumentAgain) {
  ScratchDir dir;
  writeFile(dir / "doc.xml", "<a><b>x</b><!--c--><c/></a>");
  const Lines expected = {"START_TAG d1 a", "START_TAG d2 b", R"(TEXT "x")", "END_TAG d2 b", "START_TAG d2 c /",
                          "END_TAG d2 c", "END_TAG d1 a"};
  std::istringstream stream("<a><b>x</b><!--c--><c/></a>");
  for (const bool fromUri : {false, true}) {
    for (const bool autoClose : {false, true}) {
      EKPtr<EKXmlParser> parser = platformParser();
      parser->setAutoClose(autoClose);
      if (fromUri) {
        parser->setInput(u(("file://" + (dir / "doc.xml")).c_str()), UnicodeString(), UnicodeString());
      } else {
        stream.clear();
        stream.seekg(0);
        parser->setInput(stream, UnicodeString(), UnicodeString());
      }
      Lines first;
      drain(*parser, {}, first);
      parser->rewind(); // at the end: the document was freed when autoClose is on
      Lines second;
      drain(*parser, {}, second);
      EXPECT_EQ(first, expected) << fromUri << autoClose;
      EXPECT_EQ(second, expected) << fromUri << autoClose;
      parser->rewind();
      ASSERT_EQ(parser->next(), EKXmlParser::START_TAG);
      ASSERT_EQ(parser->next(), EKXmlParser::START_TAG);
      parser->rewind(); // in the middle: scopes above the base one go
      EXPECT_EQ(parser->getDepth(), 0);
      EXPECT_EQ(parser->getEventType(), EKXmlParser::START_DOCUMENT);
      Lines third;
      drain(*parser, {}, third);
      EXPECT_EQ(third, expected);
    }
  }
}

TEST(MSXmlParser, AdoptsADocumentTheHostParsedWithUnexpandedReferences) {
  const char* text = "<!DOCTYPE a [<!ENTITY e 'x<b>&f;</b>'><!ENTITY f 'deep'>]><a t='1&e2;2'>&e;&#65;</a>";
  const std::string withAttribute = std::string(text).replace(std::string(text).find("&e2;"), 4, "&f;");
  xmlDocPtr document = xmlReadMemory(withAttribute.data(), static_cast<int>(withAttribute.size()), "host.xml",
                                     nullptr, XML_PARSE_NONET);
  ASSERT_NE(document, nullptr);
  EKPtr<EKMSXmlParser> parser = EKMSXmlParser::create();
  parser->setInput(document); // the parser frees it
  Lines lines;
  drain(*parser, {}, lines);
  EXPECT_EQ(lines, (Lines{R"(START_TAG d1 a t="1deep2")", R"(TEXT "x")", "START_TAG d2 b", R"(TEXT "deep")",
                          "END_TAG d2 b", R"(TEXT "A")", "END_TAG d1 a"}));
  try {
    parser->setInput(static_cast<_xmlDoc*>(nullptr));
    ADD_FAILURE() << "null document";
  } catch (const EKError& error) {
    EXPECT_EQ(error.getErrorCode(), EKERR_NULL_ARGUMENT);
  }
}

TEST(MSXmlParser, DocumentsLoadAndSaveAsWithTheNativeParser) {
  const char* documents[] = {
      "<?xml version='1.0'?><!DOCTYPE r [<!ENTITY e 'v'>]><r xmlns='urn:a' xmlns:q='urn:q' q:x='&e;'>"
      "<q:s>t&amp;<![CDATA[<c>]]>u<?p i?><!--n--></q:s><e/>&e;</r>",
      "<fo:root xmlns:fo='http://www.w3.org/1999/XSL/Format'><fo:block space-after='6pt'>one</fo:block></fo:root>",
  };
  for (const char* text : documents) {
    std::string saved[2];
    for (const bool platform : {false, true}) {
      EKPtr<EKDocument> document(new EKDocument());
      EKPtr<EKXmlParser> parser = platformParser();
      if (platform)
        document->setParser(parser.get());
      std::istringstream in(text);
      document->load(in, nullptr, UnicodeString());
      std::ostringstream out;
      document->save(out, nullptr, UnicodeString());
      saved[platform] = out.str();
    }
    EXPECT_EQ(saved[1], saved[0]);
  }
}

TEST(MSXmlParser, ParsersOnSeveralThreadsAreIndependent) {
  std::string document = "<!DOCTYPE r [<!ENTITY e 'ent'>]><r>";
  for (int i = 0; i < 200; ++i)
    document += "<i n='" + std::to_string(i) + "'>&e;</i>";
  document += "</r>";
  const Lines expected = platformEvents(document);
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int round = 0; round < 10; ++round)
        if (platformEvents(document) != expected)
          ++mismatches;
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_EQ(expected.size(), 1u + 200 * 3 + 1);
}

} // namespace

#endif
