// The service table of the libxml2-backed parser and its factory.

#include "ekcommon/xml/platform/EKMSXmlParser.h"

#include "ekcommon/xml/platform/internal/EKMSXmlParserImpl.h"

#include <libxml/parser.h>
#include <libxml/xmlversion.h>

#include <cstdlib>

namespace EKCommonNS {

namespace {

// The service records, newest first. On this platform libxml2 is the one service; its record is
// made once, when the runtime has been initialised (xmlInitParser is safe to call again later by
// a host that uses libxml2 itself).
struct ServiceTable {
  EKMSXmlParser::MSXMLGUID records[1];
  ServiceTable() {
    xmlInitParser();
    records[0] = {"libxml2", std::atoi(xmlParserVersion), EKMSXmlParser::MSXMLTYPE_60};
  }
};

const ServiceTable& serviceTable() {
  static const ServiceTable table;
  return table;
}

} // namespace

const EKMSXmlParser::MSXMLGUID* EKMSXmlParser::searchMSXml(MSXMLTYPE newest) {
  for (const MSXMLGUID& record : serviceTable().records) {
    // A runtime of another major version than the headers the library was built with has another
    // binary interface: its trees cannot be walked.
    if (record.type <= newest && record.runtimeVersion / 10000 == LIBXML_VERSION / 10000)
      return &record;
  }
  return nullptr;
}

EKPtr<EKMSXmlParser> EKMSXmlParser::create(MSXMLTYPE newest) {
  return EKPtr<EKMSXmlParser>(new EKMSXmlParserImpl(newest));
}

} // namespace EKCommonNS
