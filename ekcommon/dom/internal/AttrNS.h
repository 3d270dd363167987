// The library's attribute classes: Attr (prefix and local name) and AttrNS, which adds the
// namespace. Both are created through EKDocument's attribute factories.
#pragma once

#include "ekcommon/dom/EKAttr.h"

namespace EKCommonNS {

class Attr : public EKAttr {
public:
  Attr(EKDocument* ownerDocument, EKName prefix, EKName localName)
      : EKAttr(ownerDocument), m_prefix(prefix), m_localName(localName) {}

  EKName getLocalName() const override { return m_localName; }
  EKName getPrefix() const override { return m_prefix; }
  void setPrefix(EKName prefix) override { m_prefix = prefix; }
  const EKValue& getValue() const override { return m_value; }
  void setValue(const EKValue& value) override { m_value = value; }
  void cloneMembers(EKNode* target) const override;
  EKPtr<EKNode> cloneNode(bool deep) override;

private:
  EKName m_prefix;
  EKName m_localName;
  EKValue m_value;
};

class AttrNS : public Attr {
  EK_TYPE_IDENTITY(AttrNS, Attr)

public:
  AttrNS(EKDocument* ownerDocument, EKName namespaceUri, EKName prefix, EKName localName)
      : Attr(ownerDocument, prefix, localName), m_namespaceUri(namespaceUri) {}

  EKName getNamespaceUri() const override { return m_namespaceUri; }

private:
  EKName m_namespaceUri;
};

} // namespace EKCommonNS
