#include "ekcommon/xml/EKXmlSerializer.h"

#include "ekcommon/xml/internal/EKXmlSerializerImpl.h"

namespace EKCommonNS {

void EKXmlSerializer::setGenerator(const UnicodeString&) {}

EKPtr<EKXmlSerializer> EKXmlSerializer::createXmlSerializer() {
  return EKPtr<EKXmlSerializer>(new EKXmlSerializerImpl());
}

} // namespace EKCommonNS
