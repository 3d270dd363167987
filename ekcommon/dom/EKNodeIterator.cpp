#include "ekcommon/dom/EKNodeIterator.h"

#include "ekcommon/dom/EKNodeIterable.h"
#include "ekcommon/dom/internal/NodeLists.h"

#include <utility>

namespace EKCommonNS {

EKNodeIterator::EKNodeIterator(EKNodeIterable* iterable) : m_iterable(iterable) {
  if (m_iterable) {
    m_iterable->addRef();
    m_next = m_iterable->getFirstNode();
  }
}

EKNodeIterator::EKNodeIterator(EKNode* root, EKNode* start)
    : EKNodeIterator(root ? new TreeNodeList(root, TreeNodeList::ALL, EKName(), EKName()) : nullptr) {
  if (start)
    m_next = start;
}

EKNodeIterator::EKNodeIterator(const EKNodeIterator& other) : m_iterable(other.m_iterable), m_next(other.m_next) {
  if (m_iterable)
    m_iterable->addRef();
}

EKNodeIterator& EKNodeIterator::operator=(const EKNodeIterator& other) {
  EKNodeIterator copy(other);
  std::swap(m_iterable, copy.m_iterable);
  std::swap(m_next, copy.m_next);
  return *this;
}

EKNodeIterator::~EKNodeIterator() {
  if (m_iterable)
    m_iterable->release();
}

EKNode* EKNodeIterator::nextNode() {
  EKNode* node = m_next;
  if (node)
    m_next = m_iterable->getNextNode(node);
  return node;
}

bool EKNodeIterator::hasPreviousNode() const {
  if (!m_iterable)
    return false;
  return (m_next ? m_iterable->getPreviousNode(m_next) : m_iterable->getLastNode()) != nullptr;
}

EKNode* EKNodeIterator::previousNode() {
  if (!m_iterable)
    return nullptr;
  EKNode* previous = m_next ? m_iterable->getPreviousNode(m_next) : m_iterable->getLastNode();
  if (previous)
    m_next = previous;
  return previous;
}

void EKNodeIterator::setToStart() { m_next = m_iterable ? m_iterable->getFirstNode() : nullptr; }

} // namespace EKCommonNS
