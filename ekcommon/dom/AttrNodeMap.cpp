#include "ekcommon/dom/internal/AttrNodeMap.h"

#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/internal/QName.h"

namespace EKCommonNS {

AttrNodeMap::~AttrNodeMap() {
  while (m_last)
    remove(m_last);
}

uint64_t AttrNodeMap::key(EKName first, EKName second) {
  return static_cast<uint64_t>(static_cast<uint32_t>(static_cast<EKNameEnum>(first))) << 32 |
         static_cast<uint32_t>(static_cast<EKNameEnum>(second));
}

EKAttr* AttrNodeMap::first() const { return m_last ? static_cast<EKAttr*>(m_last->m_next) : nullptr; }

EKNode* AttrNodeMap::getFirstNode() { return first(); }
EKNode* AttrNodeMap::getLastNode() { return m_last; }

EKNode* AttrNodeMap::getNextNode(EKNode* node) {
  return node && node != m_last && static_cast<EKAttr*>(node)->m_ownerElement == m_owner ? node->m_next : nullptr;
}

EKNode* AttrNodeMap::getPreviousNode(EKNode* node) { return node ? node->m_previous : nullptr; }

EKAttr* AttrNodeMap::item(int index) const {
  if (index < 0 || index >= m_count)
    return nullptr;
  EKNode* node = first();
  while (index-- > 0)
    node = node->m_next;
  return static_cast<EKAttr*>(node);
}

EKAttr* AttrNodeMap::getNamedItem(EKName qname) const {
  const QName name = QName::split(qname);
  if (m_index) {
    auto found = m_index->byQName.find(key(name.prefix, name.localName));
    return found == m_index->byQName.end() ? nullptr : found->second;
  }
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next) {
    if (node->getLocalName() == name.localName && node->getPrefix() == name.prefix)
      return static_cast<EKAttr*>(node);
  }
  return nullptr;
}

EKAttr* AttrNodeMap::getNamedItemNS(EKName namespaceUri, EKName localName) const {
  if (m_index) {
    auto found = m_index->byNamespace.find(key(namespaceUri, localName));
    return found == m_index->byNamespace.end() ? nullptr : found->second;
  }
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next) {
    if (node->getLocalName() == localName && node->getNamespaceUri() == namespaceUri)
      return static_cast<EKAttr*>(node);
  }
  return nullptr;
}

void AttrNodeMap::getNamedItemsLocal(EKName localName, std::vector<EKPtr<EKAttr>>* out) const {
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next) {
    if (node->getLocalName() == localName)
      out->emplace_back(static_cast<EKAttr*>(node));
  }
}

EKPtr<EKAttr> AttrNodeMap::removeNamedItem(EKName qname) {
  EKAttr* attr = getNamedItem(qname);
  return attr ? remove(attr) : nullptr;
}

EKPtr<EKAttr> AttrNodeMap::removeNamedItemNS(EKName namespaceUri, EKName localName) {
  EKAttr* attr = getNamedItemNS(namespaceUri, localName);
  return attr ? remove(attr) : nullptr;
}

EKPtr<EKAttr> AttrNodeMap::setNamedItem(EKAttr* attr) {
  if (!attr || attr->m_ownerElement)
    return nullptr;
  EKPtr<EKAttr> replaced;
  if (EKAttr* twin = getNamedItemNS(attr->getNamespaceUri(), attr->getLocalName()))
    replaced = remove(twin);
  append(attr);
  return replaced;
}

void AttrNodeMap::append(EKAttr* attr) {
  attr->addRef();
  attr->unholdDocument();
  attr->m_ownerElement = m_owner;
  if (!m_last) {
    attr->m_next = attr;
    attr->m_previous = nullptr;
  } else {
    attr->m_next = m_last->m_next;
    attr->m_previous = m_last;
    m_last->m_next = attr;
  }
  m_last = attr;
  ++m_count;
  if (m_index) {
    indexAttr(attr);
  } else if (m_count > INDEX_THRESHOLD) {
    m_index = std::make_unique<Index>();
    for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next)
      indexAttr(static_cast<EKAttr*>(node));
  }
}

EKPtr<EKAttr> AttrNodeMap::remove(EKAttr* attr) {
  if (m_index)
    unindexAttr(attr);
  EKNode* head = first();
  if (attr == m_last) {
    m_last = attr == head ? nullptr : static_cast<EKAttr*>(attr->m_previous);
    if (m_last)
      m_last->m_next = head;
  } else {
    if (attr->m_previous)
      attr->m_previous->m_next = attr->m_next;
    else
      m_last->m_next = attr->m_next;
    attr->m_next->m_previous = attr->m_previous;
  }
  attr->m_next = nullptr;
  attr->m_previous = nullptr;
  attr->m_ownerElement = nullptr;
  --m_count;
  attr->holdDocument();
  EKPtr<EKAttr> result(attr);
  attr->release(); // the map's reference now lives in the result
  return result;
}

void AttrNodeMap::forgetDocument() {
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next)
    node->m_ownerDocument = nullptr;
}

void AttrNodeMap::indexAttr(EKAttr* attr) {
  m_index->byNamespace.emplace(key(attr->getNamespaceUri(), attr->getLocalName()), attr);
  m_index->byQName.emplace(key(attr->getPrefix(), attr->getLocalName()), attr);
}

void AttrNodeMap::unindexAttr(EKAttr* attr) {
  auto byNamespace = m_index->byNamespace.find(key(attr->getNamespaceUri(), attr->getLocalName()));
  if (byNamespace != m_index->byNamespace.end() && byNamespace->second == attr)
    m_index->byNamespace.erase(byNamespace);
  auto byQName = m_index->byQName.find(key(attr->getPrefix(), attr->getLocalName()));
  if (byQName != m_index->byQName.end() && byQName->second == attr)
    m_index->byQName.erase(byQName);
}

} // namespace EKCommonNS
