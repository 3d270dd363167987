// EKNodeIterator: a position in an EKNodeIterable. It holds the collection, so the collection
// stays alive as long as the iterator does.
//
//   for (EKNodeIterator it = element->getIterator(); it.hasNextNode();)
//     visit(it.nextNode());
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKNodeIterable;

class EKCOMMON_API EKNodeIterator {
public:
  EKNodeIterator() = default;
  explicit EKNodeIterator(EKNodeIterable* iterable);
  // Iterates the descendants of `root` in document order, starting at `start` (null: the first).
  EKNodeIterator(EKNode* root, EKNode* start);
  EKNodeIterator(const EKNodeIterator& other);
  EKNodeIterator& operator=(const EKNodeIterator& other);
  ~EKNodeIterator();

  bool hasNextNode() const { return m_next != nullptr; }
  // The node at the position, which then moves on; null at the end.
  EKNode* nextNode();
  bool hasPreviousNode() const;
  // Moves back one node and returns it; null at the start.
  EKNode* previousNode();
  void setToStart();
  void setToEnd() { m_next = nullptr; }

private:
  EKNodeIterable* m_iterable = nullptr; // one reference held
  EKNode* m_next = nullptr;
};

} // namespace EKCommonNS
