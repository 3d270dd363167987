// The libxml2-backed parser against the native one: on every well-formed document of the W3C XML
// conformance suite that the native parser reads, and on the benchmark documents, both must report
// the same events. The differences that come from what the libxml2 tree cannot tell are listed
// below with their reasons; any other difference, and any listed case that no longer differs,
// fails the test, so that the list stays exact.
#include "ekcommon/core/EKVersion.h"

#if EKCOMMON_WITH_LIBXML2

#include "bench/BenchDocuments.h"
#include "ekcommon/xml/platform/EKMSXmlParser.h"
#include "support/XmlConfSuite.h"
#include "xml/XmlTestUtil.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

// Cases whose events differ by what libxml2 does, with the reason. (XML 1.1 documents are exempt
// as a whole; see the test.)
const char* const ENTITY_NESTING = "libxml2 rejects a declaration that does not start and end in one parameter "
                                   "entity, a validity constraint";
const char* const ATTRIBUTE_TYPES = "libxml2 normalises values of attributes declared with a type other than CDATA";
const char* const XML_PREFIX = "libxml2 keeps no declaration of the xml prefix in the tree";
const std::map<std::string, std::string> INHERENT_DIFFERENCES = {
    {"invalid--002", ENTITY_NESTING},
    {"invalid--005", ENTITY_NESTING},
    {"invalid--006", ENTITY_NESTING},
    {"ibm-invalid-P49-ibm49i01.xml", ENTITY_NESTING},
    {"ibm-invalid-P50-ibm50i01.xml", ENTITY_NESTING},
    {"ibm-invalid-P51-ibm51i01.xml", ENTITY_NESTING},
    {"rmt-e2e-14", ENTITY_NESTING},
    {"inv-not-sa02", ATTRIBUTE_TYPES},
    {"inv-not-sa05", ATTRIBUTE_TYPES},
    {"inv-not-sa06", ATTRIBUTE_TYPES},
    {"inv-not-sa07", ATTRIBUTE_TYPES},
    {"inv-not-sa08", ATTRIBUTE_TYPES},
    {"inv-not-sa09", ATTRIBUTE_TYPES},
    {"inv-not-sa10", ATTRIBUTE_TYPES},
    {"inv-not-sa11", ATTRIBUTE_TYPES},
    {"inv-not-sa12", ATTRIBUTE_TYPES},
    {"inv-not-sa13", ATTRIBUTE_TYPES},
    {"o-p08pass1", ATTRIBUTE_TYPES},
    {"rmt-ns10-028", XML_PREFIX},
    {"hst-bh-005", XML_PREFIX},
    {"valid-sa-068", "libxml2 turns a carriage return in an entity's replacement text into a line feed"},
    {"o-p18pass1", "libxml2 keeps no node for an empty CDATA section (nextToken)"},
    {"ibm-valid-P03-ibm03v01.xml", "libxml2 counts CR CR LF as one line end, not two"},
};

bool isPredefinedOrCharacter(EKName name) {
  const UnicodeString text = name.toString();
  return text.startsWith(u"#") || text == u"lt" || text == u"gt" || text == u"amp" || text == u"apos" ||
         text == u"quot";
}

struct Run {
  std::vector<std::string> lines;
  std::string error;      // the thrown error's code and first line; empty when the parse ended
  bool comparable = true; // nextToken: no reference the libxml2 tree reports as its expansion
};

// One line per event: the event, depth, start-tag line, name, attributes (namespace declarations
// first, as the libxml2 tree keeps them) and text. White space outside the root element is left
// out, and in nextToken mode adjacent TEXT and ENTITY_REF events are joined into one TEXT.
Run collect(EKXmlParser& parser, bool tokens) {
  Run run;
  std::string pendingText;
  bool textPending = false;
  const auto flush = [&] {
    if (textPending)
      run.lines.push_back("TEXT " + xmltest::quote(UnicodeString::fromUTF8(pendingText)));
    textPending = false;
    pendingText.clear();
  };
  try {
    for (int event = tokens ? parser.nextToken() : parser.next(); event != EKXmlParser::END_DOCUMENT;
         event = tokens ? parser.nextToken() : parser.next()) {
      if (parser.getDepth() == 0 && (event == EKXmlParser::TEXT || event == EKXmlParser::IGNORABLE_WHITESPACE))
        continue;
      if (tokens && (event == EKXmlParser::TEXT || event == EKXmlParser::ENTITY_REF)) {
        const std::string text = utf8(parser.getText());
        // A reference whose replacement text holds markup is reported as that markup's events.
        if (event == EKXmlParser::ENTITY_REF &&
            (!isPredefinedOrCharacter(parser.getName()) || text.find_first_of("&<") != std::string::npos))
          run.comparable = false;
        pendingText += text;
        textPending = true;
        continue;
      }
      flush();
      std::string line = xmltest::describe(parser, event);
      if (event == EKXmlParser::START_TAG) {
        std::string declarations;
        for (int i = 0; i < parser.getAttributeCount(); ++i)
          if (xmltest::isDeclaration(parser, i))
            declarations += " " + xmltest::qname(parser.getAttributeNamespace(i), parser.getAttributePrefix(i),
                                                 parser.getAttributeName(i)) +
                            "=" + xmltest::quote(parser.getAttributeValue(i));
        line += declarations + " L" + std::to_string(parser.getLineNumber());
      }
      run.lines.push_back(line);
    }
    flush();
  } catch (const EKError& error) {
    run.error = std::to_string(error.getErrorCode()) + " " + xmltest::firstLine(error);
  }
  return run;
}

std::string firstDifference(const Run& native, const Run& platform) {
  if (!native.error.empty() || !platform.error.empty())
    return "native error '" + native.error + "', platform error '" + platform.error + "'";
  for (size_t i = 0; i < std::max(native.lines.size(), platform.lines.size()); ++i) {
    std::string a = i < native.lines.size() ? native.lines[i] : "(end)";
    std::string b = i < platform.lines.size() ? platform.lines[i] : "(end)";
    // Where libxml2 knows no line (nodes copied from entity replacement text), lines are not compared.
    if (b.size() > 4 && b.compare(b.size() - 4, 4, " L-1") == 0 && a.rfind(" L") != std::string::npos) {
      a.erase(a.rfind(" L"));
      b.erase(b.rfind(" L"));
    }
    if (a != b)
      return "event " + std::to_string(i) + ": native " + a + " | platform " + b;
  }
  return std::string();
}

// The first difference between the parsers on one input in both reading modes; empty when they
// agree. `skip` is set when the native parser rejects the input. `open` sets the input, on a
// stream it may leave in the holder given, which outlives the parse.
template <class Open> std::string compare(const Open& open, bool& skip) {
  std::string difference;
  for (const bool tokens : {false, true}) {
    EKPtr<EKXmlParser> native = EKXmlParser::createXmlParser();
    EKPtr<EKXmlParser> platform = EKMSXmlParser::create();
    std::unique_ptr<std::istream> nativeStream, platformStream;
    Run expected, actual;
    try {
      open(*native, nativeStream);
      expected = collect(*native, tokens);
    } catch (const EKError& error) {
      expected.error = std::to_string(error.getErrorCode());
    }
    skip = !expected.error.empty();
    if (skip)
      return std::string();
    try {
      open(*platform, platformStream);
      actual = collect(*platform, tokens);
    } catch (const EKError& error) {
      actual.error = std::to_string(error.getErrorCode()) + " " + xmltest::firstLine(error);
    }
    if (tokens && !expected.comparable)
      continue;
    difference = firstDifference(expected, actual);
    if (!difference.empty())
      return (tokens ? "nextToken: " : "next: ") + difference;
  }
  return difference;
}

} // namespace

TEST(MSXmlParserDifferential, W3CSuiteWellFormedDocumentsGiveTheNativeEvents) {
  using namespace xmlconf;
  const std::vector<SuiteCase> cases = readCatalogue(SUITE_DIR + "/xmlconf.xml");
  ASSERT_EQ(cases.size(), SUITE_CASE_COUNT);
  std::vector<std::string> problems;
  // Where the native parser is known to be wrong, its events are no reference.
  const std::map<std::string, std::string> nativeFailures = readExpectedFailures(EXPECTED_FAILURES, problems);
  int compared = 0;
  Watchdog watchdog;
  for (const SuiteCase& suiteCase : cases) {
    if ((suiteCase.type != "valid" && suiteCase.type != "invalid") || nativeFailures.count(suiteCase.id))
      continue;
    watchdog.start(suiteCase.id);
    bool skip = false;
    const std::string difference = compare(
        [&](EKXmlParser& parser, std::unique_ptr<std::istream>&) {
          EKUri input(suiteCase.uri);
          parser.setInput(input, UnicodeString(), UnicodeString());
        },
        skip);
    if (skip)
      continue;
    ++compared;
    const auto listed = INHERENT_DIFFERENCES.find(suiteCase.id);
    if (suiteCase.version == "1.1") {
      // libxml2 reads XML 1.1 documents by the rules of XML 1.0: NEL and LS are no line ends, C1
      // controls and the names 1.1 adds are errors. Both parsers only have to read them safely.
      continue;
    }
    if (listed == INHERENT_DIFFERENCES.end() && !difference.empty())
      problems.push_back(describe(suiteCase) + ": " + difference);
    else if (listed != INHERENT_DIFFERENCES.end() && difference.empty())
      problems.push_back(suiteCase.id + " is listed (" + listed->second + ") but gives the same events");
  }
  std::cout << compared << " documents compared, " << problems.size() << " problems\n";
  EXPECT_GT(compared, 900);
  std::ostringstream report;
  for (const std::string& problem : problems)
    report << problem << '\n';
  EXPECT_TRUE(problems.empty()) << report.str();
}

TEST(MSXmlParserDifferential, BenchmarkDocumentsGiveTheNativeEvents) {
  const std::string documents[] = {benchdocs::foDocument(300 * 1000), benchdocs::xhtmlDocument(300 * 1000)};
  for (const std::string& document : documents) {
    bool skip = false;
    const std::string difference = compare(
        [&](EKXmlParser& parser, std::unique_ptr<std::istream>& stream) {
          stream = std::make_unique<std::istringstream>(document);
          parser.setInput(*stream, UnicodeString(), UnicodeString());
        },
        skip);
    EXPECT_FALSE(skip);
    EXPECT_EQ(difference, "") << document.substr(0, 200);
  }
}

#endif
