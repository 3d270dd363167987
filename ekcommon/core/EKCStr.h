// A UnicodeString that also carries a cached narrow (byte) form in a named code page, for file
// names and operating-system calls. The narrow form is converted again only when the text or the
// requested code page has changed since the last conversion.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"

#include <optional>
#include <string>

namespace EKCommonNS {

class EKCOMMON_API EKCStr : public UnicodeString {
public:
  EKCStr() = default;
  EKCStr(const UnicodeString& text);
  // Decodes zero-terminated bytes from a code page (null: UTF-8); the given bytes become the
  // cached narrow form at once. A null data pointer is the empty string.
  EKCStr(const char* data, const char* codePage);

  // The text as zero-terminated bytes in codePage (null: UTF-8), cached until the text changes
  // or another code page is asked for. Characters the code page lacks are substituted.
  const char* c_str(const char* codePage);
  // Byte length of the narrow form last returned by c_str().
  size_t narrowLength() const { return m_narrow.size(); }

private:
  bool narrowIsCurrent(const char* codePage) const;

  std::string m_narrow;
  std::optional<std::string> m_codePage;
  UnicodeString m_snapshot;
};

} // namespace EKCommonNS
