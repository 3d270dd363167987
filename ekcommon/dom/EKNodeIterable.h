// EKNodeIterable: an ordered collection of nodes (children, descendants, attributes) visited
// through first/last/next/previous; the base of node lists and attribute maps.
#pragma once

#include "ekcommon/dom/EKNodeIterator.h"

namespace EKCommonNS {

class EKCOMMON_API EKNodeIterable : public EKRCObject {
  EK_TYPE_IDENTITY(EKNodeIterable, EKRCObject)

public:
  // Null when the collection is empty or the node is its first (last) member.
  virtual EKNode* getFirstNode() = 0;
  virtual EKNode* getLastNode() = 0;
  virtual EKNode* getNextNode(EKNode* node) = 0;
  virtual EKNode* getPreviousNode(EKNode* node) = 0;
  // An iterator positioned on the first node.
  EKNodeIterator getIterator();
};

} // namespace EKCommonNS
