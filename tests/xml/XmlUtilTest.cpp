#include "resources/ResourceTestUtil.h"
#include "xml/XmlTestUtil.h"

using namespace xmltest;

namespace {

TEST(XmlUtil, QualifiedNames) {
  // qname, prefix, local part
  const char* const splits[][3] = {{"fo:block", "fo", "block"}, {"block", "", "block"}, {":block", "", "block"},
                                   {"fo:", "fo", ""},           {"a:b:c", "a", "b:c"},  {"", "", ""}};
  for (const auto& row : splits) {
    EXPECT_EQ(utf8(EKXmlUtil::getPrefixFromQNameStr(u(row[0]))), row[1]) << row[0];
    EXPECT_EQ(utf8(EKXmlUtil::getLocalPartFromQNameStr(u(row[0]))), row[2]) << row[0];
    EXPECT_EQ(EKXmlUtil::getPrefixFromQName(name(row[0])), name(row[1])) << row[0];
    EXPECT_EQ(EKXmlUtil::getLocalPartFromQName(name(row[0])), name(row[2])) << row[0];
    if (row[1][0] && row[2][0]) {
      EXPECT_EQ(EKXmlUtil::makeQName(name(row[1]), name(row[2])), name(row[0])) << row[0];
    }
  }
  EXPECT_EQ(EKXmlUtil::makeQName(EKName(), name("block")), name("block"));
  EXPECT_EQ(utf8(EKXmlUtil::makeQNameStr(u(""), u("rect"))), "rect");
  // namespace, local name, written name
  const char* const namespaced[][3] = {{"", "block", "block"},
                                       {"http://www.w3.org/XML/1998/namespace", "lang", "xml:lang"},
                                       {"http://www.w3.org/2000/xmlns/", "fo", "xmlns:fo"},
                                       {"http://www.w3.org/2000/xmlns/", "xmlns", "xmlns"},
                                       {"urn:n", "a", "{urn:n}:a"}};
  for (const auto& row : namespaced)
    EXPECT_EQ(utf8(EKXmlUtil::makeNSQNameStr(u(row[0]), u(row[1]))), row[2]) << row[2];
}

TEST(XmlUtil, XmpKeysBecomeNames) {
  const char* const rows[][2] = {
      {"", ""},
      {"my-key.v2_x", "my-key.v2_x"},
      {"1st", "\u2182" "0031st"},
      {"a:b", "a\u2182" "003Ab"},
      {"two words", "two\u2182" "0020words"},
      {"-x", "\u2182" "002Dx"},
      {"x\u00B7y\u0301", "x\u00B7y\u0301"}, // U+00B7 and U+0301 inside a name
      {"\u0301x", "\u2182" "0301x"},           // but not at its start
      {"\u2182", "\u2182" "2182"},             // the escape character itself
      {"\u00E9t\U00010000", "\u00E9t\U00010000"},
      {"a\U000F0000", "a\u2182" "DB80\u2182" "DC00"}, // not a name character: one escape a code unit
  };
  for (const auto& row : rows)
    EXPECT_EQ(utf8(EKXmlUtil::escapeXmpUserDefinedKey(u(row[0]))), row[1]) << row[0];
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
  const UnicodeString uri = u((dir / "doc.xml").c_str());
  EKName local;
  EXPECT_EQ(utf8(EKXmlUtil::getRootName(local, uri, UnicodeString())), "http://www.w3.org/1999/XSL/Format");
  EXPECT_EQ(local, name("root"));
  EXPECT_TRUE(EKXmlUtil::getRootParser(uri, u("x")).get() == nullptr);
  EXPECT_EQ(EKXmlUtil::getRootParser(uri, UnicodeString())->getEventType(), EKXmlParser::START_TAG);
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
      {"<fo:root" + declarations + "/>", fo, "root"},
      {"<fo:root" + declarations + " version='1.0'/>", fo, "root"},
      {"<fo:block" + declarations + " xsl:version='1.0'/>", fo, "block"},
      {"<xsl:stylesheet" + declarations + " version='1.0'/>", xslt, "stylesheet"},
      // A bare html root makes the input HTML, whose elements are in the XHTML namespace.
      {"<html/>", "http://www.w3.org/1999/xhtml", "html"},
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

} // namespace
