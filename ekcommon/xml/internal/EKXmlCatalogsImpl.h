// The catalogs that read OASIS XML catalog files with the library's own parser (no external DTD
// is read) and keep every entry in the order read. Only uri, rewriteURI and uriSuffix entries
// take part in URI resolution; the other kinds are kept but never consulted.
#pragma once

#include "ekcommon/names/EKName.h"
#include "ekcommon/xml/EKXmlCatalogs.h"
#include "ekcommon/xml/EKXmlParser.h"

#include <vector>

namespace EKCommonNS {

class EKXmlCatalogsImpl : public EKXmlCatalogs {
  EK_TYPE_IDENTITY(EKXmlCatalogsImpl, EKXmlCatalogs)
public:
  EKXmlCatalogsImpl();

  void setCallbackError(ErrorCallback callback, void* userData) override;
  // A file whose root is not the catalog element in the catalog namespace is EKError 518 naming
  // the file, and so is one whose nested bases or entries would hold more text than any real
  // catalog (more than a million characters of bases in force, or four million in entries); parse
  // errors are the parser's (through the callback when one is set), and an unopenable file is
  // EKError 67. A file that fails adds no entry. Entries whose match string or URI is empty are
  // left out: they could only map a URI to nothing.
  void loadCatalog(const EKUri& uri) override;
  // The first entry in list order that applies wins: uri (equal to the match string), rewriteURI
  // (starts with it: the rest is appended to the rewrite prefix) or uriSuffix (ends with it).
  UnicodeString resolveURI(const UnicodeString& uri) const override;

private:
  struct Entry {
    EKName kind;       // the entry element's local name
    UnicodeString match;
    UnicodeString uri; // absolute: resolved against the entry's base when read
  };

  EKPtr<EKXmlParser> m_parser;
  std::vector<Entry> m_entries;
};

} // namespace EKCommonNS
