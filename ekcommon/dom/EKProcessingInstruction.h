// EKProcessingInstruction: a processing instruction kept in the tree (the loader keeps them
// only when the parser reports them).
#pragma once

#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKCOMMON_API EKProcessingInstruction : public EKNode {
  EK_TYPE_IDENTITY(EKProcessingInstruction, EKNode)

public:
  EKProcessingInstruction(EKDocument* ownerDocument, EKName target, const UnicodeString& text);

  // The target.
  EKName getLocalName() const override { return m_target; }
  EKNodeType getNodeType() const override { return PROCESSING_INSTRUCTION_NODE; }
  bool isProcessingInstruction() const override { return true; }
  UnicodeString getText() const override { return m_text; }
  void setText(const UnicodeString& text) override { m_text = text; }
  void cloneMembers(EKNode* target) const override;
  EKPtr<EKNode> cloneNode(bool deep) override;

  EKName getTarget() const { return m_target; }

private:
  EKName m_target;
  UnicodeString m_text;
};

} // namespace EKCommonNS
