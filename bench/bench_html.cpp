// HTML parsing throughput of the library's pull parser in HTML syntax against libxml2's HTML
// parser (htmlReadMemory, the tree freed with xmlFreeDoc) and gumbo (gumbo_parse, the output
// freed with gumbo_destroy_output), on the same page of about 10 MB of tag soup made in memory
// once (BenchHtmlDocument.h):
//   EKXmlParser  every event read with next(), with an error callback that counts the recovery
//                warnings; each element's and attribute's names, each attribute value and each
//                text touched, as a document builder would;
//   EKDocument   the page loaded into a tree through the same parser, and the tree freed;
//   libxml2, gumbo  the page to a tree and the tree freed.
// Compare bytes_per_second. Every parser's element count is checked against the start tags the
// generator wrote, so that a parser that stops early cannot look fast: a count outside
// ELEMENTS_MIN..ELEMENTS_MAX of it fails the benchmark (the parsers imply a few elements of their
// own: html, head and body, or tbody in each table).
#include "BenchHtmlDocument.h"

#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <gumbo.h>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace EKCommonNS;
using benchdocs::htmlPage;

namespace {

constexpr double ELEMENTS_MIN = 0.95;
constexpr double ELEMENTS_MAX = 1.25;

// Fails the benchmark unless `elements` is about the number of start tags on the page.
bool checkElements(benchmark::State& state, int64_t elements) {
  const double written = static_cast<double>(htmlPage().startTags);
  state.counters["elements"] = static_cast<double>(elements);
  if (elements >= written * ELEMENTS_MIN && elements <= written * ELEMENTS_MAX)
    return true;
  const std::string message =
      std::to_string(elements) + " elements read of " + std::to_string(htmlPage().startTags) + " start tags written";
  state.SkipWithError(message.c_str());
  return false;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(htmlPage().text.size()));
}

// What the error callback saw: recovery warnings are counted; a fatal error, after which the
// parse unwinds with an EKError of no message, is kept for the benchmark's error.
struct Reports {
  int64_t warnings = 0;
  std::string fatal;
};

void report(const EKError& error, void* reports) {
  Reports& seen = *static_cast<Reports*>(reports);
  if (getErrorLevel(error.getErrorCode()) != EKERROR_LEVEL_FATAL) {
    ++seen.warnings;
    return;
  }
  std::string message;
  seen.fatal = std::to_string(error.getErrorCode()) + ": " + error.getMessage().toUTF8String(message);
  std::replace(seen.fatal.begin(), seen.fatal.end(), '\n', ' ');
}

// A native parser in HTML syntax that reports to `reports`.
EKPtr<EKXmlParser> htmlParser(Reports& reports) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  parser->setParserType(EKN_html, EKN_html);
  parser->setCallbackError(report, &reports);
  return parser;
}

void failParse(benchmark::State& state, const EKError& error, const Reports& reports) {
  std::string message;
  state.SkipWithError(reports.fatal.empty() ? error.getMessage().toUTF8String(message).c_str()
                                            : reports.fatal.c_str());
}

uintptr_t touch(EKName name) { return static_cast<EKNameEnum>(name); }

void BM_EKXmlParser(benchmark::State& state) {
  const std::string& bytes = htmlPage().text;
  int64_t elements = 0;
  Reports reports;
  uintptr_t names = 0;
  for (auto _ : state) {
    elements = 0;
    reports = Reports();
    EKStrStream in(bytes.data(), bytes.size());
    EKPtr<EKXmlParser> parser = htmlParser(reports);
    try {
      parser->setInput(in, UnicodeString(), UnicodeString());
      for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next()) {
        if (event == EKXmlParser::TEXT) {
          names += static_cast<uintptr_t>(parser->getText().length());
        } else if (event == EKXmlParser::START_TAG) {
          ++elements;
          names += touch(parser->getName()) + touch(parser->getNamespace());
          for (int i = 0, count = parser->getAttributeCount(); i < count; ++i)
            names += touch(parser->getAttributeName(i)) + static_cast<uintptr_t>(parser->getAttributeValue(i).length());
        }
      }
    } catch (const EKError& error) {
      failParse(state, error, reports);
      return;
    }
  }
  benchmark::DoNotOptimize(names);
  state.counters["warnings"] = static_cast<double>(reports.warnings);
  if (checkElements(state, elements))
    setBytes(state);
}

void BM_EKDocument(benchmark::State& state) {
  const std::string& bytes = htmlPage().text;
  Reports reports;
  EKPtr<EKDocument> doc;
  for (auto _ : state) {
    reports = Reports();
    EKStrStream in(bytes.data(), bytes.size());
    doc = new EKDocument(); // frees the previous tree
    doc->setParser(htmlParser(reports));
    try {
      doc->load(in, nullptr, UnicodeString(u"bench.html"));
    } catch (const EKError& error) {
      failParse(state, error, reports);
      return;
    }
  }
  int64_t elements = 0;
  for (EKTreeIterator it(doc.get()); EKNode* node = it.nextNode();)
    elements += node->isElementNode();
  state.counters["warnings"] = static_cast<double>(reports.warnings);
  if (checkElements(state, elements))
    setBytes(state);
}

constexpr int LIBXML2_OPTIONS = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;

htmlDocPtr libxml2Parse(const std::string& bytes) {
  return htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "bench.html", nullptr, LIBXML2_OPTIONS);
}

// Elements of a libxml2 tree, counted without recursion.
int64_t libxml2Elements(htmlDocPtr doc) {
  int64_t elements = 0;
  std::vector<xmlNodePtr> pending{xmlDocGetRootElement(doc)};
  while (!pending.empty()) {
    xmlNodePtr node = pending.back();
    pending.pop_back();
    for (; node; node = node->next) {
      if (node->type != XML_ELEMENT_NODE)
        continue;
      ++elements;
      pending.push_back(node->children);
    }
  }
  return elements;
}

void BM_libxml2(benchmark::State& state) {
  const std::string& bytes = htmlPage().text;
  htmlDocPtr sample = libxml2Parse(bytes);
  const int64_t elements = sample ? libxml2Elements(sample) : 0;
  xmlFreeDoc(sample);
  if (!checkElements(state, elements))
    return;
  for (auto _ : state) {
    htmlDocPtr doc = libxml2Parse(bytes);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
  setBytes(state);
}

// Elements of a gumbo tree, counted without recursion.
int64_t gumboElements(const GumboOutput* output) {
  int64_t elements = 0;
  std::vector<const GumboNode*> pending{output->root};
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
      continue;
    ++elements;
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i)
      pending.push_back(static_cast<const GumboNode*>(children.data[i]));
  }
  return elements;
}

void BM_gumbo(benchmark::State& state) {
  const std::string& bytes = htmlPage().text;
  GumboOutput* sample = gumbo_parse_with_options(&kGumboDefaultOptions, bytes.data(), bytes.size());
  const int64_t elements = gumboElements(sample);
  gumbo_destroy_output(&kGumboDefaultOptions, sample);
  if (!checkElements(state, elements))
    return;
  for (auto _ : state) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, bytes.data(), bytes.size());
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
  }
  setBytes(state);
}

} // namespace

BENCHMARK(BM_EKXmlParser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EKDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_libxml2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_gumbo)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
