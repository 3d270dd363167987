#include "ekcommon/dom/EKTreeIterator.h"

namespace EKCommonNS {

// A leaf's post visit follows its pre visit directly; it is a step of its own for post-order
// and for an element in the both-ways order.
bool EKTreeIterator::returnsPostVisitOfLeaf(const EKNode* node) const {
  return m_order == POST_ORDER || (m_order == PRE_AND_POST_ORDER && node->isElementNode());
}

EKNode* EKTreeIterator::nextNode() {
  if (!m_current) {
    if (!m_root || m_postVisit)
      return nullptr;
    m_current = m_root;
    if (m_order != POST_ORDER)
      return m_current;
  }
  for (;;) {
    if (!m_postVisit) {
      if (EKNode* child = m_current->getFirstChild()) {
        m_current = child;
        if (m_order != POST_ORDER)
          return m_current;
        continue;
      }
      m_postVisit = true;
      if (returnsPostVisitOfLeaf(m_current))
        return m_current;
      continue;
    }
    if (m_current == m_root) {
      m_current = nullptr; // the end: m_postVisit stays set
      return nullptr;
    }
    if (EKNode* next = m_current->getNextSibling()) {
      m_current = next;
      m_postVisit = false;
      if (m_order != POST_ORDER)
        return m_current;
      continue;
    }
    m_current = m_current->getParentNode();
    if (m_order != PRE_ORDER)
      return m_current;
  }
}

EKNode* EKTreeIterator::previousNode() {
  if (!m_current) {
    if (!m_root || !m_postVisit)
      return nullptr;
    m_current = m_root;
    if (m_order != PRE_ORDER)
      return m_current;
  }
  for (;;) {
    if (m_postVisit) {
      if (EKNode* child = m_current->getLastChild()) {
        m_current = child;
        if (m_order != PRE_ORDER)
          return m_current;
        continue;
      }
      m_postVisit = false;
      if (m_order == PRE_ORDER || (m_order == PRE_AND_POST_ORDER && m_current->isElementNode()))
        return m_current;
      continue;
    }
    if (m_current == m_root) {
      m_current = nullptr; // the start
      return nullptr;
    }
    if (EKNode* previous = m_current->getPreviousSibling()) {
      m_current = previous;
      m_postVisit = true;
      if (m_order != PRE_ORDER)
        return m_current;
      continue;
    }
    m_current = m_current->getParentNode();
    if (m_order != POST_ORDER)
      return m_current;
  }
}

bool EKTreeIterator::hasNextNode() const {
  EKTreeIterator probe(*this);
  return probe.nextNode() != nullptr;
}

bool EKTreeIterator::hasPreviousNode() const {
  EKTreeIterator probe(*this);
  return probe.previousNode() != nullptr;
}

} // namespace EKCommonNS
