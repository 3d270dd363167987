// Every well-formed document of the W3C XML conformance suite loaded into a DOM, saved, and loaded
// again from the saved bytes must give the same tree (as DomTreeForm.h prints it); and what was
// saved must also be accepted by an independent reader (libxml2's xmllint), run once over all
// saved documents. Cases marked not well-formed are left out, since the parser wrongly accepts
// some of them (xmlconf-expected-failures.txt lists those).
#include "DomTestUtil.h"
#include "support/DomTreeForm.h"
#include "support/XmlConfSuite.h"

#include <algorithm>
#include <regex>
#include <set>

using namespace domtest;
using namespace xmlconf;
using domform::treeForm;

namespace {

// A loader that keeps processing instructions, so that they take part in the round trip.
EKPtr<EKDocument> newDocument() {
  EKPtr<EKDocument> doc(new EKDocument());
  doc->getParser()->setFeature(EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS, true);
  return doc;
}

struct RoundTrip {
  enum Result { CHECKED, SKIPPED, FAILED } result = CHECKED;
  std::string message; // why the case was skipped or failed
  std::string saved;   // the bytes of the first save
};

std::string errorText(const EKError& error) {
  return "error " + std::to_string(error.getErrorCode()) + ": " + oneLine(error.getMessage());
}

// Loads, saves and reloads one case. A case the parser rejects is skipped when the suite allows it
// (an error case) or the expected-failure list names it; any other rejection fails.
RoundTrip roundTrip(const SuiteCase& suiteCase, bool listed) {
  EKPtr<EKDocument> first = newDocument();
  EKUri uri(suiteCase.uri);
  try {
    first->load(uri);
  } catch (const EKError& error) {
    const bool excused = listed || suiteCase.type == "error";
    return {excused ? RoundTrip::SKIPPED : RoundTrip::FAILED, "does not load: " + errorText(error), ""};
  }
  RoundTrip outcome;
  try {
    std::ostringstream out;
    first->save(out);
    outcome.saved = out.str();
  } catch (const EKError& error) {
    return {RoundTrip::FAILED, "does not save: " + errorText(error), ""};
  }
  EKPtr<EKDocument> second = newDocument();
  std::istringstream in(outcome.saved);
  try {
    second->load(in, nullptr, u("saved.xml"));
  } catch (const EKError& error) {
    return {RoundTrip::FAILED, "saved output does not load: " + errorText(error), outcome.saved};
  }
  const std::string before = treeForm(first), after = treeForm(second);
  if (before != after)
    return {RoundTrip::FAILED, "trees differ\n--- loaded\n" + before + "--- reloaded\n" + after, outcome.saved};
  return outcome;
}

struct LintReport {
  std::map<int, std::string> errors; // file number -> the first error line for it
  int nonAsciiNamespaces = 0;        // files with no other error than a namespace name beyond ASCII
};

// Runs xmllint once over the files of `dir` (named <number>.xml). libxml2 checks namespace names
// as URIs, which the suite's namespace names beyond ASCII (IRIs, as the documents loaded have them)
// are not: that error alone is counted apart.
LintReport runXmllint(const ScratchDir& dir) {
  const std::string output = dir / "xmllint.txt";
  shell("cd '" + dir.path() + "' && xmllint --noout [0-9]*.xml > '" + output + "' 2>&1");
  static const std::regex errorLine("^([0-9]+)\\.xml:[0-9]+: .*error : .*");
  static const std::regex notAUri("^[0-9]+\\.xml:[0-9]+: namespace error : xmlns(:[^:]+)?: '.*' is not a valid URI$");
  LintReport report;
  std::set<int> notAUriOnly;
  std::istringstream lines(readFile(output));
  std::string text;
  while (std::getline(lines, text)) {
    std::smatch match;
    if (!std::regex_match(text, match, errorLine))
      continue;
    const bool nonAscii = std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
    if (nonAscii && std::regex_match(text, notAUri))
      notAUriOnly.insert(std::stoi(match[1]));
    else
      report.errors.emplace(std::stoi(match[1]), text);
  }
  for (const int number : notAUriOnly)
    report.nonAsciiNamespaces += report.errors.count(number) == 0;
  return report;
}

} // namespace

TEST(DocumentRoundTrip, W3CSuiteDocumentsSaveAndReloadToTheSameTree) {
  ASSERT_EQ(shell("command -v xmllint > /dev/null"), 0) << "xmllint missing: scripts/install-deps.sh installs it";
  std::vector<SuiteCase> cases;
  try {
    cases = readCatalogue(SUITE_DIR + "/xmlconf.xml");
  } catch (const EKError& error) {
    FAIL() << "the catalogue does not parse: " << oneLine(error.getMessage());
  }
  ASSERT_EQ(cases.size(), SUITE_CASE_COUNT);
  std::vector<std::string> problems;
  const std::map<std::string, std::string> listed = readExpectedFailures(EXPECTED_FAILURES, problems);

  ScratchDir dir;
  std::vector<const SuiteCase*> savedCases; // by file number
  int checked = 0, skipped = 0;
  {
    Watchdog watchdog;
    for (const SuiteCase& suiteCase : cases) {
      if (suiteCase.type == "not-wf")
        continue;
      watchdog.start(suiteCase.id);
      const RoundTrip outcome = roundTrip(suiteCase, listed.count(suiteCase.id) != 0);
      if (outcome.result == RoundTrip::SKIPPED) {
        ++skipped;
        continue;
      }
      if (outcome.result == RoundTrip::FAILED)
        problems.push_back(describe(suiteCase) + ": " + outcome.message);
      if (outcome.saved.empty())
        continue;
      checked += outcome.result == RoundTrip::CHECKED;
      writeFile(dir / (std::to_string(savedCases.size()) + ".xml"), outcome.saved);
      savedCases.push_back(&suiteCase);
    }
  }
  const LintReport lint = runXmllint(dir);
  for (const auto& [number, error] : lint.errors)
    problems.push_back(describe(*savedCases.at(static_cast<size_t>(number))) + ": xmllint: " + error + "\n" +
                       readFile(dir / (std::to_string(number) + ".xml")));

  std::cout << "W3C XML conformance suite round trip: " << checked << " documents give the same tree after "
            << "saving, " << skipped << " skipped (rejected by the loader where allowed); xmllint read "
            << savedCases.size() << " saved documents, " << lint.errors.size() << " with errors and "
            << lint.nonAsciiNamespaces << " with namespace names beyond ASCII only\n";
  // The suite has 1087 cases that are not marked not-well-formed, of which the loader reads all but
  // a few dozen: far fewer means the cases went missing rather than failed.
  EXPECT_GT(checked, 1000);
  std::ostringstream message;
  for (const std::string& problem : problems)
    message << "\n  " << problem;
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems:" << message.str();
}
