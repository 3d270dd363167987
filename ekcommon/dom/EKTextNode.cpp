#include "ekcommon/dom/EKTextNode.h"

#include "ekcommon/dom/EKDocument.h"

namespace EKCommonNS {

EKTextNode::EKTextNode(EKDocument* ownerDocument, const UnicodeString& data) : EKNode(ownerDocument), m_data(data) {}

EKName EKTextNode::getLocalName() const { return EKName(EKN_text); }

EKValue EKTextNode::getNodeValue() const { return EKValue(m_data, UNIT_NONE); }

void EKTextNode::setNodeValue(const EKValue& value) { m_data = value.toString(); }

void EKTextNode::cloneMembers(EKNode* target) const {
  if (EKTextNode* text = ekCast<EKTextNode>(target))
    text->m_data = m_data;
}

EKPtr<EKNode> EKTextNode::cloneNode(bool) {
  EKDocument* document = getOwnerDocument();
  if (!document)
    return nullptr;
  EKPtr<EKNode> copy(document->createTextNode(UnicodeString()).get());
  cloneMembers(copy);
  return copy;
}

} // namespace EKCommonNS
