#include "resources/ResourceTestUtil.h"
#include "xml/XmlTestUtil.h"

#include <thread>

using namespace xmltest;

namespace {

using Lines = std::vector<std::string>;

const std::string CATALOG_START = "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>";

// A catalog as hosts write them: a DOCTYPE naming the catalog DTD (here a file that does not
// exist, so reading it would fail the load), entries of every kind, groups with their own base
// and preference, and an extension element in another namespace.
const char* const HOST_CATALOG = R"(<?xml version="1.0"?>
<!DOCTYPE catalog PUBLIC "-//OASIS//DTD XML Catalogs V1.1//EN" "missing-catalog.dtd">
<catalog xmlns="urn:oasis:names:tc:entity:xmlns:xml:catalog" prefer="public">
  <system systemId="http://example.org/doc.dtd" uri="local/doc.dtd"/>
  <public publicId="-//Example//DTD Doc//EN" uri="local/doc.dtd"/>
  <rewriteSystem systemIdStartString="http://example.org/sys/" rewritePrefix="sys/"/>
  <systemSuffix systemIdSuffix="suffix.dtd" uri="local/suffix.dtd"/>
  <delegatePublic publicIdStartString="-//Delegate//" catalog="delegate.xml"/>
  <delegateSystem systemIdStartString="http://delegate.example/" catalog="delegate.xml"/>
  <delegateURI uriStartString="http://delegate.example/" catalog="delegate.xml"/>
  <nextCatalog catalog="next.xml"/>
  <uri name="http://example.org/schema/book.xsd" uri="schemas/book.xsd"/>
  <uri name="http://example.org/schema/book.xsd" uri="schemas/second.xsd"/>
  <rewriteURI uriStartString="http://example.org/styles/" rewritePrefix="file:///opt/styles/"/>
  <uri name="http://example.org/styles/main.css" uri="shadowed.css"/>
  <uriSuffix uriSuffix="/logo.png" uri="images/logo.png"/>
  <group xml:base="http://mirror.example.com/base/" prefer="system">
    <uri name="urn:x-example:grouped" uri="grouped.xml"/>
    <uri name="urn:x-example:own-base" xml:base="other/" uri="own.xml"/>
    <group xml:base="inner/"><uri name="urn:x-example:nested" uri="n.xml"/></group>
    <uri name="urn:x-example:after-inner" uri="after-inner.xml"/>
  </group>
  <uri name="urn:x-example:after-group" uri="after.xml"/>
  <uri name="" uri="empty-name.xml"/>
  <uri name="urn:x-example:no-target"/>
  <ext:extension xmlns:ext="urn:x-extension">
    <uri xmlns="urn:oasis:names:tc:entity:xmlns:xml:catalog" name="urn:x-example:hidden" uri="hidden.xml"/>
  </ext:extension>
</catalog>
)";

EKPtr<EKXmlCatalogs> loaded(const std::vector<std::string>& files) {
  EKPtr<EKXmlCatalogs> catalogs = EKXmlUtil::createXmlCatalogs();
  for (const std::string& file : files)
    catalogs->loadCatalog(EKUri(u(file.c_str())));
  return catalogs;
}

std::string resolve(const EKXmlCatalogs& catalogs, const std::string& uri) {
  return utf8(catalogs.resolveURI(u(uri.c_str())));
}

TEST(XmlCatalogs, HostCatalogResolvesOnlyUriEntriesFirstMatchFirst) {
  ScratchDir dir;
  writeFile(dir / "catalog.xml", HOST_CATALOG);
  EKPtr<EKXmlCatalogs> catalogs = loaded({dir / "catalog.xml"});
  const std::pair<const char*, std::string> rows[] = {
      {"http://example.org/schema/book.xsd", dir / "schemas/book.xsd"},       // the first of two uri entries
      {"http://example.org/styles/main.css", "file:///opt/styles/main.css"}, // rewriteURI listed first
      {"http://cdn.example/img/logo.png", dir / "images/logo.png"},
      {"urn:x-example:grouped", "http://mirror.example.com/base/grouped.xml"},
      {"urn:x-example:own-base", "http://mirror.example.com/base/other/own.xml"},
      {"urn:x-example:nested", "http://mirror.example.com/base/inner/n.xml"},
      {"urn:x-example:after-inner", "http://mirror.example.com/base/after-inner.xml"},
      {"urn:x-example:after-group", dir / "after.xml"},
      // Unchanged: other entry kinds, entries without match or target, foreign content, near misses.
      {"http://example.org/doc.dtd", "http://example.org/doc.dtd"},
      {"-//Example//DTD Doc//EN", "-//Example//DTD Doc//EN"},
      {"http://example.org/sys/x.dtd", "http://example.org/sys/x.dtd"},
      {"x/suffix.dtd", "x/suffix.dtd"},
      {"http://delegate.example/a", "http://delegate.example/a"},
      {"urn:x-example:no-target", "urn:x-example:no-target"},
      {"urn:x-example:hidden", "urn:x-example:hidden"},
      {"", ""},
  };
  for (const auto& row : rows)
    EXPECT_EQ(resolve(*catalogs, row.first), row.second) << row.first;
  EKXmlCatalogs identity;
  identity.loadCatalog(EKUri(u((dir / "catalog.xml").c_str())));
  EXPECT_EQ(resolve(identity, "http://example.org/schema/book.xsd"), "http://example.org/schema/book.xsd");
  EXPECT_TRUE(catalogs->isA(EKXmlCatalogs::getStaticTypeID()));
  EXPECT_EQ(catalogs->getTypeName(), u("EKXmlCatalogsImpl"));
}

TEST(XmlCatalogs, LaterFilesComeAfterAndAFailedFileAddsNothing) {
  ScratchDir dir;
  writeFile(dir / "a.xml", CATALOG_START + "<uri name='urn:n' uri='from-a'/></catalog>");
  writeFile(dir / "b.xml", CATALOG_START + "<uri name='urn:n' uri='from-b'/><uri name='urn:m' uri='from-b'/>"
                                           "</catalog>");
  writeFile(dir / "broken.xml", CATALOG_START + "<uri name='urn:o' uri='from-broken'/><uri></catalog>");
  EKPtr<EKXmlCatalogs> catalogs = loaded({dir / "a.xml", dir / "b.xml"});
  EXPECT_THROW(catalogs->loadCatalog(EKUri(u((dir / "broken.xml").c_str()))), EKError);
  EXPECT_EQ(resolve(*catalogs, "urn:n"), dir / "from-a");
  EXPECT_EQ(resolve(*catalogs, "urn:m"), dir / "from-b");
  EXPECT_EQ(resolve(*catalogs, "urn:o"), "urn:o");
}

// "code message uri" of what loading the file threw, after the lines the callback received.
std::string loadFailure(const std::string& file, bool callback) {
  EKPtr<EKXmlCatalogs> catalogs = EKXmlUtil::createXmlCatalogs();
  Lines lines;
  if (callback)
    catalogs->setCallbackError(recordCallback, &lines);
  try {
    catalogs->loadCatalog(EKUri(u(file.c_str())));
  } catch (const EKError& e) {
    lines.push_back(std::to_string(e.getErrorCode()) + " " + firstLine(e) + " " + utf8(e.getUri()));
  }
  std::string out;
  for (const std::string& line : lines)
    out += (out.empty() ? "" : "|") + line;
  return out;
}

TEST(XmlCatalogs, WhatIsNotACatalogIsRejectedAndParseErrorsGoThroughTheCallback) {
  ScratchDir dir;
  const std::string file = dir / "c.xml";
  for (const char* document : {"<html xmlns='http://www.w3.org/1999/xhtml'/>",
                               "<catalog><uri name='a' uri='b'/></catalog>",
                               "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalogue'/>",
                               "<c:group xmlns:c='urn:oasis:names:tc:entity:xmlns:xml:catalog'/>"}) {
    writeFile(file, document);
    EXPECT_EQ(loadFailure(file, true), "518 Not an XML Catalog file. " + file) << document;
  }
  EXPECT_EQ(loadFailure(dir / "missing.xml", false), "67 Cannot open file. " + (dir / "missing.xml"));
  writeFile(file, CATALOG_START + "\n<uri name='a' uri='b'></catalog>");
  EXPECT_EQ(loadFailure(file, true), "CALLBACK 134 End tag </catalog> does not match the start tag <uri>.|128  ");
  EXPECT_EQ(loadFailure(file, false), "134 End tag </catalog> does not match the start tag <uri>. ");
}

TEST(XmlCatalogs, NestingCostsNoRecursionAndBoundedBases) {
  ScratchDir dir;
  std::string open, close;
  for (int i = 0; i < 20000; ++i)
    open += "<group>", close += "</group>";
  writeFile(dir / "deep.xml", CATALOG_START + open + "<uri name='urn:deep' uri='http://example.org/deep'/>" + close +
                                  "</catalog>");
  EXPECT_EQ(resolve(*loaded({dir / "deep.xml"}), "urn:deep"), "http://example.org/deep");

  // Each relative xml:base lengthens the base of every group inside it.
  std::string growing = CATALOG_START;
  for (int i = 0; i < 300; ++i)
    growing += "<group xml:base='" + std::string(100, 'a') + "/'>";
  writeFile(dir / "growing.xml", growing);
  EXPECT_EQ(loadFailure(dir / "growing.xml", false), "518 Not an XML Catalog file. " + (dir / "growing.xml"));
  // Every entry holds its base, here a long one that many entries repeat.
  std::string wide = CATALOG_START + "<group xml:base='http://x/" + std::string(200000, 'a') + "/'>";
  for (int i = 0; i < 25; ++i)
    wide += "<uri name='n' uri='u'/>";
  writeFile(dir / "wide.xml", wide);
  EXPECT_EQ(loadFailure(dir / "wide.xml", false), "518 Not an XML Catalog file. " + (dir / "wide.xml"));
}

TEST(XmlCatalogs, UrisBuiltWithCatalogsAreMapped) {
  ScratchDir dir;
  writeFile(dir / "catalog.xml", HOST_CATALOG);
  writeFile(dir / "relative.xml", CATALOG_START + "<uri name='book.xsd' uri='http://example.org/mapped.xsd'/>"
                                                  "</catalog>");
  EKPtr<EKXmlCatalogs> catalogs = loaded({dir / "catalog.xml", dir / "relative.xml"});
  EXPECT_EQ(utf8(EKUri(u("http://example.org/schema/book.xsd"), catalogs.get()).toString()), dir / "schemas/book.xsd");
  EXPECT_EQ(utf8(EKUri(u("http://example.org/schema/book.xsd")).toString()), "http://example.org/schema/book.xsd");
  const EKUri base(u("http://example.com/docs/index.html"));
  EXPECT_EQ(utf8(EKUri(base, u("book.xsd"), catalogs.get()).toString()), "http://example.org/mapped.xsd");
  EXPECT_EQ(utf8(EKUri(base, u("book.xsd")).toString()), "http://example.com/docs/book.xsd");
  EXPECT_EQ(utf8(EKUri(base, u("http://example.org/styles/a.css"), EKUri::URISTR_URI, catalogs.get()).toString()),
            "file:///opt/styles/a.css");
}

TEST(XmlCatalogs, ThreadsResolveOnOneLoadedCatalogAtOnce) {
  ScratchDir dir;
  writeFile(dir / "catalog.xml", HOST_CATALOG);
  EKPtr<EKXmlCatalogs> catalogs = loaded({dir / "catalog.xml"});
  const std::string inputs[] = {"urn:x-example:nested", "http://example.org/styles/x.css", "urn:none"};
  const std::string expected[] = {resolve(*catalogs, inputs[0]), resolve(*catalogs, inputs[1]), inputs[2]};
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int round = 0; round < 2000; ++round)
        mismatches += resolve(*catalogs, inputs[round % 3]) != expected[round % 3];
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(mismatches, 0);
}

} // namespace
