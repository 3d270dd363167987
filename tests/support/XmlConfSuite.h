// The W3C XML conformance suite as the test programs that run it see it: its catalogue of cases,
// the list of cases the native parser is known to fail, and a watchdog that names a case whose
// run hangs. The program defines EKCOMMON_XMLCONF_DIR (the unpacked suite) and EKCOMMON_SOURCE_DIR.
#pragma once

#include "support/TestStrings.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace xmlconf {

using namespace EKCommonNS;

inline const std::string SUITE_DIR = EKCOMMON_XMLCONF_DIR;
inline const std::string EXPECTED_FAILURES = EKCOMMON_SOURCE_DIR "/tests/xml/xmlconf-expected-failures.txt";
// The version of the suite in use has this many TEST elements; fewer means the catalogue was
// read incompletely (an included collection went missing).
constexpr size_t SUITE_CASE_COUNT = 2585;

// One TEST element of the catalogue, its URI and OUTPUT resolved against the element's base.
struct SuiteCase {
  std::string id;
  std::string type; // valid, invalid, not-wf or error
  EKUri uri;
  EKUri output; // empty when the suite gives no expected output
  std::string version, edition, entities, namespaces, sections;
};

inline std::string attribute(EKXmlParser& parser, const char* name) {
  const UnicodeString value = parser.getAttributeValue(EKName(), EKName(u(name)));
  return value.isBogus() ? std::string() : utf8(value);
}

inline EKUri resolvedAttribute(EKXmlParser& parser, const EKUri& base, const char* name) {
  const UnicodeString value = parser.getAttributeValue(EKName(), EKName(u(name)));
  return value.isBogus() ? EKUri() : EKUri(base, value);
}

// Reads the catalogue with the parser under test. The collections' catalogues come in as external
// entities. An element's base URI follows XML Base: its xml:base resolved against the parent's base
// while both stand in the same entity, and against the base of the entity where one begins.
inline std::vector<SuiteCase> readCatalogue(const std::string& path) {
  struct Scope {
    UnicodeString entityBase;
    EKUri base;
  };
  std::vector<Scope> scopes;
  std::vector<SuiteCase> cases;
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  EKUri catalogue(u(path.c_str()));
  parser->setInput(catalogue, UnicodeString(), UnicodeString());
  for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next()) {
    if (event == EKXmlParser::END_TAG)
      scopes.pop_back();
    if (event != EKXmlParser::START_TAG)
      continue;
    const UnicodeString entityBase = parser->getBaseUri();
    EKUri base = scopes.empty() || scopes.back().entityBase != entityBase ? EKUri(entityBase) : scopes.back().base;
    const UnicodeString xmlBase = parser->getAttributeValue(EKN_http_www_w3_org_XML_1998_namespace, EKN_base);
    if (!xmlBase.isBogus())
      base = EKUri(base, xmlBase);
    scopes.push_back({entityBase, base});
    if (parser->getName() != EKName(u("TEST")))
      continue;
    cases.push_back({attribute(*parser, "ID"), attribute(*parser, "TYPE"), resolvedAttribute(*parser, base, "URI"),
                     resolvedAttribute(*parser, base, "OUTPUT"), attribute(*parser, "VERSION"),
                     attribute(*parser, "EDITION"), attribute(*parser, "ENTITIES"), attribute(*parser, "NAMESPACE"),
                     attribute(*parser, "SECTIONS")});
  }
  return cases;
}

inline std::string localPath(const EKUri& uri) { return utf8(uri.getLocalPath()); }

// The text with the file names in it made relative to the suite.
inline std::string suiteRelative(std::string text) {
  const std::string suitePrefix = SUITE_DIR + "/";
  for (size_t at = text.find(suitePrefix); at != std::string::npos; at = text.find(suitePrefix, at))
    text.erase(at, suitePrefix.size());
  return text;
}

inline std::string oneLine(const UnicodeString& message) {
  std::string text = utf8(message);
  std::replace(text.begin(), text.end(), '\n', ' ');
  return suiteRelative(text);
}

// "ID [type, section ..., ...] file" for failure messages.
inline std::string describe(const SuiteCase& suiteCase) {
  std::string text = suiteCase.id + " [" + suiteCase.type;
  const std::pair<const char*, const std::string*> details[] = {{"sections", &suiteCase.sections},
                                                                {"version", &suiteCase.version},
                                                                {"edition", &suiteCase.edition},
                                                                {"entities", &suiteCase.entities},
                                                                {"namespace", &suiteCase.namespaces}};
  for (const auto& [label, value] : details)
    if (!value->empty())
      text += std::string(", ") + label + " " + *value;
  return text + "] " + suiteRelative(localPath(suiteCase.uri));
}

// The expected-failure list: ID -> reason. Malformed lines are reported in `problems`.
inline std::map<std::string, std::string> readExpectedFailures(const std::string& path,
                                                               std::vector<std::string>& problems) {
  std::map<std::string, std::string> reasons;
  std::ifstream in(path);
  if (!in)
    problems.push_back("cannot read " + path);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::istringstream fields(line);
    std::string id, reason;
    if (!(fields >> id) || id[0] == '#')
      continue;
    std::getline(fields >> std::ws, reason);
    if (reason.empty())
      problems.push_back("line " + std::to_string(number) + ": " + id + " is listed without a reason");
    else if (!reasons.emplace(id, reason).second)
      problems.push_back("line " + std::to_string(number) + ": " + id + " is listed twice");
  }
  return reasons;
}

// Aborts the process naming the case when one case runs far longer than any case should, so that
// a parser caught in a loop shows which input did it instead of stalling the run.
class Watchdog {
public:
  // Far longer than any case takes, even under the sanitizers on a loaded machine.
  static constexpr std::chrono::seconds CASE_TIME_LIMIT{30};

  Watchdog() : m_thread([this] { watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_done = true;
    }
    m_wake.notify_one();
    m_thread.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void start(const std::string& id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_id = id;
    m_started = std::chrono::steady_clock::now();
  }

private:
  void watch() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_done) {
      if (!m_id.empty() && std::chrono::steady_clock::now() - m_started > CASE_TIME_LIMIT) {
        std::cerr << "case " << m_id << " is still running after " << CASE_TIME_LIMIT.count() << " s" << std::endl;
        std::abort();
      }
      m_wake.wait_for(lock, std::chrono::milliseconds(250));
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_done = false;
  std::string m_id;
  std::chrono::steady_clock::time_point m_started;
  std::thread m_thread; // last, so that it starts once the members it reads exist
};

} // namespace xmlconf
