#include "ToolRunner.h"

#include "ekcommon/core/EKVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A scratch directory for the documents, removed afterwards.
class XmlTool : public testing::Test {
protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("ekcommon-xml-" + std::to_string(getpid()));
    fs::create_directories(m_dir / "sub");
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream(m_dir / name, std::ios::binary) << content;
    return (m_dir / name).string();
  }

  fs::path m_dir;
};

struct DocumentRow {
  const char* document;
  const char* args; // the action and its options; the document is read from standard input
  int status;
  const char* out;  // standard output and standard error together
};

// Runs each row on its document written to `file`.
void expectDocumentRows(const fs::path& file, const std::vector<DocumentRow>& rows) {
  for (const DocumentRow& row : rows) {
    std::ofstream(file, std::ios::binary) << row.document;
    const ToolResult r = runTool(std::string("xml ") + row.args + " - < '" + file.string() + "'", "&1");
    EXPECT_EQ(r.status, row.status) << row.args << " on " << row.document;
    EXPECT_EQ(r.out, row.out) << row.args << " on " << row.document;
  }
}

TEST_F(XmlTool, EventLines) {
  const std::vector<DocumentRow> rows = {
      {"<a x=\"1\">hi</a>", "events", 0,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:9 a{} x{}=\"1\"\nTEXT 1 1:13 \"hi\"\nEND_TAG 1 1:15 a{}\nEND_DOCUMENT 0 1:15\n"},
      // Prefixes, default namespaces and namespace declarations as attributes; an empty tag.
      {"<p:a xmlns:p=\"urn:p\" p:x=\"v\">\n <b xmlns=\"urn:d\" c=\"2\"/>\n</p:a>", "events", 0,
       "START_DOCUMENT 0 1:0\n"
       "START_TAG 1 1:29 p:a{urn:p} xmlns:p{http://www.w3.org/2000/xmlns/}=\"urn:p\" p:x{urn:p}=\"v\"\n"
       "TEXT 1 2:2 \"\\n \"\n"
       "START_TAG 2 2:25 b{urn:d} xmlns{}=\"urn:d\" c{}=\"2\" /\n"
       "END_TAG 2 2:25 b{urn:d}\n"
       "TEXT 1 3:2 \"\\n\"\n"
       "END_TAG 1 3:6 p:a{urn:p}\n"
       "END_DOCUMENT 0 3:6\n"},
      // Control characters, backslash and quotes are escaped; XML 1.1 allows referring to C0 and C1.
      {"<?xml version=\"1.1\"?><a t=\"q&quot;&#9;\tx\">\t\\\"&#13;&#1;&#x85;</a>", "events", 0,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:42 a{} t{}=\"q\\\"\\t x\"\nTEXT 1 1:62 \"\\t\\\\\\\"\\r\\u0001\\u0085\"\n"
       "END_TAG 1 1:64 a{}\nEND_DOCUMENT 0 1:64\n"},
      // next() coalesces references and CDATA and skips the DOCTYPE, comments and PIs; nextToken()
      // reports each, a reference with the replacement text as declared.
      {"<!DOCTYPE a [<!ENTITY e \"x&amp;\">]><!--c--><?pi data?><a>&e;&lt;&#x2014;<![CDATA[<y>]]></a>", "events", 0,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:57 a{}\nTEXT 1 1:89 \"x&<\xE2\x80\x94<y>\"\nEND_TAG 1 1:91 a{}\n"
       "END_DOCUMENT 0 1:91\n"},
      {"<!DOCTYPE a [<!ENTITY e \"x&amp;\">]><!--c--><?pi data?><a>&e;&lt;&#x2014;<![CDATA[<y>]]></a>", "events --tokens",
       0,
       "START_DOCUMENT 0 1:0\nDOCDECL 0 1:35 \"\"\nCOMMENT 0 1:43 \"c\"\nPROCESSING_INSTRUCTION 0 1:54 pi \"data\"\n"
       "START_TAG 1 1:57 a{}\nENTITY_REF 1 1:60 e \"x&amp;\"\nENTITY_REF 1 1:64 lt \"&#60;\"\n"
       "ENTITY_REF 1 1:72 #x2014 \"\xE2\x80\x94\"\nCDSECT 1 1:87 \"<y>\"\nEND_TAG 1 1:91 a{}\nEND_DOCUMENT 0 1:91\n"},
      {"<?pi data?><a/>", "events --feature 8", 0,
       "START_DOCUMENT 0 1:0\nPROCESSING_INSTRUCTION 0 1:11 pi \"data\"\nSTART_TAG 1 1:15 a{} /\nEND_TAG 1 1:15 a{}\n"
       "END_DOCUMENT 0 1:15\n"},
      {"<p:a/>", "events --feature 10", 0,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:6 p:a{} /\nEND_TAG 1 1:6 p:a{}\nEND_DOCUMENT 0 1:6\n"},
      // Warnings follow the event during which they arose; the parse goes on.
      {"<a><!-- x--y --></a>", "events --tokens", 0,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:3 a{}\nCOMMENT 1 1:16 \" x--y \"\n"
       "-:1:16: warning 771: Unexpected character '--' in comment\nEND_TAG 1 1:20 a{}\nEND_DOCUMENT 0 1:20\n"},
      // Fatal errors end the output with the parser's position; without an error callback an
      // undefined entity is fatal.
      {"<a><b></a>", "events", 1,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:3 a{}\nSTART_TAG 2 1:6 b{}\n"
       "-:1:9: error 134: End tag </a> does not match the start tag <b>.\n"},
      {"<a>&u;</a>", "events", 1,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:3 a{}\n-:1:6: error 158: Reference to undefined entity: &u;\n"},
      {"<p:a/>", "events", 1, "START_DOCUMENT 0 1:0\n-:1:6: error 135: Undeclared namespace prefix: p\n"},
  };
  expectDocumentRows(m_dir / "doc.xml", rows);
}

TEST_F(XmlTool, CheckDiagnostics) {
  const std::vector<DocumentRow> rows = {
      {"<a>ok</a>", "check", 0, ""},
      // With the error callback undefined entities are only warnings.
      {"<a>&u;<!-- x--y --></a>", "check", 0,
       "-:1:6: warning 515: Reference to undefined entity: &u;\n"
       "-:1:14: warning 771: Unexpected character '--' in comment\n"},
      {"<a><!-- a--b --><b></a>", "check", 1,
       "-:1:11: warning 771: Unexpected character '--' in comment\n"
       "-:1:22: error 134: End tag </a> does not match the start tag <b>.\n"},
      {"<a>\n<b>", "check", 1, "-:2:3: error 129: Missing end tag.\n"},
      {"<a>\x01</a>", "check", 1, "-:1:3: error 179: Invalid Unicode character: U+0001\n"},
      {"<a>\x01</a>", "check --feature 7", 0, ""},
      // A relative DTD of standard input resolves against the working directory.
      {"<!DOCTYPE a SYSTEM \"no-such.dtd\"><a/>", "check", 1, "-:1:33: error 67: Cannot open file.\n"},
      {"<!DOCTYPE a SYSTEM \"no-such.dtd\"><a/>", "check --feature 0", 0, ""},
  };
  expectDocumentRows(m_dir / "doc.xml", rows);
}

// Paths and URIs are opened by the parser, which resolves a DTD against them; diagnostics name
// each input as it was given.
TEST_F(XmlTool, FilesAndUris) {
  write("sub/ext.dtd", "<!ENTITY who \"world\">");
  const std::string document = write("sub/doc.xml", "<!DOCTYPE a SYSTEM \"ext.dtd\">\n<a>hello &who;</a>\n");
  const std::string bad = write("bad.xml", "<a><b></a>");
  const std::string events = "START_DOCUMENT 0 1:0\nSTART_TAG 1 2:3 a{}\nTEXT 1 2:16 \"hello world\"\n"
                             "END_TAG 1 2:18 a{}\nEND_DOCUMENT 0 3:0\n";
  EXPECT_EQ(runTool("xml events '" + document + "'").out, events);
  EXPECT_EQ(runTool("xml events 'file://" + document + "'").out, events);
  const ToolResult noDtd = runTool("xml events --feature 0 '" + document + "'", "&1");
  EXPECT_EQ(noDtd.status, 1);
  EXPECT_EQ(noDtd.out, "START_DOCUMENT 0 1:0\nSTART_TAG 1 2:3 a{}\n" + document +
                           ":2:14: error 158: Reference to undefined entity: &who;\n");

  const std::string missing = (m_dir / "missing.xml").string();
  const ToolResult checked = runTool("xml check '" + document + "' '" + bad + "' '" + missing + "'");
  EXPECT_EQ(checked.status, 1);
  EXPECT_EQ(checked.out, bad + ":1:9: error 134: End tag </a> does not match the start tag <b>.\n" + missing +
                             ": error 67: Cannot open file.\n");
  EXPECT_EQ(runTool("xml events '" + missing + "'", "&1").out, missing + ": error 67: Cannot open file.\n");
}

TEST_F(XmlTool, FormatAndXInclude) {
  const std::vector<DocumentRow> rows = {
      {"<a x='1&amp;2'>caf\xC3\xA9<!--c--><?p i?><b></b></a>", "format", 0,
       "<?xml version=\"1.0\"?><a x=\"1&amp;2\">caf\xC3\xA9<b/></a>\n"},
      {"<a>caf\xC3\xA9</a>", "format --encoding US-ASCII", 0,
       "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a>caf&#233;</a>\n"},
      {"<a><?p i?></a>", "format --feature 8", 0, "<?xml version=\"1.0\"?><a><?p i?></a>\n"},
      {"<a><b></a>", "format", 1, "-:1:9: error 134: End tag </a> does not match the start tag <b>.\n"},
  };
  expectDocumentRows(m_dir / "doc.xml", rows);
  write("part.xml", "<p>included</p>");
  const std::string document =
      write("inc.xml", "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"part.xml\"/></r>");
  const ToolResult included = runTool("xml xinclude '" + document + "'", "&1");
  EXPECT_EQ(included.status, 0);
  EXPECT_EQ(included.out,
            "<?xml version=\"1.0\"?><r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><p>included</p></r>\n");
  const std::string plain = write("plain.xml", "<r/>");
  EXPECT_EQ(runTool("xml xinclude '" + plain + "'", "&1").out,
            "<?xml version=\"1.0\"?><r/>\n" + plain + ": no XInclude element\n");
}

// One line per input, in order; an input that fails has its line on standard error instead.
TEST_F(XmlTool, RootElements) {
  const std::string fo = write("fo.xml", "<!DOCTYPE fo:root SYSTEM \"missing.dtd\">\n"
                                         "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\"><x></fo:root>");
  const std::string plain = write("plain.xml", "<?xml version=\"1.0\"?><!-- c --><doc a=\"1\"/>");
  const std::string empty = write("empty.xml", "<!-- nothing but a comment -->");
  const std::string bad = write("bad.xml", "<a b=></a>");
  const std::string missing = (m_dir / "missing.xml").string();
  const ToolResult r = runTool("xml root '" + fo + "' '" + plain + "' - '" + empty + "' '" + bad + "' '" + missing +
                                   "' < '" + plain + "'",
                               "&1");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "{http://www.w3.org/1999/XSL/Format}root\ndoc\ndoc\n" + empty + ": no root element\n" + bad +
                       ": error 174: Missing quotation character (\\\" or ').\n" + missing +
                       ": error 67: Cannot open file.\n");
  EXPECT_EQ(runTool("xml root 'file://" + fo + "'").out, "{http://www.w3.org/1999/XSL/Format}root\n");
}

// Later catalogs' entries come after earlier ones; a bad catalog stops the command before any URI.
TEST_F(XmlTool, CatalogMapsUris) {
  const std::string start = "<catalog xmlns='urn:oasis:names:tc:entity:xmlns:xml:catalog'>\n";
  const std::string first =
      write("first.xml", start + "<system systemId='http://a/doc.dtd' uri='doc.dtd'/>\n"
                                 "<rewriteURI uriStartString='http://a/s/' rewritePrefix='http://b/s/'/>\n"
                                 "<group xml:base='http://c/'><uri name='urn:a' uri='a.xml'/></group></catalog>");
  const std::string second = write("second.xml", start + "<uri name='urn:a' uri='http://d/a'/>\n"
                                                         "<uriSuffix uriSuffix='.png' uri='local.png'/></catalog>");
  const ToolResult r = runTool("catalog --catalog '" + first + "' --catalog '" + second +
                               "' urn:a http://a/s/x.css http://a/doc.dtd img/logo.png -- -dash");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "http://c/a.xml\nhttp://b/s/x.css\nhttp://a/doc.dtd\n" + (m_dir / "local.png").string() +
                       "\n-dash\n");

  const std::string malformed = write("malformed.xml", start + "<uri name='urn:a'></catalog>");
  const std::string foreign = write("foreign.xml", "<catalog/>");
  const std::string missing = (m_dir / "missing.xml").string();
  for (const std::string& bad : {malformed, foreign, missing}) {
    const ToolResult failed = runTool("catalog --catalog '" + first + "' --catalog '" + bad + "' urn:a", "&1");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, bad + (bad == malformed ? ":2:27: error 134: End tag </catalog> does not match the start "
                                                    "tag <uri>.\n"
                                 : bad == foreign ? ": warning 518: Not an XML Catalog file.\n"
                                                  : ": error 67: Cannot open file.\n"));
  }
}

#if EKCOMMON_WITH_LIBXML2
// The libxml2-backed parser: no columns, references expanded before nextToken() sees them, its
// parse errors as error 115 where libxml2 stopped, and the same saved document as the native one.
TEST_F(XmlTool, PlatformParser) {
  const std::vector<DocumentRow> rows = {
      {"<a x=\"1\">hi<!--c--></a>", "events --platform", 0,
       "START_DOCUMENT 0 -1:-1\nSTART_TAG 1 1:-1 a{} x{}=\"1\"\nTEXT 1 1:-1 \"hi\"\nEND_TAG 1 1:-1 a{}\n"
       "END_DOCUMENT 0 -1:-1\n"},
      {"<!DOCTYPE a [<!ENTITY e \"x&amp;\">]><?pi data?><a>&e;&lt;<![CDATA[<y>]]>\n<b/><c></c></a>",
       "events --tokens --platform", 0,
       "START_DOCUMENT 0 -1:-1\nDOCDECL 0 -1:-1 \"\"\nPROCESSING_INSTRUCTION 0 1:-1 pi \"data\"\nSTART_TAG 1 1:-1 a{}\n"
       "TEXT 1 -1:-1 \"x&<\"\nCDSECT 1 -1:-1 \"<y>\"\nTEXT 1 2:-1 \"\\n\"\nSTART_TAG 2 2:-1 b{} /\n"
       "END_TAG 2 2:-1 b{}\nSTART_TAG 2 2:-1 c{}\nEND_TAG 2 2:-1 c{}\nEND_TAG 1 2:-1 a{}\nEND_DOCUMENT 0 -1:-1\n"},
      {"<a>\n<b></a>", "check --platform", 1,
       "-:2:8: error 115: MSXML parsing error.\\nReason :Opening and ending tag mismatch: b line 2 and a\n"},
      {"<a>\n<b></a>", "events --platform", 1,
       "-:2:8: error 115: MSXML parsing error.\\nReason :Opening and ending tag mismatch: b line 2 and a\n"},
      {"<a/>", "check --platform", 0, ""},
      {"<r xmlns:q=\"urn:q\"><q:s>t&#65;</q:s><!--c--><e/></r>", "format --platform", 0,
       "<?xml version=\"1.0\"?><r xmlns:q=\"urn:q\"><q:s>tA</q:s><e/></r>\n"},
      {"<r xmlns:q=\"urn:q\"><q:s>t&#65;</q:s><!--c--><e/></r>", "format", 0,
       "<?xml version=\"1.0\"?><r xmlns:q=\"urn:q\"><q:s>tA</q:s><e/></r>\n"},
  };
  expectDocumentRows(m_dir / "doc.xml", rows);
}
#endif

// The native parser forced into HTML syntax: repairs are warnings, and format writes XHTML.
TEST_F(XmlTool, HtmlPages) {
  const char* const soup = "<div><b>x</div>";
  const std::vector<DocumentRow> rows = {
      {soup, "events --html", 0,
       "START_DOCUMENT 0 1:0\nSTART_TAG 1 1:5 div{http://www.w3.org/1999/xhtml}\n"
       "START_TAG 2 1:8 b{http://www.w3.org/1999/xhtml}\nTEXT 2 1:15 \"x\"\n"
       "END_TAG 2 1:15 b{http://www.w3.org/1999/xhtml}\n"
       "-:1:15: warning 513: End tag </div> does not match the start tag <b>.\n"
       "END_TAG 1 1:15 div{http://www.w3.org/1999/xhtml}\n"
       "END_DOCUMENT 0 1:15\n"},
      {soup, "check --html", 0, "-:1:15: warning 513: End tag </div> does not match the start tag <b>.\n"},
      {"<!DOCTYPE html><title>T</title><p>a<br>b &amp c", "format --html", 0,
       "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>T</title></head>"
       "<body><p>a<br/>b &amp;amp c</p></body></html>\n"},
      // Without --html the same bytes are XML.
      {soup, "check", 1, "-:1:14: error 134: End tag </div> does not match the start tag <b>.\n"},
  };
  expectDocumentRows(m_dir / "page", rows);
}

TEST(XmlToolUsage, BadUsageAndHelp) {
  const ToolRow rows[] = {
      {"xml", 2, ""},
      {"xml validate x.xml", 2, ""},
      {"xml events", 2, ""},
      {"xml events a.xml b.xml", 2, ""},
      {"xml events --feature 11 a.xml", 2, ""},
      {"xml events --feature -1 a.xml", 2, ""},
      {"xml events --feature x a.xml", 2, ""},
      {"xml events a.xml --feature", 2, ""},
      {"xml events --bogus a.xml", 2, ""},
      {"xml check", 2, ""},
      {"xml check --tokens a.xml", 2, ""},
      {"xml format a.xml b.xml", 2, ""},
      {"xml format --encoding", 2, ""},
      {"xml xinclude --encoding UTF-8 a.xml", 2, ""},
      {"xml root", 2, ""},
      {"xml root --feature 0 a.xml", 2, ""},
      {"xml events --platform --html a.xml", 2, ""},
      {"xml xinclude --platform a.xml", 2, ""},
      {"xml root --html a.xml", 2, ""},
      {"xml --help", 0, nullptr},
      {"catalog urn:a", 2, ""},
      {"catalog --catalog c.xml", 2, ""},
      {"catalog urn:a --catalog", 2, ""},
      {"catalog --bogus --catalog c.xml urn:a", 2, ""},
      {"catalog --help", 0, nullptr},
  };
  expectToolRows(rows);
  EXPECT_NE(runTool("xml --help").out.find("EVENT DEPTH LINE:COLUMN"), std::string::npos);
}

} // namespace
