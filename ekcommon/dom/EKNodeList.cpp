#include "ekcommon/dom/EKNodeList.h"

namespace EKCommonNS {

int EKNodeList::getLength() {
  int count = 0;
  for (EKNode* node = getFirstNode(); node; node = getNextNode(node))
    ++count;
  return count;
}

EKNode* EKNodeList::item(int index) {
  if (index < 0)
    return nullptr;
  EKNode* node = getFirstNode();
  for (; node && index > 0; --index)
    node = getNextNode(node);
  return node;
}

EKNodeIterator EKNodeIterable::getIterator() { return EKNodeIterator(this); }

} // namespace EKCommonNS
