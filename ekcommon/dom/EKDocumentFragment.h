// EKDocumentFragment: a parentless container for nodes being assembled before they go into a
// tree.
#pragma once

#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKCOMMON_API EKDocumentFragment : public EKNode {
  EK_TYPE_IDENTITY(EKDocumentFragment, EKNode)

public:
  explicit EKDocumentFragment(EKDocument* ownerDocument) : EKNode(ownerDocument) {}

  EKName getLocalName() const override;
  EKNodeType getNodeType() const override { return DOCUMENT_FRAGMENT_NODE; }
  EKPtr<EKNode> cloneNode(bool deep) override;
};

} // namespace EKCommonNS
