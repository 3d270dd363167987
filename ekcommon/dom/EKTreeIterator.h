// EKTreeIterator: walks a subtree without recursion, visiting each node before its children,
// after them, or both (an element then appears twice: at its pre and at its post visit).
//
//   for (EKTreeIterator it(root, EKTreeIterator::PRE_ORDER); EKNode* n = it.nextNode();)
//     visit(n);
#pragma once

#include "ekcommon/dom/EKNode.h"

namespace EKCommonNS {

class EKCOMMON_API EKTreeIterator {
public:
  enum TraversalOrder { PRE_ORDER = 1, POST_ORDER = 2, PRE_AND_POST_ORDER = 3 };

  EKTreeIterator() = default;
  // The root is not held: the caller keeps it alive while iterating.
  explicit EKTreeIterator(EKNode* root, TraversalOrder order = PRE_ORDER) : m_root(root), m_order(order) {}

  EKNode* nextNode();
  EKNode* previousNode();
  bool hasNextNode() const;
  bool hasPreviousNode() const;
  EKNode* getCurrentNode() const { return m_current; }
  void setCurrentNode(EKNode* node, bool atPostVisit) {
    m_current = node;
    m_postVisit = atPostVisit;
  }
  EKNode* getRootNode() const { return m_root; }
  bool atPreVisit() const { return !m_postVisit; }
  bool atPostVisit() const { return m_postVisit; }
  void setAtPreVisit() { m_postVisit = false; }
  void setAtPostVisit() { m_postVisit = true; }
  // Before the first node; after the last node.
  void setToStart() { setCurrentNode(nullptr, false); }
  void setToEnd() { setCurrentNode(nullptr, true); }
  TraversalOrder getTraversalOrder() const { return m_order; }
  void setTraversalOrder(TraversalOrder order) { m_order = order; }

  bool operator==(const EKTreeIterator& other) const {
    return m_root == other.m_root && m_current == other.m_current && m_postVisit == other.m_postVisit &&
           m_order == other.m_order;
  }
  bool operator!=(const EKTreeIterator& other) const { return !(*this == other); }

private:
  bool returnsPostVisitOfLeaf(const EKNode* node) const;

  EKNode* m_root = nullptr;
  EKNode* m_current = nullptr; // null: at the start, or at the end when m_postVisit is set
  bool m_postVisit = false;
  TraversalOrder m_order = PRE_ORDER;
};

} // namespace EKCommonNS
