// XML writing throughput of the library's serializer against libxml2's xmlDocDumpMemory, on the
// same tree of about 20 MB: XSL-FO-like blocks nested a few deep, 4 to 8 attributes each from two
// namespaces, and paragraphs of text with markup characters and some text beyond ASCII to escape.
// The tree is built once with libxml2; the serializer is fed the same tree as a list of calls
// whose names and strings are prepared beforehand, the way a document saver holds them, and
// writes into the library's memory stream as xmlDocDumpMemory writes into its growing buffer.
// Compare the bytes_per_second of the two.
#include "BenchXmlDump.h"

#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <libxml/tree.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace EKCommonNS;

namespace {

constexpr size_t TREE_SIZE = 20 * 1000 * 1000;
const char* const FO_NS = "http://www.w3.org/1999/XSL/Format";
const char* const EXT_NS = "http://example.com/ext";

// A linear congruential generator, so that every run writes the same tree.
uint32_t nextRandom(uint32_t& state) {
  state = state * 1103515245u + 12345u;
  return (state >> 8) % 1000;
}

// The libxml2 tree, whose serialized size grows to about TREE_SIZE.
xmlDocPtr buildTree() {
  static const char* const words[] = {"lorem", "ipsum", "dolor", "sit", "amet", "caf\xC3\xA9", "A&B", "x<y",
                                      "\xE2\x80\x94", "consectetur", "adipiscing", "elit", "\"quoted\""};
  static const char* const properties[] = {"font-size", "space-before", "color", "margin-left", "padding",
                                           "text-align", "font-family", "keep-with-next"};
  xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
  doc->encoding = xmlStrdup(BAD_CAST "UTF-8");
  xmlNodePtr root = xmlNewDocNode(doc, nullptr, BAD_CAST "root", nullptr);
  xmlDocSetRootElement(doc, root);
  xmlNsPtr fo = xmlNewNs(root, BAD_CAST FO_NS, BAD_CAST "fo");
  xmlNsPtr ext = xmlNewNs(root, BAD_CAST EXT_NS, BAD_CAST "ext");
  xmlSetNs(root, fo);
  uint32_t state = 7;
  size_t size = 0;
  while (size < TREE_SIZE) {
    xmlNodePtr parent = root;
    for (uint32_t depth = 1 + nextRandom(state) % 4; depth > 0; --depth) {
      parent = xmlNewChild(parent, fo, BAD_CAST "block", nullptr);
      const uint32_t first = nextRandom(state);
      for (uint32_t n = 4 + nextRandom(state) % 5; n > 0; --n) {
        const std::string value = std::to_string(nextRandom(state)) + "pt";
        xmlNewNsProp(parent, nextRandom(state) % 5 == 0 ? ext : nullptr, BAD_CAST properties[(first + n) % 8],
                     BAD_CAST value.c_str());
        size += 24;
      }
    }
    std::string text;
    for (uint32_t n = 20 + nextRandom(state) % 60; n > 0; --n)
      text.append(words[nextRandom(state) % 13]).push_back(' ');
    xmlAddChild(parent, xmlNewText(BAD_CAST text.c_str()));
    size += text.size() + 60;
  }
  return doc;
}

// One serializer call.
struct Call {
  enum Kind { START, ATTRIBUTE, TEXT, END } kind;
  EKName ns, prefix, local;
  UnicodeString value;
};

EKName nameOf(const xmlChar* s) {
  return s ? EKName(UnicodeString::fromUTF8(reinterpret_cast<const char*>(s))) : EKName();
}

// The tree as calls, namespace declarations among the attributes; walked without recursion.
std::vector<Call> callsOf(xmlDocPtr doc) {
  std::vector<Call> calls;
  xmlNodePtr node = xmlDocGetRootElement(doc);
  while (node) {
    if (node->type == XML_TEXT_NODE) {
      calls.push_back({Call::TEXT, {}, {}, {}, UnicodeString::fromUTF8(reinterpret_cast<const char*>(node->content))});
    } else {
      calls.push_back({Call::START, nameOf(node->ns->href), nameOf(node->ns->prefix), nameOf(node->name), {}});
      for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next)
        calls.push_back({Call::ATTRIBUTE, EKN_http_www_w3_org_2000_xmlns, EKN_xmlns, nameOf(ns->prefix),
                         UnicodeString::fromUTF8(reinterpret_cast<const char*>(ns->href))});
      for (xmlAttrPtr a = node->properties; a; a = a->next)
        calls.push_back({Call::ATTRIBUTE, a->ns ? nameOf(a->ns->href) : EKName(),
                         a->ns ? nameOf(a->ns->prefix) : EKName(), nameOf(a->name),
                         UnicodeString::fromUTF8(reinterpret_cast<const char*>(a->children->content))});
      if (node->children) {
        node = node->children;
        continue;
      }
      calls.push_back({Call::END, nameOf(node->ns->href), {}, nameOf(node->name), {}});
    }
    while (node && !node->next) {
      node = node->parent;
      if (node && node->type == XML_ELEMENT_NODE)
        calls.push_back({Call::END, nameOf(node->ns->href), {}, nameOf(node->name), {}});
      if (node == xmlDocGetRootElement(doc))
        node = nullptr;
    }
    if (node)
      node = node->next;
  }
  return calls;
}

xmlDocPtr sharedTree() {
  static xmlDocPtr doc = buildTree();
  return doc;
}

void BM_EKXmlSerializer(benchmark::State& state) {
  // The run-time names of the calls live as long as the name table, which a document would hold.
  EKNameTable::addRefSharedNameTable();
  const std::vector<Call> calls = callsOf(sharedTree());
  size_t bytes = 0;
  for (auto _ : state) {
    EKMemStream out;
    EKPtr<EKXmlSerializer> s = EKXmlSerializer::createXmlSerializer();
    s->setOutput(out, UnicodeString(u"UTF-8"), UnicodeString());
    s->startDocument(UnicodeString(), UnicodeString());
    for (const Call& call : calls) {
      switch (call.kind) {
      case Call::START: s->startTag(call.ns, call.prefix, call.local); break;
      case Call::ATTRIBUTE: s->attribute(call.ns, call.prefix, call.local, call.value); break;
      case Call::TEXT: s->text(call.value); break;
      case Call::END: s->endTag(call.ns, call.local); break;
      }
    }
    s->endDocument();
    bytes = out.size();
  }
  EKNameTable::releaseSharedNameTable();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["output_bytes"] = static_cast<double>(bytes);
}

void BM_libxml2_xmlDocDumpMemory(benchmark::State& state) { timeXmlDocDumpMemory(state, sharedTree()); }

} // namespace

BENCHMARK(BM_EKXmlSerializer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_libxml2_xmlDocDumpMemory)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
