// The W3C XML Conformance Test Suite run through the native parser: well-formed documents must
// parse, documents that are not well-formed must fail, and where the suite gives an expected output
// the parser's events written in canonical form must match it byte for byte. Cases that the parser
// cannot pass by design are listed with their reasons in xmlconf-expected-failures.txt; any other
// failure, and any listed case that passes, fails the test, so that the list stays exact.
#include "support/XmlConfSuite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace EKCommonNS;
using namespace xmlconf;

namespace {

UnicodeString qualifiedName(EKName prefix, EKName localName) {
  return prefix.isEmpty() ? localName.toString() : prefix.toString() + u':' + localName.toString();
}

// Whether the document declares version 1.1, which changes its canonical form. The parser does not
// report the version, so it is read from the file's first bytes (every 1.1 document of the suite
// starts with an XML declaration in ASCII).
bool declaresVersion11(const EKUri& uri) {
  static const std::regex declaration("^<\\?xml\\s+version\\s*=\\s*[\"']1\\.1[\"']");
  std::ifstream in(localPath(uri), std::ios::binary);
  char head[64] = {};
  in.read(head, sizeof head - 1);
  return std::regex_search(head, declaration);
}

// Writes the events of next() in the canonical form of the suite's expected outputs: elements as
// start and end tags with their attributes sorted by qualified name, character data inside the
// root element, and processing instructions; nothing else. The form of an XML 1.1 document also
// begins with its version declaration and writes the control characters as references.
class CanonicalWriter {
public:
  explicit CanonicalWriter(bool version11) : m_version11(version11) {
    if (version11)
      m_out += u"<?xml version=\"1.1\"?>";
  }

  void add(EKXmlParser& parser, int event) {
    switch (event) {
    case EKXmlParser::START_TAG: writeStartTag(parser); break;
    case EKXmlParser::END_TAG:
      --m_depth;
      m_out += u"</" + qualifiedName(parser.getPrefix(), parser.getName()) + u'>';
      break;
    case EKXmlParser::TEXT:
      if (m_depth > 0)
        writeEscaped(parser.getText());
      break;
    case EKXmlParser::PROCESSING_INSTRUCTION:
      m_out += u"<?" + parser.getTarget().toString() + u' ' + parser.getText() + u"?>";
      break;
    default: break;
    }
  }
  std::string bytes() const { return utf8(m_out); }

private:
  void writeStartTag(EKXmlParser& parser) {
    ++m_depth;
    m_out += u'<' + qualifiedName(parser.getPrefix(), parser.getName());
    std::vector<std::pair<UnicodeString, UnicodeString>> attributes;
    for (int i = 0; i < parser.getAttributeCount(); ++i)
      attributes.emplace_back(qualifiedName(parser.getAttributePrefix(i), parser.getAttributeName(i)),
                              parser.getAttributeValue(i));
    std::sort(attributes.begin(), attributes.end(),
              [](const auto& a, const auto& b) { return a.first.compareCodePointOrder(b.first) < 0; });
    for (const auto& [name, value] : attributes) {
      m_out += u' ' + name + u"=\"";
      writeEscaped(value);
      m_out += u'"';
    }
    m_out += u'>';
  }

  void writeEscaped(const UnicodeString& text) {
    for (int32_t i = 0; i < text.length(); ++i) {
      const char16_t c = text.charAt(i);
      switch (c) {
      case u'&': m_out += u"&amp;"; break;
      case u'<': m_out += u"&lt;"; break;
      case u'>': m_out += u"&gt;"; break;
      case u'"': m_out += u"&quot;"; break;
      default:
        if (c == u'\t' || c == u'\n' || c == u'\r' || (m_version11 && (c < 0x20 || (c >= 0x7F && c <= 0x9F))))
          m_out += u"&#" + UnicodeString::fromUTF8(std::to_string(c)) + u';';
        else
          m_out += c;
      }
    }
  }

  const bool m_version11;
  UnicodeString m_out;
  int m_depth = 0;
};

struct Outcome {
  enum Result {
    PARSED,   // END_DOCUMENT reached without a thrown error
    REJECTED, // the parse threw EKError
    BROKEN,   // the input could not be opened, or something other than EKError was thrown
  };
  Result result = PARSED;
  std::string message; // the thrown error, or after a parse the first warning queued
  std::string canonical;
};

Outcome parseCase(const SuiteCase& suiteCase) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setFeature(EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS, true);
  EKUri input(suiteCase.uri);
  try {
    parser->setInput(input, UnicodeString(), UnicodeString());
  } catch (EKError& error) {
    return {Outcome::BROKEN, "cannot open: " + oneLine(error.getMessage()), ""};
  }
  CanonicalWriter writer(declaresVersion11(suiteCase.uri));
  try {
    for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next())
      writer.add(*parser, event);
  } catch (EKError& error) {
    const std::string code = std::to_string(error.getErrorCode());
    return {Outcome::REJECTED, "error " + code + ": " + oneLine(error.getMessage()), ""};
  } catch (std::exception& e) {
    return {Outcome::BROKEN, std::string("exception other than EKError: ") + e.what(), ""};
  } catch (...) {
    return {Outcome::BROKEN, "exception other than EKError", ""};
  }
  EKError warning;
  const std::string firstWarning = parser->popError(warning) ? oneLine(warning.getMessage()) : std::string();
  return {Outcome::PARSED, firstWarning, writer.bytes()};
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Up to 24 bytes either side of `at`, quoted, with control bytes escaped.
std::string excerpt(const std::string& bytes, size_t at) {
  const size_t from = at > 24 ? at - 24 : 0;
  std::string out = from > 0 ? "..." : "";
  out += '"';
  for (size_t i = from; i < bytes.size() && i < at + 24; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return at + 24 < bytes.size() ? out + "..." : out;
}

// Empty when the two are equal, else where and how they first differ.
std::string difference(const std::string& expected, const std::string& actual) {
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
    ++at;
  if (at == expected.size() && at == actual.size())
    return std::string();
  return "canonical output differs at byte " + std::to_string(at) + ": expected " + excerpt(expected, at) + ", got " +
         excerpt(actual, at);
}

// Why the case fails, or the empty string when it passes. Error cases leave the outcome to the
// parser, so only a broken run fails them.
std::string verdict(const SuiteCase& suiteCase, const Outcome& outcome) {
  if (outcome.result == Outcome::BROKEN)
    return outcome.message;
  if (suiteCase.type == "error")
    return std::string();
  if (suiteCase.type == "not-wf") {
    if (outcome.result == Outcome::REJECTED)
      return std::string();
    return "parsed without error" + (outcome.message.empty() ? "" : " (first warning: " + outcome.message + ")");
  }
  if (outcome.result == Outcome::REJECTED)
    return outcome.message;
  if (suiteCase.output.isEmpty())
    return std::string();
  if (!suiteCase.output.isFileExists())
    return "expected output missing: " + localPath(suiteCase.output);
  return difference(readFile(localPath(suiteCase.output)), outcome.canonical);
}

// Every case parsed in turn, under the watchdog.
std::vector<Outcome> parseAll(const std::vector<SuiteCase>& cases) {
  Watchdog watchdog;
  std::vector<Outcome> outcomes;
  for (const SuiteCase& suiteCase : cases) {
    watchdog.start(suiteCase.id);
    outcomes.push_back(parseCase(suiteCase));
  }
  return outcomes;
}

TEST(XmlConformance, W3CSuiteFailsOnlyWhereListed) {
  std::vector<SuiteCase> cases;
  try {
    cases = readCatalogue(SUITE_DIR + "/xmlconf.xml");
  } catch (EKError& error) {
    FAIL() << "the catalogue does not parse: " << oneLine(error.getMessage());
  }
  ASSERT_EQ(cases.size(), SUITE_CASE_COUNT);

  std::vector<std::string> problems;
  std::map<std::string, std::string> listed = readExpectedFailures(EXPECTED_FAILURES, problems);
  std::map<std::string, int> listedByReason;
  for (const auto& [id, reason] : listed)
    ++listedByReason[reason];
  const size_t listSize = listed.size();
  std::map<std::string, std::pair<int, int>> passes; // type -> passed (rejected for error cases), total
  const std::vector<Outcome> outcomes = parseAll(cases);
  for (size_t i = 0; i < cases.size(); ++i) {
    const SuiteCase& suiteCase = cases[i];
    const Outcome& outcome = outcomes[i];
    const std::string failure = verdict(suiteCase, outcome);
    std::pair<int, int>& count = passes[suiteCase.type];
    ++count.second;
    if (suiteCase.type == "error" ? outcome.result == Outcome::REJECTED : failure.empty())
      ++count.first;
    const auto entry = listed.find(suiteCase.id);
    const bool isListed = entry != listed.end();
    if (isListed)
      listed.erase(entry);
    if (failure.empty() && isListed)
      problems.push_back(describe(suiteCase) + ": passes, but is listed as expected to fail");
    else if (!failure.empty() && (!isListed || outcome.result == Outcome::BROKEN))
      problems.push_back(describe(suiteCase) + ": " + failure);
  }
  for (const auto& [id, reason] : listed)
    problems.push_back(id + ": listed as expected to fail, but the suite has no such case");

  std::cout << "W3C XML conformance suite, " << cases.size() << " cases:\n";
  for (const auto& [type, count] : passes)
    std::cout << "  " << type << ": " << count.first << " of " << count.second
              << (type == "error" ? " rejected (not judged)\n" : " pass\n");
  std::cout << "  expected failures listed: " << listSize << "\n";
  for (const auto& [reason, count] : listedByReason)
    std::cout << "    " << count << " " << reason << "\n";

  std::ostringstream message;
  for (const std::string& problem : problems)
    message << "\n  " << problem;
  EXPECT_TRUE(problems.empty()) << problems.size() << " unexpected results:" << message.str();
}

} // namespace
