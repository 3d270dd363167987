// The library's one error value: a 16-bit code that carries identity and severity, a message and
// the source position (line, column, resource). It is thrown by value where an operation cannot
// go on, and handed to error callbacks or collected in lists where a parser recovers.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <exception>
#include <new>

namespace EKCommonNS {

// Severity of a code, from its bits: 0x200 marks the non-fatal codes, 0x100 and 0x80 refine them.
enum EKErrorLevel : unsigned short {
  EKERROR_LEVEL_FATAL = 0,
  EKERROR_LEVEL_WARNING = 0x200,
  EKERROR_LEVEL_ERROR = 0x300,
  EKERROR_LEVEL_INFO = 0x380,
};

// The subsystem a code belongs to: code & 0xFC00.
enum EKErrorCategory : unsigned short {
  EKERROR_CATEGORY_COMMON = 0,
};

EKCOMMON_API EKErrorLevel getErrorLevel(unsigned short code);

class EKCOMMON_API EKError {
public:
  EKError() = default;
  // origin names the reporting component; it is not stored.
  EKError(unsigned short code, const UnicodeString& message, const UnicodeString& origin = UnicodeString(),
          int line = -1, int column = -1, const UnicodeString& uri = UnicodeString());
  // Code 1, "SYSTEM ERROR: Out of memory.".
  EKError(std::bad_alloc& e, const UnicodeString& unused);
  // Code 2, "SYSTEM ERROR: C++ exception: " and the exception's what() text.
  EKError(std::exception& e, const UnicodeString& unused);
  EKError(const EKError&) = default;
  EKError& operator=(const EKError&) = default;
  virtual ~EKError() = default;

  unsigned short getErrorCode() const { return m_code; }
  void setErrorCode(unsigned short code) { m_code = code; }
  EKErrorCategory getErrorCategory() const { return static_cast<EKErrorCategory>(m_code & 0xFC00); }
  int getLineNumber() const { return m_line; }
  void setLineNumber(int line) { m_line = line; }
  int getColumnNumber() const { return m_column; }
  void setColumnNumber(int column) { m_column = column; }
  const UnicodeString& getUri() const { return m_uri; }
  void setUri(const UnicodeString& uri) { m_uri = uri; }
  const UnicodeString& getRawMessage() const { return m_message; }
  void setRawMessage(const UnicodeString& message) { m_message = message; }

  // "Line n, " and "Col n, " for positive positions, then the local path of the uri.
  UnicodeString getPositionDescription() const;
  // The message, and on a new line the position description when there is one.
  UnicodeString getMessage() const;
  // Stores the text, cutting off a trailing line feed + position description, so that
  // setMessage(getMessage()) changes nothing.
  void setMessage(const UnicodeString& message);
  // Appends the text on a new line; an empty text is ignored.
  void appendMessage(const UnicodeString& text);
  // Throws a copy of this error when it has a code of fatal level.
  void throwFatalError() const;

  // The system's text for an errno value, or for HTTP_ERROR_BASE + n the HTTP client's text of
  // its error n; empty when there is none. (module is unused on this platform.)
  static UnicodeString getLastErrorMessage(unsigned long systemCode, void* module);
  static constexpr unsigned long HTTP_ERROR_BASE = 12000;

private:
  unsigned short m_code = 0;
  UnicodeString m_message;
  int m_line = -1;
  int m_column = -1;
  UnicodeString m_uri;
};

} // namespace EKCommonNS
