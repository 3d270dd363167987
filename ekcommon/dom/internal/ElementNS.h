// The library's element classes: Element (prefix and local name) and ElementNS, which adds the
// namespace. EKDocument's factories create them unless a host substitutes its own classes.
#pragma once

#include "ekcommon/dom/EKElement.h"

namespace EKCommonNS {

class Element : public EKElement {
  EK_TYPE_IDENTITY(Element, EKElement)

public:
  Element(EKDocument* ownerDocument, EKName prefix, EKName localName)
      : EKElement(ownerDocument), m_prefix(prefix), m_localName(localName) {}

  EKName getLocalName() const override { return m_localName; }
  EKName getPrefix() const override { return m_prefix; }
  void setPrefix(EKName prefix) override { m_prefix = prefix; }

private:
  EKName m_prefix;
  EKName m_localName;
};

class ElementNS : public Element {
  EK_TYPE_IDENTITY(ElementNS, Element)

public:
  ElementNS(EKDocument* ownerDocument, EKName namespaceUri, EKName prefix, EKName localName)
      : Element(ownerDocument, prefix, localName), m_namespaceUri(namespaceUri) {}

  EKName getNamespaceUri() const override { return m_namespaceUri; }

private:
  EKName m_namespaceUri;
};

} // namespace EKCommonNS
