#include "ekcommon/xml/EKXmlCatalogs.h"

namespace EKCommonNS {

void EKXmlCatalogs::setCallbackError(ErrorCallback, void*) {}

void EKXmlCatalogs::loadCatalog(const EKUri&) {}

UnicodeString EKXmlCatalogs::resolveURI(const UnicodeString& uri) const { return uri; }

} // namespace EKCommonNS
