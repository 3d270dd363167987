// What the parser fuzz targets do on every event: call each getter that the event allows and trap
// when the interface's invariants do not hold.
#pragma once

#include <ekcommon/ekcommon.h>

#include <cstdint>

namespace fuzzevents {

using namespace EKCommonNS;

inline void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

inline bool isXmlWhitespace(const UnicodeString& text) {
  for (int32_t i = 0; i < text.length(); ++i)
    if (text[i] != u' ' && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r')
      return false;
  return true;
}

inline void readAttributes(EKXmlParser& parser) {
  const int count = parser.getAttributeCount();
  check(count >= 0);
  for (int i = 0; i < count; ++i) {
    const EKName name = parser.getAttributeName(i);
    const EKName namespaceUri = parser.getAttributeNamespace(i);
    parser.getAttributePrefix(i);
    // Attributes are unique by namespace and local name, so the lookup finds this one.
    check(parser.getAttributeValue(namespaceUri, name) == parser.getAttributeValue(i));
  }
}

inline void readNamespaces(EKXmlParser& parser) {
  for (int depth = 0; depth <= parser.getDepth(); ++depth)
    check(parser.getNamespaceCount(depth) >= 0);
  for (int pos = 0, count = parser.getNamespaceCount(parser.getDepth()); pos < count; ++pos) {
    // A prefix bound in the innermost scope is in scope.
    const EKName prefix = parser.getNamespacePrefix(pos);
    check(parser.getNamespace(prefix) == parser.getNamespaceUri(pos));
  }
}

// Every getter that the event allows, with the invariants the interface promises.
inline void readEvent(EKXmlParser& parser, EKXmlParser::EventType event) {
  check(parser.getEventType() == event);
  check(parser.getDepth() >= 0);
  parser.getLineNumber();
  parser.getColumnNumber();
  parser.getPositionDescription();
  const EKName name = parser.getName();
  parser.getPrefix();
  const UnicodeString text = parser.getText();
  switch (event) {
  case EKXmlParser::START_TAG:
    parser.isEmptyElementTag();
    parser.getNamespace();
    readAttributes(parser);
    readNamespaces(parser);
    break;
  case EKXmlParser::END_TAG:
    parser.getNamespace();
    break;
  case EKXmlParser::TEXT:
  case EKXmlParser::CDSECT:
    check(parser.isWhitespace() == isXmlWhitespace(text));
    check(name.isEmpty());
    break;
  case EKXmlParser::IGNORABLE_WHITESPACE:
    check(parser.isWhitespace());
    break;
  case EKXmlParser::PROCESSING_INSTRUCTION:
    check(parser.getTarget() == name);
    break;
  case EKXmlParser::END_DOCUMENT:
    check(parser.getDepth() == 0);
    break;
  default:
    break;
  }
  if (event != EKXmlParser::START_TAG)
    check(parser.getAttributeCount() == -1);
}

// Queued warnings are never fatal: a fatal error is thrown instead.
inline void checkQueuedWarnings(EKXmlParser& parser) {
  for (EKError warning; parser.popError(warning);)
    check(getErrorLevel(warning.getErrorCode()) != EKERROR_LEVEL_FATAL);
}

// The getters about the whole document, after END_DOCUMENT.
inline void readDocumentFacts(EKXmlParser& parser) {
  parser.hasXmlDecl();
  parser.getInputEncoding();
  parser.getPubidLiteral();
  parser.getExternalDTD();
}

struct CallbackState {
  bool fatalSeen = false;
};

inline void onError(const EKError& error, void* userData) {
  if (getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL)
    static_cast<CallbackState*>(userData)->fatalSeen = true;
  error.getMessage();
}

// With a callback the parse unwinds with 128 after the callback saw the fatal error; without one
// the fatal error itself is thrown.
inline void checkThrown(const EKError& error, bool callback, const CallbackState& state) {
  if (callback)
    check(error.getErrorCode() == 128 && state.fatalSeen);
  else
    check(getErrorLevel(error.getErrorCode()) == EKERROR_LEVEL_FATAL);
}

} // namespace fuzzevents
