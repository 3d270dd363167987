#include "ekcommon/core/EKErrorXML.h"

#include "ekcommon/core/EKUtfStr.h"
#include "ekcommon/names/EKName.h"

#include <string>

namespace EKCommonNS {

namespace {

void writeEscaped(std::ostream& out, const UnicodeString& text, bool attribute) {
  std::string utf8;
  text.toUTF8String(utf8);
  for (const char c : utf8) {
    switch (c) {
    case '&':
      out << "&amp;";
      break;
    case '<':
      out << "&lt;";
      break;
    case '>':
      out << "&gt;";
      break;
    case '"':
      if (attribute) {
        out << "&quot;";
        break;
      }
      out << c;
      break;
    default:
      out << c;
    }
  }
}

void writeAttribute(std::ostream& out, const char* name, const UnicodeString& value) {
  out << ' ' << name << "=\"";
  writeEscaped(out, value, true);
  out << '"';
}

// The number a log reader sorts by: fatal 4, error 3, warning 2, info 1.
int levelNumber(EKErrorLevel level) {
  switch (level) {
  case EKERROR_LEVEL_FATAL:
    return 4;
  case EKERROR_LEVEL_ERROR:
    return 3;
  case EKERROR_LEVEL_WARNING:
    return 2;
  case EKERROR_LEVEL_INFO:
    return 1;
  }
  return 0;
}

UnicodeString decimal(int value) {
  return UnicodeString::fromUTF8(std::to_string(value));
}

// An element name with the log's prefix, in UTF-8.
EKUtfStr pref(const UnicodeString& prefix, EKName name) {
  if (prefix.isEmpty())
    return EKUtfStr(name.toString());
  return EKUtfStr(UnicodeString(prefix).append(u':').append(name.toString()));
}

void writeBody(std::ostream& out, const UnicodeString& message) {
  writeEscaped(out, message, false);
  if (!message.endsWith(u"\n"))
    out << std::endl;
}

} // namespace

EKErrorXML::EKErrorXML(std::ostream& out, const UnicodeString& application, const UnicodeString& version,
                       const UnicodeString& copyright, const UnicodeString& prefix)
    : m_out(out), m_prefix(prefix) {
  m_out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" << std::endl;
  m_out << '<' << pref(m_prefix, EKN_errors).c_str();
  const UnicodeString namespaceName = EKName(EKN_http_ns_ekcommon_org_names_Error).toString();
  if (m_prefix.isEmpty()) {
    writeAttribute(m_out, "xmlns", namespaceName);
  } else {
    EKUtfStr attribute(UnicodeString(u"xmlns:").append(m_prefix));
    writeAttribute(m_out, attribute.c_str(), namespaceName);
  }
  if (!application.isEmpty())
    writeAttribute(m_out, "application", application);
  if (!version.isEmpty())
    writeAttribute(m_out, "version", version);
  if (!copyright.isEmpty())
    writeAttribute(m_out, "copyright", copyright);
  m_out << '>' << std::endl;
}

EKErrorXML::~EKErrorXML() {
  m_out << "</" << pref(m_prefix, EKN_errors).c_str() << '>' << std::endl;
}

void EKErrorXML::errorMessage(const EKError& error) const {
  errorMessage(error.getErrorCode(), error.getRawMessage(), error.getLineNumber(), error.getColumnNumber(),
               error.getUri());
}

void EKErrorXML::errorMessage(unsigned short code, const UnicodeString& message, int line, int column,
                              const UnicodeString& uri) const {
  if (code == 0)
    return;
  EKUtfStr element = pref(m_prefix, EKN_error);
  m_out << '<' << element.c_str();
  writeAttribute(m_out, "level", decimal(levelNumber(getErrorLevel(code))));
  writeAttribute(m_out, "code", decimal(code));
  if (line > 0)
    writeAttribute(m_out, "line", decimal(line));
  if (column > 0)
    writeAttribute(m_out, "column", decimal(column));
  if (!uri.isEmpty())
    writeAttribute(m_out, "source", uri);
  m_out << '>' << std::endl;
  writeBody(m_out, message);
  m_out << "</" << element.c_str() << '>' << std::endl;
}

void EKErrorXML::errorMessage(const UnicodeString& message) const {
  if (message.isEmpty())
    return;
  EKUtfStr element = pref(m_prefix, EKN_error);
  m_out << '<' << element.c_str() << '>' << std::endl;
  writeBody(m_out, message);
  m_out << "</" << element.c_str() << '>' << std::endl;
}

void EKErrorXML::infoMessage(const UnicodeString& message) const {
  EKUtfStr element = pref(m_prefix, EKN_info);
  m_out << '<' << element.c_str() << '>';
  writeEscaped(m_out, message, false);
  m_out << "</" << element.c_str() << '>' << std::endl;
}

} // namespace EKCommonNS
