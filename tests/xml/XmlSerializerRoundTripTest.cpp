// Every document of the W3C XML conformance suite that the parser reads is written by the
// serializer and read again: the second reading must give the same events, names resolved to
// their namespaces. Each document goes through three ways of writing: with the namespace
// declarations as the parser reports them, with the attributes sorted, and with no declarations at
// all, so that the serializer must declare every namespace itself.
#include "xml/XmlTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace EKCommonNS;

namespace {

enum Way { AS_READ, SORTED, UNDECLARED };

// Characters that XML 1.0 cannot carry at all (from XML 1.1 documents): the serializer drops them.
bool writable(const UnicodeString& text) {
  for (int32_t i = 0; i < text.length(); ++i)
    if (text.charAt(i) < 0x20 && text.charAt(i) != u'\t' && text.charAt(i) != u'\n' && text.charAt(i) != u'\r')
      return false;
  return true;
}

// A start tag as the tree has it: its name and its attributes other than namespace declarations,
// in no particular order. Whether it was written <x/>, and which declarations it carried, are left
// to the writer.
std::string startTag(EKXmlParser& p) {
  std::vector<std::string> attributes;
  for (int i = 0; i < p.getAttributeCount(); ++i)
    if (!xmltest::isDeclaration(p, i))
      attributes.push_back(xmltest::qname(p.getAttributeNamespace(i), p.getAttributePrefix(i), p.getAttributeName(i)) +
                           "=" + xmltest::quote(p.getAttributeValue(i)));
  std::sort(attributes.begin(), attributes.end());
  std::string line = "START_TAG d" + std::to_string(p.getDepth()) + " " +
                     xmltest::qname(p.getNamespace(), p.getPrefix(), p.getName());
  for (const std::string& attribute : attributes)
    line += " " + attribute;
  return line;
}

// The events of a parse as lines, written to `out` on the way when it is given. False when the
// document does not parse or holds text that XML 1.0 cannot carry.
bool readEvents(std::istream& in, const UnicodeString& baseUri, std::vector<std::string>& lines,
                EKXmlSerializer* out, Way way) {
  EKPtr<EKXmlParser> parser = xmltest::newParser({EKXmlParser::FEATURE_REPORT_PROCESSING_INSTRUCTIONS});
  try {
    parser->setInput(in, UnicodeString(), baseUri);
    for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next()) {
      EKXmlParser& p = *parser;
      const bool inRoot = p.getDepth() > 0;
      if (event == EKXmlParser::TEXT && !inRoot)
        continue;
      lines.push_back(event == EKXmlParser::START_TAG ? startTag(p) : xmltest::describe(p, event));
      if (event == EKXmlParser::START_TAG) {
        for (int i = 0; i < p.getAttributeCount(); ++i)
          if (!writable(p.getAttributeValue(i)))
            return false;
        if (out)
          out->startTag(p.getNamespace(), p.getPrefix(), p.getName());
        for (int i = 0; out && i < p.getAttributeCount(); ++i)
          if (way != UNDECLARED || !xmltest::isDeclaration(p, i))
            out->attribute(p.getAttributeNamespace(i), p.getAttributePrefix(i), p.getAttributeName(i),
                           p.getAttributeValue(i));
      } else if (event == EKXmlParser::TEXT && !writable(p.getText())) {
        return false;
      } else if (out && event == EKXmlParser::TEXT) {
        out->text(p.getText());
      } else if (out && event == EKXmlParser::END_TAG) {
        out->endTag(p.getNamespace(), p.getName());
      } else if (out && event == EKXmlParser::PROCESSING_INSTRUCTION) {
        out->processingInstruction(p.getTarget(), p.getText());
      }
    }
  } catch (const EKError&) {
    return false;
  }
  return true;
}

TEST(XmlSerializerRoundTrip, ConformanceSuiteDocumentsReadBackTheSame) {
  int written = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(EKCOMMON_XMLCONF_DIR)) {
    if (entry.path().extension() != ".xml")
      continue;
    const UnicodeString base = u(entry.path().string().c_str());
    for (Way way : {AS_READ, SORTED, UNDECLARED}) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream text;
      EKPtr<EKXmlSerializer> out = EKXmlSerializer::createXmlSerializer();
      out->setSortAttributes(way == SORTED);
      out->setOutput(text, u("UTF-8"), UnicodeString());
      out->startDocument(UnicodeString(), UnicodeString());
      std::vector<std::string> expected, actual;
      if (!readEvents(in, base, expected, out.get(), way))
        break;
      out->endDocument();
      std::istringstream again(text.str());
      const bool read = readEvents(again, base, actual, nullptr, way);
      size_t at = 0;
      while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
      if (!read || at < expected.size() || at < actual.size())
        ADD_FAILURE() << entry.path().string() << " way " << way << (read ? "" : " (does not read back)")
                      << "\n  expected: " << (at < expected.size() ? expected[at] : "(end)")
                      << "\n  actual:   " << (at < actual.size() ? actual[at] : "(end)")
                      << "\n  written:  " << text.str().substr(0, 300);
      written += way == AS_READ;
    }
  }
  EXPECT_GT(written, 1000) << "the suite was not found or hardly any document parsed";
}

} // namespace
