// A data: URI (RFC 2397) taken apart: media type, parameters, the base64 flag and where the data
// begins. Parameters the library gives meaning to (such as "page" for a page range of an
// embedded document) are read with the typed getters.
#pragma once

#include "ekcommon/resources/EKUri.h"

#include <unordered_map>
#include <utility>

namespace EKCommonNS {

class EKCOMMON_API EKDataUri : public EKUri {
public:
  EKDataUri() = default;
  explicit EKDataUri(const UnicodeString& s, const EKXmlCatalogs* catalogs = nullptr);
  EKDataUri(const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs = nullptr);
  EKDataUri(const EKUri& base, const UnicodeString& s, const EKXmlCatalogs* catalogs = nullptr);
  EKDataUri(const EKUri& base, const UnicodeString& s, URISTRTYPE type, const EKXmlCatalogs* catalogs = nullptr);

  // Offset of the data in the URI string (just after the ','), or -1 when the URI is no data:
  // URI or its header has no ','.
  int getDataOffset() const { return m_dataOffset; }
  bool isBase64() const { return m_base64; }
  // "type/subtype", unescaped; empty when the URI names none.
  const UnicodeString& getMediaType() const { return m_mediaType; }

  // The parameter's value; empty when absent.
  UnicodeString getStringParam(EKNameEnum name) const;
  // The integer part of a parameter that is one number; `otherwise` when absent or not a number.
  int getIntegerParam(EKNameEnum name, int otherwise) const;
  float getRealParam(EKNameEnum name, float otherwise) const;
  // The value interned in lower case; the empty name when absent.
  EKName getLowerNameParam(EKNameEnum name) const;
  // The "page" parameter as (first, last): "5" (5, 5), "5-9" (5, 9), "5-0" (5, 0) for an open
  // range; (0, 0) when absent or malformed.
  std::pair<int, int> getPageNumber() const;

private:
  void init();
  // The parameter as a number when it is exactly one; false otherwise.
  bool numberParam(EKNameEnum name, double& value) const;

  int m_dataOffset = -1;
  bool m_base64 = false;
  UnicodeString m_mediaType;
  std::unordered_map<EKName, UnicodeString> m_params{8};
};

} // namespace EKCommonNS
