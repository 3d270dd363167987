// The libxml2-backed pull parser (EKMSXmlParser) against libxml2 itself on the same two documents
// of about 20 MB each as the XML benchmark (XSL-FO-like and XHTML-like): the parser reads the
// bytes, has libxml2 build its tree and walks it to END_DOCUMENT; the baseline is xmlReadMemory
// and xmlFreeDoc of the same bytes with the same options. The goal is at most 1.3 times the
// baseline's time for the walk with next(). A second run also reads every name, attribute value
// and text through the getters, as a document builder would, to show what converting the tree to
// the library's names and UTF-16 strings adds.
#include "BenchDocuments.h"

#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdint>
#include <string>

using namespace EKCommonNS;
using benchdocs::document;

namespace {

// The options the parser uses with its default features.
constexpr int LIBXML2_OPTIONS = XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_NONET | XML_PARSE_BIG_LINES;

uintptr_t touch(EKName name) { return static_cast<EKNameEnum>(name); }

void BM_EKMSXmlParser(benchmark::State& state, bool fo, bool getters) {
  const std::string& bytes = document(fo);
  int64_t events = 0;
  uintptr_t checksum = 0;
  for (auto _ : state) {
    events = 0;
    EKStrStream in(bytes.data(), bytes.size());
    EKPtr<EKMSXmlParser> parser = EKMSXmlParser::create();
    parser->setInput(in, UnicodeString(), UnicodeString());
    for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next()) {
      ++events;
      if (!getters)
        continue;
      if (event == EKXmlParser::TEXT) {
        checksum += static_cast<uintptr_t>(parser->getText().length());
      } else {
        checksum += touch(parser->getName()) + touch(parser->getNamespace()) + touch(parser->getPrefix());
        for (int i = 0, count = parser->getAttributeCount(); i < count; ++i)
          checksum += touch(parser->getAttributeName(i)) + touch(parser->getAttributeNamespace(i)) +
                      touch(parser->getAttributePrefix(i)) +
                      static_cast<uintptr_t>(parser->getAttributeValue(i).length());
      }
    }
  }
  benchmark::DoNotOptimize(checksum);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["events"] = static_cast<double>(events);
}

void BM_libxml2_tree(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  for (auto _ : state) {
    xmlDocPtr tree = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, LIBXML2_OPTIONS);
    if (!tree)
      state.SkipWithError("xmlReadMemory failed");
    xmlFreeDoc(tree);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

} // namespace

BENCHMARK_CAPTURE(BM_EKMSXmlParser, fo_walk, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKMSXmlParser, fo_getters, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_libxml2_tree, fo, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKMSXmlParser, xhtml_walk, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKMSXmlParser, xhtml_getters, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_libxml2_tree, xhtml, false)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
