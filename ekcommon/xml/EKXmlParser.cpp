#include "ekcommon/xml/EKXmlParser.h"

#include "ekcommon/core/EKError.h"

namespace EKCommonNS {

void EKXmlParser::setInput(const UnicodeString& uri, const UnicodeString& encoding, const UnicodeString& baseUri) {
  EKUri input(uri);
  setInput(input, encoding, baseUri);
}

void EKXmlParser::setStreamType(const EKUri::ContentInfo*, const UnicodeString&) {}
void EKXmlParser::setCallbackError(ErrorCallback, void*) {}
void EKXmlParser::setInputUri(const EKUri&) {}
UnicodeString EKXmlParser::getInputUri() { return UnicodeString(); }
UnicodeString EKXmlParser::getBaseUri() { return UnicodeString(); }
void EKXmlParser::pushStream(const UnicodeString&, EKName, const UnicodeString&) {}
void EKXmlParser::throwError(unsigned short, const UnicodeString&, const UnicodeString&) {}
bool EKXmlParser::popError(EKError&) { return false; }
void EKXmlParser::pushError(const EKError&) {}
void EKXmlParser::addMathMLEntities() {}
const void* EKXmlParser::saveEntityMaps() const { return nullptr; }
void EKXmlParser::recoverEntityMaps(const void*&) {}
void EKXmlParser::rewind() {}
void EKXmlParser::setAutoClose(bool) {}
bool EKXmlParser::isXML() const { return false; }
bool EKXmlParser::isHTMLSyntax() const { return false; }
bool EKXmlParser::isXHTMLSyntax() const { return false; }
void EKXmlParser::setParserType(EKName, EKName) {}
void EKXmlParser::setHtmlDefaultCharset(const UnicodeString&) {}
UnicodeString EKXmlParser::getLanguage() { return UnicodeString(); }
UnicodeString EKXmlParser::getPubidLiteral() { return UnicodeString(); }
UnicodeString EKXmlParser::getExternalDTD() { return UnicodeString(); }
void EKXmlParser::setHugeTextLimit(int) {}

} // namespace EKCommonNS
