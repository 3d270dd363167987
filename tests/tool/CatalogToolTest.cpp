#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class CatalogTool : public testing::Test {
protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("ekcommon-catalog-" + std::to_string(getpid()));
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream(m_dir / name, std::ios::binary) << content;
    return (m_dir / name).string();
  }

  fs::path m_dir;
};

const char* const CATALOG_START = "<catalog xmlns=\"urn:oasis:names:tc:entity:xmlns:xml:catalog\">\n";

TEST_F(CatalogTool, UrisAsTheCatalogsMapThem) {
  const std::string first =
      write("first.xml", std::string(CATALOG_START) +
                             "<system systemId=\"http://example.org/doc.dtd\" uri=\"doc.dtd\"/>\n"
                             "<rewriteURI uriStartString=\"http://example.org/s/\" rewritePrefix=\"http://mirror.example/s/\"/>\n"
                             "<group xml:base=\"http://example.com/base/\"><uri name=\"urn:a\" uri=\"a.xml\"/></group>\n"
                             "</catalog>");
  const std::string second = write("second.xml", std::string(CATALOG_START) +
                                                     "<uri name=\"urn:a\" uri=\"http://second.example/a\"/>\n"
                                                     "<uriSuffix uriSuffix=\".png\" uri=\"local.png\"/>\n</catalog>");
  const ToolResult r = runTool("catalog --catalog '" + first + "' --catalog '" + second +
                               "' urn:a http://example.org/s/x.css http://example.org/doc.dtd img/logo.png -- -dash");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "http://example.com/base/a.xml\nhttp://mirror.example/s/x.css\nhttp://example.org/doc.dtd\n" +
                       (m_dir / "local.png").string() + "\n-dash\n");
}

TEST_F(CatalogTool, BadCatalogsStopBeforeAnyUri) {
  const std::string good = write("good.xml", std::string(CATALOG_START) + "<uri name=\"urn:a\" uri=\"http://a/\"/></catalog>");
  const std::string malformed = write("malformed.xml", std::string(CATALOG_START) + "<uri name=\"urn:a\"></catalog>");
  const std::string foreign = write("foreign.xml", "<catalog><uri name=\"urn:a\" uri=\"http://a/\"/></catalog>");
  const std::string missing = (m_dir / "missing.xml").string();
  const struct {
    std::string catalog;
    std::string out;
  } rows[] = {
      {malformed, malformed + ":2:27: error 134: End tag </catalog> does not match the start tag <uri>.\n"},
      {foreign, foreign + ": warning 518: Not an XML Catalog file.\n"},
      {missing, missing + ": error 67: Cannot open file.\n"},
  };
  for (const auto& row : rows) {
    const ToolResult r = runTool("catalog --catalog '" + good + "' --catalog '" + row.catalog + "' urn:a", "&1");
    EXPECT_EQ(r.status, 1) << row.catalog;
    EXPECT_EQ(r.out, row.out) << row.catalog;
  }
}

TEST(CatalogToolUsage, BadUsageAndHelp) {
  const ToolRow rows[] = {
      {"catalog", 2, ""},
      {"catalog urn:a", 2, ""},
      {"catalog --catalog c.xml", 2, ""},
      {"catalog urn:a --catalog", 2, ""},
      {"catalog --bogus --catalog c.xml urn:a", 2, ""},
      {"catalog --help", 0, nullptr},
  };
  expectToolRows(rows);
  EXPECT_NE(runTool("catalog --help").out.find("--catalog FILE [--catalog FILE]... URI..."), std::string::npos);
}

} // namespace
