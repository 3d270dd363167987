#include "resources/ResourceTestUtil.h"
#include "xml/XmlTestUtil.h"

using namespace xmltest;

namespace {

TEST(XmlUtil, QualifiedNames) {
  const struct {
    const char* qname;
    const char* prefix;
    const char* local;
  } splits[] = {
      {"fo:block", "fo", "block"}, {"block", "", "block"}, {":block", "", "block"},
      {"fo:", "fo", ""},           {"a:b:c", "a", "b:c"},  {"", "", ""},
  };
  for (const auto& row : splits) {
    EXPECT_EQ(utf8(EKXmlUtil::getPrefixFromQNameStr(u(row.qname))), row.prefix) << row.qname;
    EXPECT_EQ(utf8(EKXmlUtil::getLocalPartFromQNameStr(u(row.qname))), row.local) << row.qname;
    EXPECT_EQ(EKXmlUtil::getPrefixFromQName(name(row.qname)), name(row.prefix)) << row.qname;
    EXPECT_EQ(EKXmlUtil::getLocalPartFromQName(name(row.qname)), name(row.local)) << row.qname;
  }
  EXPECT_EQ(EKXmlUtil::makeQName(name("fo"), name("block")), name("fo:block"));
  EXPECT_EQ(EKXmlUtil::makeQName(EKName(), name("block")), name("block"));
  EXPECT_EQ(utf8(EKXmlUtil::makeQNameStr(u("svg"), u("rect"))), "svg:rect");
  EXPECT_EQ(utf8(EKXmlUtil::makeQNameStr(u(""), u("rect"))), "rect");

  const struct {
    const char* namespaceUri;
    const char* local;
    const char* expected;
  } namespaced[] = {
      {"", "block", "block"},
      {"http://www.w3.org/XML/1998/namespace", "lang", "xml:lang"},
      {"http://www.w3.org/2000/xmlns/", "fo", "xmlns:fo"},
      {"http://www.w3.org/2000/xmlns/", "xmlns", "xmlns"},
      {"urn:n", "a", "{urn:n}:a"},
  };
  for (const auto& row : namespaced)
    EXPECT_EQ(utf8(EKXmlUtil::makeNSQNameStr(u(row.namespaceUri), u(row.local))), row.expected) << row.expected;
}

TEST(XmlUtil, XmpKeysBecomeNames) {
  const struct {
    const char* key;
    const char* expected;
  } rows[] = {
      {"", ""},
      {"Title", "Title"},
      {"my-key.v2_x", "my-key.v2_x"},
      {"1st", "\xE2\x86\x82" "0031st"},
      {"a:b", "a\xE2\x86\x82" "003Ab"},
      {"two words", "two\xE2\x86\x82" "0020words"},
      {"-x", "\xE2\x86\x82" "002Dx"},
      {"x\xC2\xB7y\xCC\x81", "x\xC2\xB7y\xCC\x81"},        // U+00B7 and U+0301 inside a name
      {"\xCC\x81x", "\xE2\x86\x82" "0301x"},                // but not at its start
      {"\xE2\x86\x82", "\xE2\x86\x82" "2182"},              // the escape character itself
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},           // letters beyond ASCII
      {"\xF0\x90\x80\x80", "\xF0\x90\x80\x80"},             // U+10000 may start a name
      {"a\xF3\xB0\x80\x80", "a\xE2\x86\x82" "DB80\xE2\x86\x82" "DC00"}, // U+F0000: one escape a code unit
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(EKXmlUtil::escapeXmpUserDefinedKey(u(row.key))), row.expected) << row.key;
}

// "{namespace}local" of the look-ahead, "none" when there is no such element, "ERROR code" when
// it threw.
std::string rootOf(const std::string& document, const char* id = "") {
  // Names beyond the built-in ones live only while the shared name table is held.
  EKPtr<EKNamespaceManager> holdsNames(new EKNamespaceManager());
  std::istringstream in(document);
  try {
    EKName local;
    const EKName ns = EKXmlUtil::getRootName(local, in, nullptr, UnicodeString(), u(id));
    return local.isEmpty() ? "none" : qname(ns, EKName(), local);
  } catch (const EKError& e) {
    return "ERROR " + std::to_string(e.getErrorCode());
  }
}

TEST(XmlUtil, RootLookAheadReadsNoExternalDtdNorEntity) {
  ScratchDir dir;
  writeFile(dir / "broken.dtd", "<!ENTITY oops");
  const std::string dtd = "<!DOCTYPE d SYSTEM '" + (dir / "broken.dtd") + "'>";
  const std::string entity = "<!DOCTYPE d [<!ENTITY e SYSTEM '" + (dir / "missing.ent") + "'>]>";
  const struct {
    std::string document;
    const char* id;
    const char* expected;
  } rows[] = {
      {dtd + "<d xmlns='urn:d'><e/></d>", "", "{urn:d}d"},
      {"<!DOCTYPE d SYSTEM '" + (dir / "missing.dtd") + "'><d/>", "", "d"},
      {entity + "<d>&e;<p id='x'/></d>", "x", "p"},
      {"<?xml version='1.0' encoding='x-unknown'?><u:d u:a='1'/>", "", "d"}, // unbound prefixes, unknown encoding
      {"<d id='r'><p id='x'/></d>", "r", "d"},
      {"<d><p id='xy'/><p x:id='x' xmlns:x='urn:x'/><q id='x'/></d>", "x", "q"},
      {"<d><p id='y'/></d>", "x", "none"},
      {"<!-- only a comment -->", "", "none"},
      {"<d><p></d>", "", "d"}, // the error after the root element is never reached
      {"<d><p></d>", "x", "ERROR 134"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(rootOf(row.document, row.id), row.expected) << row.document;
  // A parser that reads them fails on both.
  EXPECT_EQ(events(dtd + "<d/>").back().substr(0, 5), "ERROR");
  EXPECT_EQ(events(entity + "<d>&e;</d>").back(), "ERROR 67 Cannot open file.");

  // The URI form opens the file, resolving nothing beyond it either.
  writeFile(dir / "doc.xml", dtd + "<fo:root xmlns:fo='http://www.w3.org/1999/XSL/Format'/>");
  EKName local;
  EXPECT_EQ(utf8(EKXmlUtil::getRootName(local, u((dir / "doc.xml").c_str()), UnicodeString())),
            "http://www.w3.org/1999/XSL/Format");
  EXPECT_EQ(local, name("root"));
  EXPECT_TRUE(EKXmlUtil::getRootParser(u((dir / "doc.xml").c_str()), u("x")).get() == nullptr);
  EKPtr<EKXmlParser> parser = EKXmlUtil::getRootParser(u((dir / "doc.xml").c_str()), UnicodeString());
  ASSERT_TRUE(parser.get() != nullptr);
  EXPECT_EQ(parser->getEventType(), EKXmlParser::START_TAG);
  EXPECT_THROW(EKXmlUtil::getRootName(local, u((dir / "none.xml").c_str()), UnicodeString()), EKError);
}

TEST(XmlUtil, StylesheetNamespaceOfLiteralResultElements) {
  const char* const fo = "http://www.w3.org/1999/XSL/Format";
  const char* const xslt = "http://www.w3.org/1999/XSL/Transform";
  const std::string declarations = " xmlns:fo='http://www.w3.org/1999/XSL/Format'"
                                   " xmlns:xsl='http://www.w3.org/1999/XSL/Transform'";
  const struct {
    std::string document;
    const char* ns;
    const char* local;
  } rows[] = {
      {"<fo:root" + declarations + " xsl:version='1.0'/>", xslt, "root"},
      {"<fo:root" + declarations + " xsl:version='1.0' font-size='12pt'/>", xslt, "root"},
      {"<fo:root" + declarations + "/>", fo, "root"},
      {"<fo:root" + declarations + " version='1.0'/>", fo, "root"},
      {"<fo:block" + declarations + " xsl:version='1.0'/>", fo, "block"},
      {"<xsl:stylesheet" + declarations + " version='1.0'/>", xslt, "stylesheet"},
      {"<html/>", "", "html"},
  };
  ScratchDir dir;
  for (const auto& row : rows) {
    std::istringstream in(row.document);
    EKName local;
    EXPECT_EQ(utf8(EKXmlUtil::getXSLStylesheetNamespace(local, in)), row.ns) << row.document;
    EXPECT_EQ(local, name(row.local)) << row.document;
    writeFile(dir / "doc.fo", row.document);
    EKUri::ContentInfo info;
    EXPECT_EQ(utf8(EKXmlUtil::getXSLStylesheetNamespace(local, u((dir / "doc.fo").c_str()), &info)), row.ns);
  }
}

TEST(XmlUtil, FactoriesGiveTheNativeImplementations) {
  EKUri::ContentInfo info;
  info.referrer = u("http://example.org/");
  EXPECT_EQ(EKXmlUtil::createXmlParser(&info)->getTypeName(), u("EKXmlParserImpl"));
  EXPECT_EQ(EKXmlUtil::createXmlParser(nullptr)->getTypeID(), EKTypeID::EKXmlParserImpl);
  EXPECT_EQ(EKXmlUtil::createXmlCatalogs()->getTypeID(), EKTypeID::EKXmlCatalogsImpl);
}

} // namespace
