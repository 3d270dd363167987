#include "ekcommon/dom/EKAttr.h"

#include "ekcommon/dom/EKDocument.h"
#include "ekcommon/dom/internal/AttrNS.h"

namespace EKCommonNS {

UnicodeString EKAttr::getText() const { return getValue().toString(); }

void EKAttr::setText(const UnicodeString& text) { setValue(EKValue(text, UNIT_NONE)); }

void Attr::cloneMembers(EKNode* target) const {
  if (EKAttr* attr = ekCast<EKAttr>(target))
    attr->setValue(m_value);
}

EKPtr<EKNode> Attr::cloneNode(bool) {
  EKDocument* document = getOwnerDocument();
  if (!document)
    return nullptr;
  EKPtr<EKAttr> copy = document->createAttributeNS(getNamespaceUri(), getPrefix(), getLocalName());
  copy->setValue(m_value);
  return EKPtr<EKNode>(copy.get());
}

} // namespace EKCommonNS
