// Maps URIs to other URIs through OASIS XML catalog files, so that a document can name a resource
// by its public address and be given a local copy. An EKUri built with catalogs passes its string
// through resolveURI first. This base class maps every URI to itself; EKXmlUtil::
// createXmlCatalogs() gives the implementation that reads catalog files.
//
//   EKPtr<EKXmlCatalogs> catalogs = EKXmlUtil::createXmlCatalogs();
//   catalogs->loadCatalog(EKUri(u"/etc/xml/catalog.xml"));    // throws EKError on failure
//   EKUri schema(u"http://example.org/schema/book.xsd", catalogs.get());
#pragma once

#include "ekcommon/core/EKRCObject.h"

namespace EKCommonNS {

class EKError;
class EKUri;

class EKCOMMON_API EKXmlCatalogs : public EKRCObject {
  EK_TYPE_IDENTITY(EKXmlCatalogs, EKRCObject)
public:
  using ErrorCallback = void (*)(const EKError& error, void* userData);

  EKXmlCatalogs() = default;

  // Where the catalog parser reports errors and warnings while a catalog is read (null removes
  // the callback). The base class ignores it.
  virtual void setCallbackError(ErrorCallback callback, void* userData);
  // Reads one catalog file and appends its entries after those of the files read before. The
  // base class reads nothing. Not to be called while another thread loads or resolves.
  virtual void loadCatalog(const EKUri& uri);
  // The URI the catalogs map `uri` to, or `uri` itself when no entry applies. May be called
  // from several threads at once once loading is done.
  virtual UnicodeString resolveURI(const UnicodeString& uri) const;
};

} // namespace EKCommonNS
