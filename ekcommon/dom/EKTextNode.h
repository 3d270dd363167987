// EKTextNode: character data in the tree, with the bidi embedding level a formatter resolves
// for it later (-1 until then).
#pragma once

#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKCOMMON_API EKTextNode : public EKNode {
  EK_TYPE_IDENTITY(EKTextNode, EKNode)

public:
  EKTextNode(EKDocument* ownerDocument, const UnicodeString& data);

  EKName getLocalName() const override;
  EKNodeType getNodeType() const override { return TEXT_NODE; }
  EKValue getNodeValue() const override;
  void setNodeValue(const EKValue& value) override;
  bool isText() const override { return true; }
  UnicodeString getText() const override { return m_data; }
  void setText(const UnicodeString& text) override { m_data = text; }
  void cloneMembers(EKNode* target) const override;
  EKPtr<EKNode> cloneNode(bool deep) override;
  bool isBidiDone() const override { return m_bidiLevel >= 0; }
  void bidiDone(int level) override { m_bidiLevel = level; }

  const UnicodeString& getData() const { return m_data; }
  void setData(const UnicodeString& data) { m_data = data; }
  // In UTF-16 code units.
  int getLength() const { return m_data.length(); }
  int getBidiLevel() const { return m_bidiLevel; }

private:
  int32_t m_bidiLevel = -1;
  UnicodeString m_data;
};

} // namespace EKCommonNS
