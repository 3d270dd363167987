#include "ekcommon/dom/internal/NodeLists.h"

namespace EKCommonNS {

namespace {

const EKName kStar(UNICODE_STRING_SIMPLE("*"));

// Document order inside `root`, without recursion.
EKNode* followingInTree(EKNode* root, EKNode* node) {
  if (EKNode* child = node->getFirstChild())
    return child;
  for (; node && node != root; node = node->getParentNode()) {
    if (EKNode* next = node->getNextSibling())
      return next;
  }
  return nullptr;
}

EKNode* deepestLast(EKNode* node) {
  while (EKNode* last = node->getLastChild())
    node = last;
  return node;
}

EKNode* precedingInTree(EKNode* root, EKNode* node) {
  if (node == root)
    return nullptr;
  if (EKNode* previous = node->getPreviousSibling())
    return deepestLast(previous);
  EKNode* parent = node->getParentNode();
  return parent == root ? nullptr : parent;
}

} // namespace

TreeNodeList::TreeNodeList(EKNode* root, Filter filter, EKName namespaceUri, EKName name)
    : m_root(root), m_filter(filter), m_namespaceUri(namespaceUri), m_name(name),
      m_anyNamespace(namespaceUri == kStar), m_anyName(name == kStar) {}

bool TreeNodeList::accepts(EKNode* node) const {
  switch (m_filter) {
  case ALL:
    return true;
  case BY_NAME:
    return node->isElementNode() && (m_anyName || node->getLocalName() == m_name);
  case BY_NAMESPACE_AND_NAME:
    return node->isElementNode() && (m_anyName || node->getLocalName() == m_name) &&
           (m_anyNamespace || node->getNamespaceUri() == m_namespaceUri);
  }
  return false;
}

EKNode* TreeNodeList::getNextNode(EKNode* node) {
  do
    node = followingInTree(m_root, node);
  while (node && !accepts(node));
  return node;
}

EKNode* TreeNodeList::getPreviousNode(EKNode* node) {
  do
    node = precedingInTree(m_root, node);
  while (node && !accepts(node));
  return node;
}

EKNode* TreeNodeList::getLastNode() {
  EKNode* last = deepestLast(m_root);
  if (last == m_root)
    return nullptr;
  return accepts(last) ? last : getPreviousNode(last);
}

} // namespace EKCommonNS
