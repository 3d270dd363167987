// Building, saving and loading on demand of the library's EKDocument against libxml2's tree
// (xmlReadMemory, xmlDocDumpMemory) and pugixml's xml_document, on the two documents of about
// 20 MB that bench_xml parses (BenchDocuments.h), made in memory once:
//   load_*  the bytes to a complete tree, from memory. The timing stops before the tree is freed;
//           free_* times freeing alone (the load before it is not timed). All three expand the
//           entities: libxml2 with XML_PARSE_NOENT; pugixml reads no DTD, so it leaves the
//           xhtml document's declared entities as text (the predefined ones and character
//           references it expands).
//   counters of load_*: the tree's elements and texts (nodes) and attributes (namespace
//           declarations included: libxml2 keeps them apart, the others as attributes), and the
//           heap the loaded tree holds, measured with glibc's mallinfo2 (bytes in use, mapped
//           blocks included) before the load and after it: per node, and per node counting the
//           attributes as nodes too. The library interns names in a table shared by all
//           documents, which the first load fills and later loads reuse: the figures are those
//           of the last load, so they leave names out for the library only.
//   save_*  the tree loaded by the same library to bytes in memory: EKDocument::save into an
//           EKMemStream, xmlDocDumpMemory; bytes_per_second counts the output.
//   pull_*  EKDocument in pull mode loads up to the first child of the document element: time
//           and heap in use afterwards must not depend on the document's size (20 MB and 200 MB).
#include "BenchDocuments.h"
#include "BenchXmlDump.h"

#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <malloc.h>
#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

using namespace EKCommonNS;
using benchdocs::document;

namespace {

constexpr size_t PULL_DOCUMENT_SIZE = 200 * 1000 * 1000;

// Bytes the heap hands out now, mapped blocks included.
int64_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.uordblks + info.hblkhd);
}

struct NodeCount {
  int64_t elements = 0;
  int64_t texts = 0;
  int64_t attributes = 0;
};

struct EKDom {
  using Tree = EKPtr<EKDocument>;
  static Tree load(const std::string& bytes) {
    EKStrStream in(bytes.data(), bytes.size());
    Tree doc(new EKDocument());
    doc->load(in, nullptr, UnicodeString(u"bench.xml"));
    return doc;
  }
  static NodeCount count(const Tree& doc) {
    NodeCount count;
    for (EKTreeIterator it(doc.get()); EKNode* node = it.nextNode();) {
      if (node->isElementNode()) {
        ++count.elements;
        count.attributes += node->hasAttributes() ? node->getAttributes()->getLength() : 0;
      } else {
        count.texts += node->getNodeType() == TEXT_NODE;
      }
    }
    return count;
  }
  static void free(Tree& doc) { doc = nullptr; }
};

struct Libxml2Dom {
  using Tree = xmlDocPtr;
  static Tree load(const std::string& bytes) {
    return xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "bench.xml", nullptr, XML_PARSE_NOENT);
  }
  // Walks the tree without recursion.
  static NodeCount count(Tree doc) {
    NodeCount count;
    for (xmlNodePtr node = xmlDocGetRootElement(doc); node;) {
      if (node->type == XML_ELEMENT_NODE) {
        ++count.elements;
        for (xmlAttrPtr a = node->properties; a; a = a->next)
          ++count.attributes;
        for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next)
          ++count.attributes;
      } else {
        count.texts += node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
      }
      if (node->type == XML_ELEMENT_NODE && node->children) {
        node = node->children;
        continue;
      }
      while (node && !node->next)
        node = node->parent && node->parent->type == XML_ELEMENT_NODE ? node->parent : nullptr;
      if (node)
        node = node->next;
    }
    return count;
  }
  static void free(Tree& doc) {
    xmlFreeDoc(doc);
    doc = nullptr;
  }
};

struct PugiDom {
  using Tree = std::unique_ptr<pugi::xml_document>;
  // Whitespace-only texts are kept, as the other two keep them.
  static Tree load(const std::string& bytes) {
    Tree doc(new pugi::xml_document());
    if (!doc->load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata))
      doc.reset();
    return doc;
  }
  static NodeCount count(const Tree& doc) {
    struct Walker : pugi::xml_tree_walker {
      NodeCount count;
      bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_element) {
          ++count.elements;
          for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
            ++count.attributes;
        } else {
          count.texts += node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
        }
        return true;
      }
    } walker;
    doc->traverse(walker);
    return walker.count;
  }
  static void free(Tree& doc) { doc.reset(); }
};

template <class Dom>
void BM_load(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  typename Dom::Tree tree{};
  int64_t before = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Dom::free(tree);
    before = heapInUse();
    state.ResumeTiming();
    tree = Dom::load(bytes);
    if (!tree)
      state.SkipWithError("the document does not load");
  }
  const int64_t heap = heapInUse() - before;
  if (!tree)
    return;
  const NodeCount count = Dom::count(tree);
  Dom::free(tree);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  const double nodes = static_cast<double>(count.elements + count.texts);
  const double attributes = static_cast<double>(count.attributes);
  state.counters["elements"] = static_cast<double>(count.elements);
  state.counters["texts"] = static_cast<double>(count.texts);
  state.counters["attributes"] = attributes;
  state.counters["heap_MB"] = static_cast<double>(heap) / 1e6;
  state.counters["bytes_per_node"] = static_cast<double>(heap) / nodes;
  state.counters["bytes_per_node_or_attr"] = static_cast<double>(heap) / (nodes + attributes);
}

template <class Dom>
void BM_free(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  for (auto _ : state) {
    state.PauseTiming();
    typename Dom::Tree tree = Dom::load(bytes);
    state.ResumeTiming();
    Dom::free(tree);
  }
}

void BM_save_EKDocument(benchmark::State& state, bool fo) {
  EKDom::Tree doc = EKDom::load(document(fo));
  uint64_t size = 0;
  for (auto _ : state) {
    EKMemStream out;
    doc->save(out);
    size = out.size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["output_bytes"] = static_cast<double>(size);
}

void BM_save_libxml2(benchmark::State& state, bool fo) {
  Libxml2Dom::Tree doc = Libxml2Dom::load(document(fo));
  timeXmlDocDumpMemory(state, doc);
  Libxml2Dom::free(doc);
}

// The FO document grown to PULL_DOCUMENT_SIZE, or the ordinary one.
const std::string& pullDocument(bool large) {
  static const std::string largeText = benchdocs::foDocument(PULL_DOCUMENT_SIZE);
  return large ? largeText : document(true);
}

void BM_pull_EKDocument(benchmark::State& state, bool large) {
  const std::string& bytes = pullDocument(large);
  int64_t heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const int64_t before = heapInUse();
    state.ResumeTiming();
    EKStrStream in(bytes.data(), bytes.size());
    EKPtr<EKDocument> doc(new EKDocument());
    doc->setPullMode(true);
    doc->load(in, nullptr, UnicodeString(u"pull.fo"));
    EKNode* first = doc->getDocumentElement()->getFirstChild();
    benchmark::DoNotOptimize(first);
    state.PauseTiming();
    heap = heapInUse() - before;
    doc = nullptr;
    state.ResumeTiming();
  }
  state.counters["document_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["heap_KB"] = static_cast<double>(heap) / 1e3;
}

} // namespace

int main(int argc, char** argv) {
  using benchmark::RegisterBenchmark;
  constexpr benchmark::TimeUnit MS = benchmark::kMillisecond;
  constexpr double LOAD_TIME = 2.0; // seconds of timed loading
  constexpr int FREES = 10;
  for (const auto& [suffix, fo] : {std::make_pair("/fo", true), std::make_pair("/xhtml", false)}) {
    const std::string doc = suffix;
    // Several loads each, so that the first, which also grows the heap, weighs little; freeing
    // runs a fixed number of times, since each one needs an untimed load first.
    RegisterBenchmark(("load_EKDocument" + doc).c_str(), BM_load<EKDom>, fo)->Unit(MS)->MinTime(LOAD_TIME);
    RegisterBenchmark(("load_libxml2" + doc).c_str(), BM_load<Libxml2Dom>, fo)->Unit(MS)->MinTime(LOAD_TIME);
    RegisterBenchmark(("load_pugixml" + doc).c_str(), BM_load<PugiDom>, fo)->Unit(MS)->MinTime(LOAD_TIME);
    RegisterBenchmark(("free_EKDocument" + doc).c_str(), BM_free<EKDom>, fo)->Unit(MS)->Iterations(FREES);
    RegisterBenchmark(("free_libxml2" + doc).c_str(), BM_free<Libxml2Dom>, fo)->Unit(MS)->Iterations(FREES);
    RegisterBenchmark(("free_pugixml" + doc).c_str(), BM_free<PugiDom>, fo)->Unit(MS)->Iterations(FREES);
    RegisterBenchmark(("save_EKDocument" + doc).c_str(), BM_save_EKDocument, fo)->Unit(MS);
    RegisterBenchmark(("save_libxml2" + doc).c_str(), BM_save_libxml2, fo)->Unit(MS);
  }
  RegisterBenchmark("pull_EKDocument/fo_20MB", BM_pull_EKDocument, false)->Unit(benchmark::kMicrosecond);
  RegisterBenchmark("pull_EKDocument/fo_200MB", BM_pull_EKDocument, true)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
