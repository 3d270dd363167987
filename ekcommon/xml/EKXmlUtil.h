// Static helpers around the XML subsystem: factories for the parser and the catalogs, qualified-
// name arithmetic on names and strings, a quick look at a document's root element without
// building a tree (to decide whether an input is XSL-FO, XSLT, HTML ...), and the escaping of
// user-defined XMP property keys into XML names.
//
//   EKName local;
//   EKName ns = EKXmlUtil::getXSLStylesheetNamespace(local, u"input.xml", nullptr);
//   if (ns == EKN_http_www_w3_org_1999_XSL_Transform) { transform(); }
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/names/EKName.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/xml/EKXmlCatalogs.h"
#include "ekcommon/xml/EKXmlParser.h"
#include "ekcommon/xml/EKXmlSerializer.h"

#include <istream>

namespace EKCommonNS {

class EKCOMMON_API EKXmlUtil {
public:
  EKXmlUtil() = delete;

  // A new native parser; a non-null info is copied into it (EKXmlParser::createXmlParser).
  static EKPtr<EKXmlParser> createXmlParser(const EKUri::ContentInfo* info);
  // A new serializer of the library's own implementation (EKXmlSerializer::createXmlSerializer).
  static EKPtr<EKXmlSerializer> createXmlSerializer();
  // New catalogs that read catalog files with their own parser, which reads no external DTD.
  static EKPtr<EKXmlCatalogs> createXmlCatalogs();

  // "prefix:localName", or localName when the prefix is empty.
  static EKName makeQName(EKName prefix, EKName localName);
  static UnicodeString makeQNameStr(const UnicodeString& prefix, const UnicodeString& localName);
  // The part after the first colon, or the whole name when there is none.
  static EKName getLocalPartFromQName(EKName qname);
  static UnicodeString getLocalPartFromQNameStr(const UnicodeString& qname);
  // The part before the first colon, or empty when there is none or it is the first character.
  static EKName getPrefixFromQName(EKName qname);
  static UnicodeString getPrefixFromQNameStr(const UnicodeString& qname);
  // The name as a serializer would write it without declarations: localName without namespace,
  // "xml:" and "xmlns:" (or plain "xmlns") for the two reserved namespaces, and
  // "{namespace}:localName" for any other namespace.
  static UnicodeString makeNSQNameStr(const UnicodeString& namespaceUri, const UnicodeString& localName);

  // A parser positioned on the document's root element, or with a non-empty id on the first
  // element whose unprefixed attribute id has exactly that value; null when the document ends
  // first. The look-ahead reads no external DTD and no external entity, tolerates unbound
  // prefixes and reads an unknown encoding raw. `info` (may be null) and the file-name
  // extension feed HTML detection. The parser reads `in`, which must outlive it. Parse errors
  // met on the way are thrown as EKError.
  static EKPtr<EKXmlParser> getRootParser(std::istream& in, const EKUri::ContentInfo* info,
                                          const UnicodeString& extension, const UnicodeString& id);
  // The same for the resource the URI names; EKError 67 when it cannot be opened.
  static EKPtr<EKXmlParser> getRootParser(const UnicodeString& uri, const UnicodeString& id);
  // The namespace of that element, and its local name in localName; both empty when there is
  // none. Names outside the built-in vocabulary stay valid only while something holds the shared
  // name table (a document, a namespace manager, EKNameTable::addRefSharedNameTable).
  static EKName getRootName(EKName& localName, std::istream& in, const EKUri::ContentInfo* info,
                            const UnicodeString& extension, const UnicodeString& id);
  static EKName getRootName(EKName& localName, const UnicodeString& uri, const UnicodeString& id);
  // As getRootName for the root element, except that an XSL-FO fo:root element carrying the
  // attribute version in the XSLT namespace (a literal-result-element stylesheet) reports the
  // XSLT namespace.
  static EKName getXSLStylesheetNamespace(EKName& localName, std::istream& in);
  static EKName getXSLStylesheetNamespace(EKName& localName, const UnicodeString& uri,
                                          const EKUri::ContentInfo* info);

  // The key as an XML name: every character that may not stand at its place in a name, and
  // always ':' and U+2182, becomes U+2182 followed by four upper-case hexadecimal digits per
  // UTF-16 code unit. An empty key stays empty.
  static UnicodeString escapeXmpUserDefinedKey(const UnicodeString& key);
};

} // namespace EKCommonNS
