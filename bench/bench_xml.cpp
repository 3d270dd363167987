// XML parsing throughput of the library's pull parser against expat and libxml2 (its pull reader
// and its SAX2 interface), on the same two documents of about 20 MB each, made in memory once:
//   fo:    XSL-FO-like, deep nesting, 5 to 10 attributes per element, two namespaces, little text;
//   xhtml: XHTML-like paragraphs of mixed content with character references, the predefined
//          entities and entities declared in the internal DTD subset (nested too).
// Every parser expands the entities and touches what a document builder would read: each
// element's and attribute's local name, prefix and namespace, each attribute value and each text.
// Compare the bytes_per_second of the four parsers per document. The counters show that they all
// read the same content: the library's parser and the libxml2 reader also count the namespace
// declarations as attributes, and the library's parser counts text in UTF-16 units where the
// others count UTF-8 bytes.
#include "BenchDocuments.h"

#include <ekcommon/ekcommon.h>

#include <benchmark/benchmark.h>
#include <expat.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlreader.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace EKCommonNS;
using benchdocs::document;

namespace {

// What each parser saw, and a checksum of the touched names and values.
struct Tally {
  int64_t elements = 0;
  int64_t attributes = 0;
  int64_t text = 0;
  uintptr_t names = 0;
};

void finish(benchmark::State& state, const std::string& bytes, const Tally& tally) {
  benchmark::DoNotOptimize(tally.names);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  state.counters["elements"] = static_cast<double>(tally.elements);
  state.counters["attributes"] = static_cast<double>(tally.attributes);
  state.counters["text"] = static_cast<double>(tally.text);
}

uintptr_t touch(EKName name) { return static_cast<EKNameEnum>(name); }

void BM_EKXmlParser(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  Tally tally;
  for (auto _ : state) {
    tally = Tally();
    EKStrStream in(bytes.data(), bytes.size());
    EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
    parser->setInput(in, UnicodeString(), UnicodeString());
    for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next()) {
      if (event == EKXmlParser::TEXT) {
        tally.text += parser->getText().length();
      } else if (event == EKXmlParser::START_TAG || event == EKXmlParser::END_TAG) {
        tally.names += touch(parser->getName()) + touch(parser->getNamespace()) + touch(parser->getPrefix());
        tally.elements += event == EKXmlParser::START_TAG;
        for (int i = 0, count = parser->getAttributeCount(); i < count; ++i) {
          tally.names += touch(parser->getAttributeName(i)) + touch(parser->getAttributeNamespace(i)) +
                         touch(parser->getAttributePrefix(i)) + parser->getAttributeValue(i).length();
          ++tally.attributes;
        }
      }
    }
  }
  finish(state, bytes, tally);
}

// expat reports "namespace<sep>local" names; touching a name reads it to its end.
constexpr char EXPAT_SEPARATOR = '\x01';

void XMLCALL expatStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  Tally& tally = *static_cast<Tally*>(data);
  ++tally.elements;
  tally.names += std::strlen(name);
  for (const XML_Char** a = attributes; *a; a += 2) {
    tally.names += std::strlen(a[0]) + std::strlen(a[1]);
    ++tally.attributes;
  }
}

void XMLCALL expatEnd(void* data, const XML_Char* name) { static_cast<Tally*>(data)->names += std::strlen(name); }

void XMLCALL expatText(void* data, const XML_Char*, int length) { static_cast<Tally*>(data)->text += length; }

void BM_expat(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  Tally tally;
  for (auto _ : state) {
    tally = Tally();
    XML_Parser parser = XML_ParserCreateNS(nullptr, EXPAT_SEPARATOR);
    XML_SetUserData(parser, &tally);
    XML_SetElementHandler(parser, expatStart, expatEnd);
    XML_SetCharacterDataHandler(parser, expatText);
    if (XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) != XML_STATUS_OK)
      state.SkipWithError(XML_ErrorString(XML_GetErrorCode(parser)));
    XML_ParserFree(parser);
  }
  finish(state, bytes, tally);
}

uintptr_t touch(const xmlChar* name) { return name ? reinterpret_cast<uintptr_t>(name) + name[0] : 0; }

void BM_libxml2_reader(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  Tally tally;
  for (auto _ : state) {
    tally = Tally();
    xmlTextReaderPtr reader =
        xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, XML_PARSE_NOENT);
    int status;
    while ((status = xmlTextReaderRead(reader)) == 1) {
      const int type = xmlTextReaderNodeType(reader);
      if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE ||
          type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_CDATA) {
        tally.text += xmlStrlen(xmlTextReaderConstValue(reader));
      } else if (type == XML_READER_TYPE_ELEMENT || type == XML_READER_TYPE_END_ELEMENT) {
        tally.names += touch(xmlTextReaderConstLocalName(reader)) + touch(xmlTextReaderConstNamespaceUri(reader)) +
                       touch(xmlTextReaderConstPrefix(reader));
        if (type == XML_READER_TYPE_END_ELEMENT)
          continue;
        ++tally.elements;
        // Namespace declarations count among the attributes, as in the library's parser.
        while (xmlTextReaderMoveToNextAttribute(reader) == 1) {
          tally.names += touch(xmlTextReaderConstLocalName(reader)) +
                         touch(xmlTextReaderConstNamespaceUri(reader)) + touch(xmlTextReaderConstPrefix(reader)) +
                         xmlStrlen(xmlTextReaderConstValue(reader));
          ++tally.attributes;
        }
      }
    }
    if (status != 0)
      state.SkipWithError("xmlTextReaderRead failed");
    xmlFreeTextReader(reader);
  }
  finish(state, bytes, tally);
}

// The SAX2 callbacks get the parser context as their user data (libxml2's own handlers for the
// DTD and entities need it); the tally hangs off its _private field.
Tally& saxTally(void* context) { return *static_cast<Tally*>(static_cast<xmlParserCtxtPtr>(context)->_private); }

void saxStart(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, int, const xmlChar**,
              int attributeCount, int, const xmlChar** attributes) {
  Tally& tally = saxTally(context);
  ++tally.elements;
  tally.names += touch(localName) + touch(prefix) + touch(uri);
  // Five pointers per attribute: local name, prefix, namespace, value start and value end.
  for (int i = 0; i < attributeCount; ++i, attributes += 5) {
    tally.names += touch(attributes[0]) + touch(attributes[1]) + touch(attributes[2]) +
                   static_cast<uintptr_t>(attributes[4] - attributes[3]);
    ++tally.attributes;
  }
}

void saxEnd(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  saxTally(context).names += touch(localName) + touch(prefix) + touch(uri);
}

void saxText(void* context, const xmlChar*, int length) { saxTally(context).text += length; }

void BM_libxml2_sax2(benchmark::State& state, bool fo) {
  const std::string& bytes = document(fo);
  Tally tally;
  xmlSAXHandler handler;
  xmlSAXVersion(&handler, 2); // the default DTD and entity handlers, which expansion needs
  handler.startElementNs = saxStart;
  handler.endElementNs = saxEnd;
  handler.characters = saxText;
  handler.ignorableWhitespace = saxText;
  handler.cdataBlock = saxText;
  handler.comment = nullptr;
  handler.processingInstruction = nullptr;
  for (auto _ : state) {
    tally = Tally();
    xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    *context->sax = handler;
    context->_private = &tally;
    xmlCtxtUseOptions(context, XML_PARSE_NOENT);
    if (xmlParseDocument(context) != 0 || !context->wellFormed)
      state.SkipWithError("xmlParseDocument failed");
    xmlFreeDoc(context->myDoc); // holds only the DTD
    xmlFreeParserCtxt(context);
  }
  finish(state, bytes, tally);
}

} // namespace

BENCHMARK_CAPTURE(BM_EKXmlParser, fo, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_expat, fo, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_libxml2_reader, fo, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_libxml2_sax2, fo, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EKXmlParser, xhtml, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_expat, xhtml, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_libxml2_reader, xhtml, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_libxml2_sax2, xhtml, false)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
