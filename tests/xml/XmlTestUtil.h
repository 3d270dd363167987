// Helpers of the XML parser tests: parse bytes from a string stream and render every event as one
// compact line, so that a table row can state a whole parse.
#pragma once

#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace xmltest {

using namespace EKCommonNS;

enum Mode { NEXT, TOKEN };

struct Options {
  Options(Mode mode = NEXT, std::vector<int> features = {}, std::string baseUri = "", bool showEncoding = false,
          bool callback = false)
      : mode(mode), features(std::move(features)), baseUri(std::move(baseUri)), showEncoding(showEncoding),
        callback(callback) {}
  Mode mode;
  std::vector<int> features;
  std::string baseUri;
  bool showEncoding; // a line "ENCODING name" before the first start tag
  bool callback;     // reports go to a callback that lists them
};

inline EKName name(const char* s) { return EKName(u(s)); }

// Printable ASCII as itself, LF, CR and tab as \n, \r, \t, everything else as \u{hex}; a null
// string as null.
inline std::string quote(const UnicodeString& s) {
  if (s.isBogus())
    return "null";
  std::string out = "\"";
  for (int32_t i = 0; i < s.length(); i = s.moveIndex32(i, 1)) {
    const UChar32 c = s.char32At(i);
    char buffer[16];
    if (c == '"' || c == '\\')
      out += std::string("\\") + static_cast<char>(c);
    else if (c >= 0x20 && c < 0x7F)
      out += static_cast<char>(c);
    else if (c == '\n' || c == '\r' || c == '\t')
      out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
    else {
      std::snprintf(buffer, sizeof buffer, "\\u{%X}", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out + "\"";
}

// "{namespace}prefix:local", leaving out the empty parts.
inline std::string qname(EKName ns, EKName prefix, EKName local) {
  std::string out = ns.isEmpty() ? "" : "{" + utf8(ns) + "}";
  return out + (prefix.isEmpty() ? "" : utf8(prefix) + ":") + utf8(local);
}

inline bool isDeclaration(EKXmlParser& p, int i) {
  return p.getAttributePrefix(i) == EKN_xmlns || (p.getAttributePrefix(i).isEmpty() && p.getAttributeName(i) == EKN_xmlns);
}

// START_TAG d<depth> [ns<count declared here>] {ns}p:name attributes [/], END_TAG d<depth> name,
// TEXT "...", ENTITY_REF name "replacement", PROCESSING_INSTRUCTION target "content", DOCDECL.
// Whether namespace declarations are also listed as attributes is the parser's choice; they are
// left out here.
inline std::string describe(EKXmlParser& p, int event) {
  static const char* const names[] = {"START_DOCUMENT", "END_DOCUMENT", "START_TAG", "END_TAG", "TEXT", "CDSECT",
                                      "ENTITY_REF", "IGNORABLE_WHITESPACE", "PROCESSING_INSTRUCTION", "COMMENT",
                                      "DOCDECL"};
  std::string line = event >= 0 && event <= 10 ? names[event] : "EVENT" + std::to_string(event);
  switch (event) {
  case EKXmlParser::START_TAG:
  case EKXmlParser::END_TAG:
    line += " d" + std::to_string(p.getDepth());
    if (event == EKXmlParser::START_TAG && p.getNamespaceCount(p.getDepth()) > 0)
      line += " ns" + std::to_string(p.getNamespaceCount(p.getDepth()));
    line += " " + qname(p.getNamespace(), p.getPrefix(), p.getName());
    if (event == EKXmlParser::END_TAG)
      break;
    for (int i = 0; i < p.getAttributeCount(); ++i)
      if (!isDeclaration(p, i))
        line += " " + qname(p.getAttributeNamespace(i), p.getAttributePrefix(i), p.getAttributeName(i)) + "=" +
                quote(p.getAttributeValue(i));
    if (p.isEmptyElementTag())
      line += " /";
    break;
  case EKXmlParser::ENTITY_REF:
  case EKXmlParser::PROCESSING_INSTRUCTION: line += " " + utf8(p.getName()) + " " + quote(p.getText()); break;
  case EKXmlParser::DOCDECL:
  case EKXmlParser::END_DOCUMENT: break;
  default: line += " " + quote(p.getText());
  }
  return line;
}

// The first line of an error's raw message: the message without the position description.
inline std::string firstLine(const EKError& e) {
  const std::string message = utf8(e.getRawMessage());
  return message.substr(0, message.find('\n'));
}

inline EKPtr<EKXmlParser> newParser(const std::vector<int>& features) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser();
  for (int f : features)
    parser->setFeature(static_cast<EKXmlParser::Feature>(f), true);
  return parser;
}

// Every event from the current one on, as lines. White space outside the root element is not
// listed (the event that carries it is the parser's choice); queued warnings follow the event
// after which they were found as "WARNING code message"; a thrown error ends the list as "ERROR
// code message".
inline void drain(EKXmlParser& parser, const Options& run, std::vector<std::string>& lines) {
  bool encodingShown = !run.showEncoding;
  try {
    for (int guard = 0; guard < 10000; ++guard) {
      const int event = run.mode == NEXT ? parser.next() : parser.nextToken();
      if (event == EKXmlParser::START_TAG && !encodingShown) {
        lines.push_back("ENCODING " + utf8(parser.getInputEncoding()));
        encodingShown = true;
      }
      const bool topLevelSpace = parser.getDepth() == 0 &&
                                 (event == EKXmlParser::TEXT || event == EKXmlParser::IGNORABLE_WHITESPACE) &&
                                 parser.isWhitespace();
      if (event != EKXmlParser::END_DOCUMENT && !topLevelSpace)
        lines.push_back(describe(parser, event));
      for (EKError warning; parser.popError(warning);)
        lines.push_back("WARNING " + std::to_string(warning.getErrorCode()) + " " + firstLine(warning));
      if (event == EKXmlParser::END_DOCUMENT)
        return;
    }
    lines.push_back("...");
  } catch (const EKError& e) {
    lines.push_back("ERROR " + std::to_string(e.getErrorCode()) + " " + firstLine(e));
  }
}

// Reports to a callback as lines "CALLBACK code message", among the event lines.
inline void recordCallback(const EKError& e, void* lines) {
  static_cast<std::vector<std::string>*>(lines)->push_back("CALLBACK " + std::to_string(e.getErrorCode()) + " " + firstLine(e));
}

inline std::vector<std::string> events(EKXmlParser& parser, std::istream& in, const Options& run = {}) {
  std::vector<std::string> lines;
  if (run.callback)
    parser.setCallbackError(recordCallback, &lines);
  try {
    parser.setInput(in, UnicodeString(), u(run.baseUri.c_str()));
    drain(parser, run, lines);
  } catch (const EKError& e) {
    lines.push_back("ERROR " + std::to_string(e.getErrorCode()) + " " + firstLine(e));
  }
  parser.setCallbackError(nullptr, nullptr);
  return lines;
}

inline std::vector<std::string> events(const std::string& document, const Options& run = {}) {
  std::istringstream in(document);
  EKPtr<EKXmlParser> parser = newParser(run.features);
  return events(*parser, in, run);
}

} // namespace xmltest
