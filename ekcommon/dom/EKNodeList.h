// EKNodeList: an EKNodeIterable with positions. The lists the DOM hands out are live: they
// reflect the tree as it is when asked (and load more of it in pull mode).
#pragma once

#include "ekcommon/dom/EKNodeIterable.h"

namespace EKCommonNS {

class EKCOMMON_API EKNodeList : public EKNodeIterable {
  EK_TYPE_IDENTITY(EKNodeList, EKNodeIterable)

public:
  // Counts by walking the collection.
  virtual int getLength();
  // The node at `index`, or null when out of range.
  virtual EKNode* item(int index);
};

} // namespace EKCommonNS
