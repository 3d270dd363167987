// The live node lists the DOM hands out: a node's children, and a node's descendants in
// document order, optionally filtered to elements by name or by namespace and name.
#pragma once

#include "ekcommon/dom/EKNodeList.h"

namespace EKCommonNS {

class ChildNodeList : public EKNodeList {
  EK_TYPE_IDENTITY(ChildNodeList, EKNodeList)

public:
  explicit ChildNodeList(EKNode* node) : m_node(node) {}

  EKNode* getFirstNode() override { return m_node->getFirstChild(); }
  EKNode* getLastNode() override { return m_node->getLastChild(); }
  EKNode* getNextNode(EKNode* node) override { return node->getNextSibling(); }
  EKNode* getPreviousNode(EKNode* node) override { return node->getPreviousSibling(); }

private:
  EKPtr<EKNode> m_node;
};

class TreeNodeList : public EKNodeList {
  EK_TYPE_IDENTITY(TreeNodeList, EKNodeList)

public:
  enum Filter { ALL, BY_NAME, BY_NAMESPACE_AND_NAME };

  // With BY_NAME the name "*" matches every element; with BY_NAMESPACE_AND_NAME "*" matches any
  // namespace or any name.
  TreeNodeList(EKNode* root, Filter filter, EKName namespaceUri, EKName name);

  EKNode* getFirstNode() override { return getNextNode(m_root); }
  EKNode* getLastNode() override;
  EKNode* getNextNode(EKNode* node) override;
  EKNode* getPreviousNode(EKNode* node) override;

private:
  bool accepts(EKNode* node) const;

  EKPtr<EKNode> m_root;
  Filter m_filter;
  EKName m_namespaceUri;
  EKName m_name;
  bool m_anyNamespace;
  bool m_anyName;
};

} // namespace EKCommonNS
