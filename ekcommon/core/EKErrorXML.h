// Writes errors and information messages to a byte stream as an XML message log (UTF-8): the
// constructor opens the root element, each call adds an element, the destructor closes the root.
#pragma once

#include "ekcommon/core/EKError.h"

#include <ostream>

namespace EKCommonNS {

class EKCOMMON_API EKErrorXML {
public:
  // Empty application, version and copyright texts are left out; a non-empty prefix qualifies
  // every element name and binds the log's namespace.
  EKErrorXML(std::ostream& out, const UnicodeString& application, const UnicodeString& version,
             const UnicodeString& copyright, const UnicodeString& prefix);
  ~EKErrorXML();
  EKErrorXML(const EKErrorXML&) = delete;
  EKErrorXML& operator=(const EKErrorXML&) = delete;

  void errorMessage(const EKError& error) const;
  // Nothing is written for code 0.
  void errorMessage(unsigned short code, const UnicodeString& message, int line, int column,
                    const UnicodeString& uri) const;
  // An error element without attributes; nothing for an empty message.
  void errorMessage(const UnicodeString& message) const;
  void infoMessage(const UnicodeString& message) const;

private:
  std::ostream& m_out;
  UnicodeString m_prefix;
};

} // namespace EKCommonNS
