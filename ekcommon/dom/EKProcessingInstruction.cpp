#include "ekcommon/dom/EKProcessingInstruction.h"

#include "ekcommon/dom/EKDocument.h"

namespace EKCommonNS {

EKProcessingInstruction::EKProcessingInstruction(EKDocument* ownerDocument, EKName target, const UnicodeString& text)
    : EKNode(ownerDocument), m_target(target), m_text(text) {}

void EKProcessingInstruction::cloneMembers(EKNode* target) const {
  if (EKProcessingInstruction* pi = ekCast<EKProcessingInstruction>(target)) {
    pi->m_target = m_target;
    pi->m_text = m_text;
  }
}

EKPtr<EKNode> EKProcessingInstruction::cloneNode(bool) {
  EKDocument* document = getOwnerDocument();
  if (!document)
    return nullptr;
  return EKPtr<EKNode>(document->createProcessingInstruction(m_target, m_text).get());
}

} // namespace EKCommonNS
