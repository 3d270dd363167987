#include "ekcommon/xml/EKXmlUtil.h"

#include "ekcommon/text/EKChar.h"
#include "ekcommon/xml/internal/EKXmlCatalogsImpl.h"

#include <cstdio>

namespace EKCommonNS {

namespace {

constexpr char16_t XMP_ESCAPE = 0x2182;

// The look-ahead must never wait for the network or fail on what the root element does not
// need: no external DTD, no external entity, unbound prefixes and unknown encodings tolerated.
EKPtr<EKXmlParser> createLookAheadParser(const EKUri::ContentInfo* info) {
  EKPtr<EKXmlParser> parser = EKXmlParser::createXmlParser(info);
  for (EKXmlParser::Feature feature :
       {EKXmlParser::FEATURE_NO_EXTERNAL_DTD, EKXmlParser::FEATURE_RESERVED_1,
        EKXmlParser::FEATURE_ALLOW_UNBOUND_ATTRIBUTE_PREFIX, EKXmlParser::FEATURE_RAW_UNKNOWN_ENCODING,
        EKXmlParser::FEATURE_NO_EXTERNAL_ENTITIES, EKXmlParser::FEATURE_ALLOW_UNBOUND_ELEMENT_PREFIX})
    parser->setFeature(feature, true);
  return parser;
}

EKPtr<EKXmlParser> openLookAhead(const UnicodeString& uri, const EKUri::ContentInfo* info) {
  EKPtr<EKXmlParser> parser = createLookAheadParser(info);
  EKUri input(uri);
  parser->setInput(input, UnicodeString(), UnicodeString());
  return parser;
}

// The parser on the first start tag (with an id, the first one whose id attribute has that
// value); null when the document ends first.
EKPtr<EKXmlParser> advanceToElement(EKPtr<EKXmlParser> parser, const UnicodeString& id) {
  for (int event = parser->next(); event != EKXmlParser::END_DOCUMENT; event = parser->next())
    if (event == EKXmlParser::START_TAG && (id.isEmpty() || parser->getAttributeValue(EKName(), EKN_id) == id))
      return parser;
  return nullptr;
}

EKName elementName(EKName& localName, EKXmlParser* parser) {
  localName = parser ? parser->getName() : EKName();
  return parser ? parser->getNamespace() : EKName();
}

EKName stylesheetNamespace(EKName& localName, EKXmlParser* parser) {
  const EKName namespaceUri = elementName(localName, parser);
  if (namespaceUri != EKN_http_www_w3_org_1999_XSL_Format || localName != EKN_root)
    return namespaceUri;
  for (int i = parser->getAttributeCount() - 1; i >= 0; --i)
    if (parser->getAttributeName(i) == EKN_version &&
        parser->getAttributeNamespace(i) == EKN_http_www_w3_org_1999_XSL_Transform)
      return EKName(EKN_http_www_w3_org_1999_XSL_Transform);
  return namespaceUri;
}

bool isXmpNameChar(UChar32 c, bool first) {
  if (c == ':' || c == XMP_ESCAPE)
    return false;
  return first ? EKChar::isNCNameStartChar(c) : EKChar::isNCNameChar(c);
}

} // namespace

EKPtr<EKXmlParser> EKXmlUtil::createXmlParser(const EKUri::ContentInfo* info) {
  return EKXmlParser::createXmlParser(info);
}

EKPtr<EKXmlSerializer> EKXmlUtil::createXmlSerializer() { return EKXmlSerializer::createXmlSerializer(); }

EKPtr<EKXmlCatalogs> EKXmlUtil::createXmlCatalogs() { return EKPtr<EKXmlCatalogs>(new EKXmlCatalogsImpl()); }

EKName EKXmlUtil::makeQName(EKName prefix, EKName localName) {
  return prefix.isEmpty() ? localName : EKName(makeQNameStr(prefix, localName));
}

UnicodeString EKXmlUtil::makeQNameStr(const UnicodeString& prefix, const UnicodeString& localName) {
  return prefix.isEmpty() ? localName : UnicodeString(prefix).append(u':').append(localName);
}

EKName EKXmlUtil::getLocalPartFromQName(EKName qname) {
  return qname.toString().indexOf(u':') < 0 ? qname : EKName(getLocalPartFromQNameStr(qname));
}

UnicodeString EKXmlUtil::getLocalPartFromQNameStr(const UnicodeString& qname) {
  const int32_t colon = qname.indexOf(u':');
  return colon < 0 ? qname : UnicodeString(qname, colon + 1);
}

EKName EKXmlUtil::getPrefixFromQName(EKName qname) {
  const UnicodeString prefix = getPrefixFromQNameStr(qname);
  return prefix.isEmpty() ? EKName() : EKName(prefix);
}

UnicodeString EKXmlUtil::getPrefixFromQNameStr(const UnicodeString& qname) {
  const int32_t colon = qname.indexOf(u':');
  return colon > 0 ? UnicodeString(qname, 0, colon) : UnicodeString();
}

UnicodeString EKXmlUtil::makeNSQNameStr(const UnicodeString& namespaceUri, const UnicodeString& localName) {
  if (namespaceUri.isEmpty())
    return localName;
  if (namespaceUri == EKName(EKN_http_www_w3_org_XML_1998_namespace).toString())
    return UnicodeString(u"xml:").append(localName);
  if (namespaceUri == EKName(EKN_http_www_w3_org_2000_xmlns).toString())
    return localName == EKName(EKN_xmlns).toString() ? localName : UnicodeString(u"xmlns:").append(localName);
  return UnicodeString(u'{').append(namespaceUri).append(u"}:").append(localName);
}

EKPtr<EKXmlParser> EKXmlUtil::getRootParser(std::istream& in, const EKUri::ContentInfo* info,
                                            const UnicodeString& extension, const UnicodeString& id) {
  EKPtr<EKXmlParser> parser = createLookAheadParser(info);
  parser->setStreamType(info, extension);
  parser->setInput(in, UnicodeString(), UnicodeString());
  return advanceToElement(std::move(parser), id);
}

EKPtr<EKXmlParser> EKXmlUtil::getRootParser(const UnicodeString& uri, const UnicodeString& id) {
  return advanceToElement(openLookAhead(uri, nullptr), id);
}

EKName EKXmlUtil::getRootName(EKName& localName, std::istream& in, const EKUri::ContentInfo* info,
                              const UnicodeString& extension, const UnicodeString& id) {
  return elementName(localName, getRootParser(in, info, extension, id));
}

EKName EKXmlUtil::getRootName(EKName& localName, const UnicodeString& uri, const UnicodeString& id) {
  return elementName(localName, getRootParser(uri, id));
}

EKName EKXmlUtil::getXSLStylesheetNamespace(EKName& localName, std::istream& in) {
  return stylesheetNamespace(localName, getRootParser(in, nullptr, UnicodeString(), UnicodeString()));
}

EKName EKXmlUtil::getXSLStylesheetNamespace(EKName& localName, const UnicodeString& uri,
                                            const EKUri::ContentInfo* info) {
  return stylesheetNamespace(localName, advanceToElement(openLookAhead(uri, info), UnicodeString()));
}

UnicodeString EKXmlUtil::escapeXmpUserDefinedKey(const UnicodeString& key) {
  UnicodeString escaped;
  for (int32_t i = 0; i < key.length();) {
    const UChar32 c = key.char32At(i);
    const int32_t units = U16_LENGTH(c);
    if (isXmpNameChar(c, i == 0)) {
      escaped.append(c);
    } else {
      for (int32_t unit = i; unit < i + units; ++unit) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(key.charAt(unit)));
        escaped.append(XMP_ESCAPE).append(UnicodeString(digits, -1, US_INV));
      }
    }
    i += units;
  }
  return escaped;
}

} // namespace EKCommonNS
