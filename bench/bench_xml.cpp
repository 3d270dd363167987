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

namespace {

constexpr size_t DOCUMENT_SIZE = 20 * 1000 * 1000;

// A small deterministic generator, so that every run parses the same bytes.
class Random {
public:
  uint32_t next() {
    m_state = m_state * 1664525u + 1013904223u;
    return m_state >> 8;
  }
  uint32_t below(uint32_t n) { return next() % n; }

private:
  uint32_t m_state = 12345;
};

// XSL-FO formatting objects nested 6 to 24 deep in a flow, each with 5 to 10 properties taken
// from a pool that includes an extension namespace; the leaves hold a few words.
std::string foDocument() {
  static const char* const properties[] = {
      "font-family=\"serif\"",     "font-size=\"%pt\"",          "line-height=\"1.%\"",
      "space-before=\"%pt\"",      "space-after=\"%pt\"",        "text-align=\"justify\"",
      "color=\"#3366%\"",          "margin-left=\"%mm\"",        "padding=\"%pt\"",
      "border-width=\"0.%pt\"",    "keep-together.within-page=\"always\"", "id=\"b%\"",
      "ax:role=\"section-%\"",     "ax:trace=\"t%\"",            "start-indent=\"%em\"",
      "background-color=\"#ffe%\""};
  // Blocks and block containers nest; the innermost object is an inline.
  static const char* const objects[] = {"fo:block", "fo:block-container", "fo:inline"};
  static const char* const words[] = {"Invoice", "total", "amount", "delivered", "page", "section", "item"};
  constexpr uint32_t propertyCount = sizeof properties / sizeof *properties;
  Random random;
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<fo:root xmlns:fo=\"http://www.w3.org/1999/XSL/Format\" xmlns:ax=\"http://www.example.com/ns/fo-extensions\">\n"
      "<fo:layout-master-set><fo:simple-page-master master-name=\"A4\" page-width=\"210mm\" page-height=\"297mm\" "
      "margin-top=\"20mm\" margin-bottom=\"20mm\"><fo:region-body margin=\"25mm\"/></fo:simple-page-master>"
      "</fo:layout-master-set>\n<fo:page-sequence master-reference=\"A4\"><fo:flow flow-name=\"xsl-region-body\">\n";
  std::vector<const char*> open;
  while (text.size() < DOCUMENT_SIZE) {
    for (uint32_t depth = 6 + random.below(19); open.size() < depth;) {
      const char* object = objects[open.size() == depth - 1 ? 2 : random.below(2)];
      text += '\n' + std::string(open.size(), ' ') + '<' + object;
      const uint32_t first = random.below(propertyCount);
      for (uint32_t n = 5 + random.below(6), i = 0; i < n; ++i) {
        const std::string property = properties[(first + i * 3) % propertyCount];
        const size_t hole = property.find('%');
        text += ' ' + (hole == std::string::npos ? property
                                                 : property.substr(0, hole) + std::to_string(random.below(90) + 10) +
                                                       property.substr(hole + 1));
      }
      text += '>';
      open.push_back(object);
    }
    text += std::string(words[random.below(7)]) + ' ' + std::to_string(random.below(1000));
    for (uint32_t close = 1 + random.below(static_cast<uint32_t>(open.size())); close > 0; --close) {
      text += "</" + std::string(open.back()) + '>';
      open.pop_back();
    }
  }
  while (!open.empty()) {
    text += "</" + std::string(open.back()) + '>';
    open.pop_back();
  }
  return text + "\n</fo:flow></fo:page-sequence></fo:root>\n";
}

// XHTML paragraphs with inline elements, character references, the predefined entities and
// entities from the internal subset, one of which refers to another.
std::string xhtmlDocument() {
  static const char* const sentences[] = {
      "The caf&#233; at &company; serves <em>fresh</em> bread &#x2014; baked <strong>daily</strong>. ",
      "Prices start below 5 &amp; rise &lt; 10 &#8364; per <abbr title=\"kilogram\">kg</abbr>. ",
      "See <a href=\"http://www.example.com/catalogue/item\" title=\"Catalogue\">&product;</a> for details. ",
      "Write <code>a &lt; b &amp;&amp; c &gt; d</code> in the na&#xEF;ve form. ",
      "&legal; ",
      "Deliveries leave the d&#xE9;p&#xF4;t at 6 o&#8217;clock &mdash; <span class=\"note\">weather permitting</span>. ",
      "Plain prose keeps the reader going through the paragraph without any markup at all. "};
  Random random;
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE html [\n"
      "  <!ENTITY company \"Northwind Traders\">\n"
      "  <!ENTITY product \"the Widget&#8482; 3000\">\n"
      "  <!ENTITY legal \"&#169; 2024 &company;, all rights reserved.\">\n"
      "  <!ENTITY mdash \"&#x2014;\">\n"
      "]>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\"><head><title>Catalogue</title></head><body>\n";
  for (unsigned section = 1; text.size() < DOCUMENT_SIZE; ++section) {
    text += "<div class=\"section\" id=\"s" + std::to_string(section) + "\">\n<h2>Section " +
            std::to_string(section) + ": &product;</h2>\n";
    for (uint32_t paragraphs = 3 + random.below(5); paragraphs > 0; --paragraphs) {
      text += "<p class=\"body\">";
      for (uint32_t n = 3 + random.below(6); n > 0; --n)
        text += sentences[random.below(sizeof sentences / sizeof *sentences)];
      text += "</p>\n";
    }
    text += "</div>\n";
  }
  return text + "</body></html>\n";
}

const std::string& document(bool fo) {
  static const std::string foText = foDocument();
  static const std::string xhtmlText = xhtmlDocument();
  return fo ? foText : xhtmlText;
}

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
