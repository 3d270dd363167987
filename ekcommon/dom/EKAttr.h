// EKAttr: an attribute node. Its value is a typed EKValue (a length, a colour, a string ...), so
// that a host can keep parsed property values on the tree and write them back as text.
#pragma once

#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKCOMMON_API EKAttr : public EKNode {
  EK_TYPE_IDENTITY(EKAttr, EKNode)

public:
  EKNodeType getNodeType() const override { return ATTRIBUTE_NODE; }
  // The value as a string (its printed form).
  UnicodeString getText() const override;
  // Stores a string value.
  void setText(const UnicodeString& text) override;
  EKValue getNodeValue() const override { return getValue(); }
  void setNodeValue(const EKValue& value) override { setValue(value); }

  virtual const EKValue& getValue() const = 0;
  virtual void setValue(const EKValue& value) = 0;
  // The element the attribute belongs to, or null.
  virtual EKElement* getOwnerElement() const { return m_ownerElement; }

protected:
  explicit EKAttr(EKDocument* ownerDocument) : EKNode(ownerDocument) {}

private:
  friend class AttrNodeMap;
  EKElement* m_ownerElement = nullptr;
};

} // namespace EKCommonNS
