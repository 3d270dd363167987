// EKElement: the element node. Attributes are EKAttr nodes with typed values; the element also
// records its creation sequence number and its position in the source. Hosts derive their
// formatting-object classes from it and create them through EKDocument's factories.
#pragma once

#include "ekcommon/dom/EKNode.h"

#include <vector>

namespace EKCommonNS {

class EKAttr;
class AttrNodeMap;

class EKCOMMON_API EKElement : public EKNode {
  EK_TYPE_IDENTITY(EKElement, EKNode)

public:
  // The value, or the null (invalid) value when there is no such attribute.
  virtual EKValue getAttribute(EKName qname);
  virtual EKValue getAttributeNS(EKName namespaceUri, EKName localName);
  // Creates the attribute through the owner document when missing (common error 6 when the
  // element outlived its document); an existing attribute keeps its node and its position.
  virtual void setAttribute(EKName qname, const EKValue& value);
  virtual void setAttributeNS(EKName namespaceUri, EKName prefix, EKName localName, const EKValue& value);
  virtual void setAttributeNS(EKName namespaceUri, EKName qname, const EKValue& value);
  virtual void removeAttribute(EKName qname);
  virtual void removeAttributeNS(EKName namespaceUri, EKName localName);
  virtual EKAttr* getAttributeNode(EKName qname);
  virtual EKAttr* getAttributeNodeNS(EKName namespaceUri, EKName localName);
  // Appends the attributes with that local name in any namespace.
  virtual void getAttributeNodeLocal(EKName localName, std::vector<EKPtr<EKAttr>>* out);
  // Error: common 3 for a null attribute. Null when the attribute is not this element's.
  virtual EKPtr<EKAttr> removeAttributeNode(EKAttr* attr);
  virtual bool hasAttribute(EKName qname);
  virtual bool hasAttributeNS(EKName namespaceUri, EKName localName);
  virtual bool hasAttributeLocal(EKName localName);
  // The loader's entry: the text as a string value, through setAttributeNS.
  virtual void setAttributeEx(EKName namespaceUri, EKName prefix, EKName localName, const UnicodeString& text);

  EKNodeType getNodeType() const override { return ELEMENT_NODE; }
  // The element's attribute map (never null).
  EKNamedNodeMap* getAttributes() override;
  bool hasAttributes() const override;
  EKPtr<EKNode> cloneNode(bool deep) override;
  // xml:base, resolved against the parent's base URI when relative.
  UnicodeString getBaseUri() const override;
  int getSourceLineNumber() const override;
  void setSourceLineNumber(int line) override { m_line = line; }
  int getSourceColumnNumber() const override;
  void setSourceColumnNumber(int column) override { m_column = column; }
  bool isElementNode() const override { return true; }

  // The values of the attributes with that local name in any namespace.
  void getAttributeLocal(EKName localName, std::vector<EKValue>* out);
  // The namespace declared by xmlns:prefix (xmlns for the empty prefix) on this element.
  EKName getAttributeXMLNS(EKName prefix);
  void setAttributeXMLNS(EKName prefix, EKName namespaceUri);
  void removeAttributeXMLNS(EKName prefix);
  // The owner document's element counter at creation.
  uint32_t getSequenceNumber() const { return m_sequenceNumber; }

protected:
  explicit EKElement(EKDocument* ownerDocument);
  ~EKElement() override;

private:
  friend class EKNode;
  AttrNodeMap* attributeMap();
  EKDocument* attributeFactory();
  void adoptNewAttribute(EKPtr<EKAttr> created, const EKValue& value);
  void forgetAttributesDocument();

  // Made on the first attribute: most elements of a large document have none.
  AttrNodeMap* m_attributes = nullptr;
  uint32_t m_sequenceNumber;
  int32_t m_line = -1;
  int32_t m_column = -1;
};

} // namespace EKCommonNS
