#include "ekcommon/dom/EKElement.h"

#include "ekcommon/core/EKErrorCodeCOMMON.h"
#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/dom/internal/AttrNodeMap.h"
#include "ekcommon/resources/EKUri.h"
#include "ekcommon/xml/EKXmlUtil.h"

namespace EKCommonNS {

EKElement::EKElement(EKDocument* ownerDocument)
    : EKNode(ownerDocument), m_sequenceNumber(ownerDocument ? ownerDocument->nextSequenceNumber() : 0) {}

EKElement::~EKElement() {
  if (m_attributes)
    m_attributes->release();
}

AttrNodeMap* EKElement::attributeMap() {
  if (!m_attributes) {
    m_attributes = new AttrNodeMap(this);
    m_attributes->addRef();
  }
  return m_attributes;
}

void EKElement::forgetAttributesDocument() {
  if (m_attributes)
    m_attributes->forgetDocument();
}

EKNamedNodeMap* EKElement::getAttributes() { return attributeMap(); }

bool EKElement::hasAttributes() const { return m_attributes && m_attributes->getLength() > 0; }

EKValue EKElement::getAttribute(EKName qname) {
  EKAttr* attr = getAttributeNode(qname);
  return attr ? attr->getValue() : EKValue();
}

EKValue EKElement::getAttributeNS(EKName namespaceUri, EKName localName) {
  EKAttr* attr = getAttributeNodeNS(namespaceUri, localName);
  return attr ? attr->getValue() : EKValue();
}

// New attributes come from the owner document; an element that outlived its document has none.
EKDocument* EKElement::attributeFactory() {
  EKDocument* document = getOwnerDocument();
  if (!document)
    throwCommonError(EKERR_WRONG_DOCUMENT, UNICODE_STRING_SIMPLE("attribute"));
  return document;
}

// The map takes over the factory's reference; a factory that makes no attribute leaves it unset.
void EKElement::adoptNewAttribute(EKPtr<EKAttr> created, const EKValue& value) {
  if (!created)
    return;
  created->setValue(value);
  attributeMap()->append(created.detach(), true);
}

void EKElement::setAttribute(EKName qname, const EKValue& value) {
  if (EKAttr* attr = getAttributeNode(qname))
    attr->setValue(value);
  else
    adoptNewAttribute(attributeFactory()->createAttribute(qname), value);
}

void EKElement::setAttributeNS(EKName namespaceUri, EKName prefix, EKName localName, const EKValue& value) {
  if (EKAttr* attr = getAttributeNodeNS(namespaceUri, localName))
    attr->setValue(value);
  else
    adoptNewAttribute(attributeFactory()->createAttributeNS(namespaceUri, prefix, localName), value);
}

void EKElement::setAttributeNS(EKName namespaceUri, EKName qname, const EKValue& value) {
  const EKName prefix = EKXmlUtil::getPrefixFromQName(qname);
  const EKName localName = EKXmlUtil::getLocalPartFromQName(qname);
  setAttributeNS(namespaceUri, prefix, localName, value);
}

void EKElement::removeAttribute(EKName qname) {
  if (m_attributes)
    m_attributes->removeNamedItem(qname);
}

void EKElement::removeAttributeNS(EKName namespaceUri, EKName localName) {
  if (m_attributes)
    m_attributes->removeNamedItemNS(namespaceUri, localName);
}

EKAttr* EKElement::getAttributeNode(EKName qname) {
  return m_attributes ? m_attributes->getNamedItem(qname) : nullptr;
}

EKAttr* EKElement::getAttributeNodeNS(EKName namespaceUri, EKName localName) {
  return m_attributes ? m_attributes->getNamedItemNS(namespaceUri, localName) : nullptr;
}

void EKElement::getAttributeNodeLocal(EKName localName, std::vector<EKPtr<EKAttr>>* out) {
  if (m_attributes)
    m_attributes->getNamedItemsLocal(localName, out);
}

EKPtr<EKAttr> EKElement::removeAttributeNode(EKAttr* attr) {
  if (!attr)
    throwCommonError(EKERR_NULL_ARGUMENT, UNICODE_STRING_SIMPLE("oldAttr"));
  if (!m_attributes || m_attributes->getNamedItemNS(attr->getNamespaceUri(), attr->getLocalName()) != attr)
    return nullptr;
  return m_attributes->remove(attr);
}

bool EKElement::hasAttribute(EKName qname) { return getAttributeNode(qname) != nullptr; }

bool EKElement::hasAttributeNS(EKName namespaceUri, EKName localName) {
  return getAttributeNodeNS(namespaceUri, localName) != nullptr;
}

bool EKElement::hasAttributeLocal(EKName localName) {
  if (!m_attributes)
    return false;
  for (EKNode* node = m_attributes->getFirstNode(); node; node = m_attributes->getNextNode(node)) {
    if (node->getLocalName() == localName)
      return true;
  }
  return false;
}

void EKElement::setAttributeEx(EKName namespaceUri, EKName prefix, EKName localName, const UnicodeString& text) {
  setAttributeNS(namespaceUri, prefix, localName, EKValue(text, UNIT_NONE));
}

void EKElement::getAttributeLocal(EKName localName, std::vector<EKValue>* out) {
  if (!m_attributes)
    return;
  for (EKNode* node = m_attributes->getFirstNode(); node; node = m_attributes->getNextNode(node)) {
    if (node->getLocalName() == localName)
      out->push_back(static_cast<EKAttr*>(node)->getValue());
  }
}

// The default namespace is declared by the attribute xmlns without namespace, a prefix by
// xmlns:prefix in the xmlns namespace: the names the parser gives them.
EKName EKElement::getAttributeXMLNS(EKName prefix) {
  const EKValue value = prefix.isEmpty() ? getAttribute(EKName(EKN_xmlns))
                                         : getAttributeNS(EKN_http_www_w3_org_2000_xmlns, prefix);
  return value.isNull() ? EKName() : EKName(value.toString());
}

void EKElement::setAttributeXMLNS(EKName prefix, EKName namespaceUri) {
  const EKValue value(namespaceUri.toString(), UNIT_NONE);
  if (prefix.isEmpty())
    setAttributeNS(EKName(), EKName(), EKN_xmlns, value);
  else
    setAttributeNS(EKN_http_www_w3_org_2000_xmlns, EKN_xmlns, prefix, value);
}

void EKElement::removeAttributeXMLNS(EKName prefix) {
  if (prefix.isEmpty())
    removeAttribute(EKName(EKN_xmlns));
  else
    removeAttributeNS(EKN_http_www_w3_org_2000_xmlns, prefix);
}

EKPtr<EKNode> EKElement::cloneNode(bool deep) {
  EKDocument* document = getOwnerDocument();
  if (!document)
    return nullptr;
  EKPtr<EKElement> copy = document->createElementNS(getNamespaceUri(), getPrefix(), getLocalName());
  if (!copy)
    return nullptr;
  if (m_attributes) {
    for (EKNode* node = m_attributes->getFirstNode(); node; node = m_attributes->getNextNode(node)) {
      EKAttr* attr = static_cast<EKAttr*>(node);
      copy->setAttributeNS(attr->getNamespaceUri(), attr->getPrefix(), attr->getLocalName(), attr->getValue());
    }
  }
  copy->setSourceLineNumber(m_line);
  copy->setSourceColumnNumber(m_column);
  if (deep)
    copy->cloneChildrenFrom(this);
  return EKPtr<EKNode>(copy.get());
}

UnicodeString EKElement::getBaseUri() const {
  EKAttr* base = m_attributes ? m_attributes->getNamedItemNS(EKN_http_www_w3_org_XML_1998_namespace, EKN_base)
                              : nullptr;
  if (!base)
    return EKNode::getBaseUri();
  const UnicodeString text = base->getText();
  const EKUri uri(text);
  if (uri.isAbsolute())
    return uri.toString();
  const UnicodeString parentBase = EKNode::getBaseUri();
  if (parentBase.isEmpty())
    return text;
  return EKUri(EKUri(parentBase), text).toString();
}

int EKElement::getSourceLineNumber() const { return m_line != -1 ? m_line : EKNode::getSourceLineNumber(); }

int EKElement::getSourceColumnNumber() const {
  return m_column != -1 ? m_column : EKNode::getSourceColumnNumber();
}

} // namespace EKCommonNS
