#include "ekcommon/dom/EKDocumentFragment.h"

#include "ekcommon/dom/EKDocument.h"

namespace EKCommonNS {

EKName EKDocumentFragment::getLocalName() const { return EKName(EKN_document_fragment); }

EKPtr<EKNode> EKDocumentFragment::cloneNode(bool deep) {
  EKDocument* document = getOwnerDocument();
  if (!document)
    return nullptr;
  EKPtr<EKNode> copy(document->createDocumentFragment().get());
  if (deep)
    copy->cloneChildrenFrom(this);
  return copy;
}

} // namespace EKCommonNS
