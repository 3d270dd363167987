// The parser backed by libxml2: it parses the whole input into a libxml2 tree, then walks the tree
// with an explicit stack, one node per event, so that no nesting in the document is handled by
// recursion. Names are interned once per distinct libxml2 string (the service keeps its names in
// a dictionary), and text is converted to UTF-16 only when a getter asks for it.
#pragma once

#include "ekcommon/core/EKError.h"
#include "ekcommon/xml/EKNamespaceManager.h"
#include "ekcommon/xml/platform/EKMSXmlParser.h"

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace EKCommonNS {

class EKMSXmlParserImpl final : public EKMSXmlParser {
public:
  explicit EKMSXmlParserImpl(MSXMLTYPE newest);
  ~EKMSXmlParserImpl() override;

  void setFeature(Feature feature, bool on) override;
  bool getFeature(Feature feature) const override;
  void setInput(EKUri& uri, const UnicodeString& encoding, const UnicodeString& baseUri) override;
  void setInput(std::istream& in, const UnicodeString& encoding, const UnicodeString& baseUri) override;
  void setInput(_xmlDoc* document) override;
  using EKMSXmlParser::setInput;
  void setInputUri(const EKUri& uri) override;
  UnicodeString getInputUri() override { return m_inputUri; }
  void closeStream() override;
  UnicodeString getInputEncoding() override;
  void defineEntityReplacementText(EKName, const UnicodeString&) override {}
  int getNamespaceCount(int depth) const override { return m_namespaces->getNamespaceCount(depth); }
  EKName getNamespacePrefix(int pos) override { return m_namespaces->getNamespacePrefix(pos); }
  EKName getNamespaceUri(int pos) override { return m_namespaces->getNamespaceUri(pos); }
  EKName getNamespace() override;
  EKName getNamespace(EKName prefix) override { return m_namespaces->resolve(prefix); }
  int getDepth() const override { return m_namespaces->getDepth(); }
  UnicodeString getPositionDescription() override;
  int getLineNumber() const override { return m_line; }
  int getColumnNumber() const override { return m_column; }
  bool isWhitespace() const override;
  UnicodeString getText() override;
  EKName getTarget() override;
  bool hasXmlDecl() const override;
  EKName getName() override;
  EKName getPrefix() override;
  bool isEmptyElementTag() const override;
  int getAttributeCount() const override;
  EKName getAttributeNamespace(int index) override;
  EKName getAttributeName(int index) override;
  EKName getAttributePrefix(int index) override;
  UnicodeString getAttributeValue(EKName namespaceUri, EKName localName) override;
  UnicodeString getAttributeValue(int index) override;
  EventType getEventType() override { return m_event; }
  EventType next() override;
  EventType nextToken() override;
  UnicodeString getBaseUri() override { return m_baseUri; }
  void throwError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2) override;
  void rewind() override;
  void setAutoClose(bool on) override { m_autoClose = on; }
  bool isXML() const override { return true; }
  UnicodeString getLanguage() override { return m_contentLanguage; }
  UnicodeString getPubidLiteral() override;
  UnicodeString getExternalDTD() override;

private:
  struct Attribute {
    EKName prefix;
    EKName localName;
    EKName namespaceUri;
    const xmlChar* value; // the value in place, or null when it has to be assembled from `attr`
    xmlAttr* attr;
  };

  void parse(std::istream& in, const UnicodeString& encoding);
  void adopt(xmlDoc* document, bool parsedHere);
  void resetWalk();
  void settle();
  void startElement(xmlNode* element);
  void endDocument();
  void appendText(const xmlNode* node);
  EKName intern(const xmlChar* utf8);
  const Attribute& attributeAt(int index) const;
  EKError makeError(unsigned short code, const UnicodeString& arg1, const UnicodeString& arg2);
  [[noreturn]] void fail(unsigned short code, const UnicodeString& detail);

  // --- options that survive a new input
  const MSXMLTYPE m_newest;
  bool m_noExternalDtd = false;
  bool m_reserved3 = false;
  bool m_autoClose = true;

  // --- input
  xmlDoc* m_document = nullptr;
  bool m_parsedHere = false; // the walk may read the marks left on elements while parsing
  UnicodeString m_inputUri;
  UnicodeString m_baseUri;
  UnicodeString m_contentLanguage;
  UnicodeString m_suppliedEncoding;
  // What rewind needs once the document has been freed: the URI to fetch again, or the caller's
  // stream.
  std::unique_ptr<EKUri> m_inputLocation;
  std::istream* m_callerStream = nullptr;
  // What the document says of itself, kept after it has been freed.
  bool m_hasXmlDecl = false;
  UnicodeString m_encoding;
  UnicodeString m_pubidLiteral;
  UnicodeString m_systemLiteral;

  // --- walk
  EventType m_event = START_DOCUMENT;
  xmlNode* m_node = nullptr;     // the node of the current event
  xmlNode* m_upcoming = nullptr; // the next sibling to visit
  std::vector<xmlNode*> m_open;  // elements and entity references whose children are being walked
  bool m_started = false;
  bool m_enterPending = false; // the children of the START_TAG just reported are due
  bool m_closeEmpty = false;   // the END_TAG of a START_TAG without children is due
  bool m_popPending = false;   // the scope of the last END_TAG is still open
  EKPtr<EKNamespaceManager> m_namespaces;
  std::vector<Attribute> m_attributes;
  int m_attributeCount = -1;
  EKName m_elementPrefix;
  EKName m_elementName;
  bool m_emptyTag = false;
  int m_line = -1;
  int m_column = -1;

  // --- text of the current event: one node's content in place, or several joined
  const xmlChar* m_textInPlace = nullptr;
  std::string m_joinedText;
  bool m_textJoined = false;
  UnicodeString m_textCache;
  bool m_textCached = false;

  std::unordered_map<const xmlChar*, EKName> m_names;
};

} // namespace EKCommonNS
