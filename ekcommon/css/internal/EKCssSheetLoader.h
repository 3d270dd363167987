// Reads a style sheet's bytes (from a given stream or by fetching its URI) and decodes them:
// byte-order marks, the transport charset, an @charset rule at the very start and a default
// encoding decide the encoding. Used by the CSS parser before it scans the text.
#pragma once

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/resources/EKUri.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace EKCommonNS {

// One problem met while loading. The caller turns it into an EKError with the message of its
// code: `path` stands for {0} (the local path of the URI that was opened, or of the sheet's URI
// when a stream was given) and `args` for {1}, {2}, ...
struct EKCssLoadIssue {
  uint16_t code = 0; // an EKERR_CSS_ code
  std::vector<UnicodeString> args;
  UnicodeString path;
};

// Exported only so that its tests can reach it; not installed.
class EKCOMMON_API EKCssSheetLoader {
public:
  // How much of the start of the data an @charset rule must lie in.
  static constexpr size_t CHARSET_SCAN_LIMIT = 1024;

  struct Result {
    uint16_t errorCode = 0;   // 0 on success, else the code of the one issue
    std::u16string text;      // the decoded sheet without a leading U+FEFF or U+FFFE
    UnicodeString encoding;   // the standard name of the encoding used
    EKUri inputUri;           // the URI that was opened; empty when a stream was given
    std::vector<EKCssLoadIssue> issues;
  };

  // `info` is copied (null when the host gave none) and handed to every fetch; the charset a
  // fetch reports in the copy is the transport charset.
  explicit EKCssSheetLoader(const EKUri::ContentInfo* info = nullptr);

  // Reads the sheet from `in` when it is not null (the stream is not owned; `uri` is then only
  // the sheet's name), else fetches `uri`. `ancestorUris` are the base and input URI strings of
  // the sheets whose @import led here (those with a non-empty input URI); fetching a URI among
  // them is an import loop. `defaultEncoding` is used when neither the bytes, the transport nor
  // an @charset rule name one; when it is empty too, UTF-8 is used. Loading stops at the first
  // problem; the result then holds its code and issue and no text.
  Result load(std::istream* in, const EKUri& uri, const UnicodeString& defaultEncoding,
              const std::vector<UnicodeString>& ancestorUris) const;

  // The name in an @charset rule at the start of `data`: the data must be longer than 12 units,
  // begin with `@charset "`, and the closing quote must lie before index
  // min(length, CHARSET_SCAN_LIMIT) - 1 and be followed directly by `;`. The name between the
  // quotes is returned trimmed; any other form gives the empty string.
  static UnicodeString findCharsetRule(const char* data, size_t length);
  static UnicodeString findCharsetRule(const std::u16string& text);

  // All of the sheet's bytes, `data`, decoded with the ICU converter for `encoding`; empty when
  // ICU does not know the encoding.
  static std::u16string decode(const std::string& data, const UnicodeString& encoding);
  // Everything `in` holds from its position on.
  static std::string readAll(std::istream& in);

private:
  std::optional<EKUri::ContentInfo> m_info;
};

} // namespace EKCommonNS
