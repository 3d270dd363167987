#include "ekcommon/core/EKError.h"

#include "ekcommon/platform/EKHttpClient.h"

#include "ekcommon/resources/EKUri.h"

#include <cstring>
#include <string>

namespace EKCommonNS {

namespace {
const char16_t LINE_FEED = u'\n';

UnicodeString decimal(int value) {
  return UnicodeString::fromUTF8(std::to_string(value));
}
} // namespace

EKErrorLevel getErrorLevel(unsigned short code) {
  if (!(code & 0x200))
    return EKERROR_LEVEL_FATAL;
  if (!(code & 0x100))
    return EKERROR_LEVEL_WARNING;
  return static_cast<EKErrorLevel>(0x300 | (code & 0x80));
}

EKError::EKError(unsigned short code, const UnicodeString& message, const UnicodeString&, int line, int column,
                 const UnicodeString& uri)
    : m_code(code), m_message(message), m_line(line), m_column(column), m_uri(uri) {}

EKError::EKError(std::bad_alloc&, const UnicodeString&)
    : m_code(1), m_message(u"SYSTEM ERROR: Out of memory.") {}

EKError::EKError(std::exception& e, const UnicodeString&)
    : m_code(2), m_message(UnicodeString(u"SYSTEM ERROR: C++ exception: ").append(UnicodeString::fromUTF8(e.what()))) {}

UnicodeString EKError::getPositionDescription() const {
  UnicodeString position;
  if (m_line > 0)
    position.append(u"Line ").append(decimal(m_line)).append(u", ");
  if (m_column > 0)
    position.append(u"Col ").append(decimal(m_column)).append(u", ");
  if (!m_uri.isEmpty())
    position.append(EKUri(m_uri, EKUri::URISTR_URI).getLocalPath());
  return position;
}

UnicodeString EKError::getMessage() const {
  const UnicodeString position = getPositionDescription();
  if (position.isEmpty())
    return m_message;
  return UnicodeString(m_message).append(LINE_FEED).append(position);
}

void EKError::setMessage(const UnicodeString& message) {
  m_message = message;
  const UnicodeString position = getPositionDescription();
  if (position.isEmpty())
    return;
  const UnicodeString tail = UnicodeString(LINE_FEED).append(position);
  if (m_message.endsWith(tail))
    m_message.truncate(m_message.length() - tail.length());
}

void EKError::appendMessage(const UnicodeString& text) {
  if (text.isEmpty())
    return;
  if (!m_message.isEmpty())
    m_message.append(LINE_FEED);
  m_message.append(text);
}

void EKError::throwFatalError() const {
  if (m_code != 0 && getErrorLevel(m_code) == EKERROR_LEVEL_FATAL)
    throw *this;
}

UnicodeString EKError::getLastErrorMessage(unsigned long systemCode, void*) {
  if (systemCode == 0 || systemCode > 0x7FFFFFFF)
    return UnicodeString();
  // The HTTP client's codes: 12000 + the libcurl result.
  if (systemCode >= HTTP_ERROR_BASE && systemCode < HTTP_ERROR_BASE + 1000)
    return UnicodeString::fromUTF8(EKPlatform::HttpTransfer::errorText(static_cast<int>(systemCode - HTTP_ERROR_BASE)));
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not be in the buffer.
  const char* text = strerror_r(static_cast<int>(systemCode), buffer, sizeof buffer);
  if (!text || std::strncmp(text, "Unknown error", 13) == 0)
    return UnicodeString();
  UnicodeString message = UnicodeString::fromUTF8(text);
  return message.trim();
}

} // namespace EKCommonNS
