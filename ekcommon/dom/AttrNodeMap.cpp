#include "ekcommon/dom/internal/AttrNodeMap.h"

#include "ekcommon/core/internal/EKArena.h"
#include "ekcommon/dom/EKAttr.h"
#include "ekcommon/dom/EKElement.h"
#include "ekcommon/xml/EKXmlUtil.h"

namespace EKCommonNS {

void* AttrNodeMap::operator new(size_t size) { return EKArena::allocate(size); }

void AttrNodeMap::operator delete(void* memory, size_t size) noexcept { EKArena::deallocate(memory, size); }

AttrNodeMap::~AttrNodeMap() {
  // The element is going: each attribute loses it, and dies unless someone holds it. An element
  // without document dies with its document, which its attributes then lose too.
  const bool documentGone = !m_owner->getOwnerDocument();
  EKNode* node = first();
  while (node) {
    EKNode* next = node == m_last ? nullptr : node->m_next;
    EKAttr* attr = static_cast<EKAttr*>(node);
    attr->m_next = attr->m_previous = nullptr;
    attr->m_ownerElement = nullptr;
    if (documentGone)
      attr->m_ownerDocument = nullptr;
    else
      attr->holdDocument(); // a detached attribute holds its document; a dying one gives it back
    if (attr->removeRef() <= 0)
      delete attr;
    node = next;
  }
}

size_t AttrNodeMap::slot(EKName first, EKName second, size_t mask) {
  const uint64_t key = static_cast<uint64_t>(static_cast<uint32_t>(static_cast<EKNameEnum>(first))) << 32 |
                       static_cast<uint32_t>(static_cast<EKNameEnum>(second));
  return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
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
  const EKName prefix = EKXmlUtil::getPrefixFromQName(qname);
  const EKName localName = EKXmlUtil::getLocalPartFromQName(qname);
  if (m_index) {
    const size_t mask = m_index->byQName.size() - 1;
    for (size_t i = slot(prefix, localName, mask);; i = (i + 1) & mask) {
      EKAttr* attr = m_index->byQName[i];
      if (!attr || (attr->getLocalName() == localName && attr->getPrefix() == prefix))
        return attr;
    }
  }
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next) {
    if (node->getLocalName() == localName && node->getPrefix() == prefix)
      return static_cast<EKAttr*>(node);
  }
  return nullptr;
}

EKAttr* AttrNodeMap::getNamedItemNS(EKName namespaceUri, EKName localName) const {
  if (m_index) {
    const size_t mask = m_index->byNamespace.size() - 1;
    for (size_t i = slot(namespaceUri, localName, mask);; i = (i + 1) & mask) {
      EKAttr* attr = m_index->byNamespace[i];
      if (!attr || (attr->getLocalName() == localName && attr->getNamespaceUri() == namespaceUri))
        return attr;
    }
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

void AttrNodeMap::append(EKAttr* attr, bool adopt) {
  if (!adopt)
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
  if (m_index && static_cast<size_t>(m_count) * 2 <= m_index->byNamespace.size())
    indexAttr(attr);
  else if (m_count > INDEX_THRESHOLD)
    rebuildIndex();
}

EKPtr<EKAttr> AttrNodeMap::remove(EKAttr* attr) {
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
  if (m_index)
    rebuildIndex();
  attr->holdDocument();
  EKPtr<EKAttr> result(attr);
  attr->release(); // the map's reference now lives in the result
  return result;
}

void AttrNodeMap::forgetDocument() {
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next)
    node->m_ownerDocument = nullptr;
}

void AttrNodeMap::rebuildIndex() {
  if (m_count <= INDEX_THRESHOLD) {
    m_index.reset();
    return;
  }
  size_t size = 64;
  while (size < static_cast<size_t>(m_count) * 4)
    size *= 2;
  if (!m_index)
    m_index = std::make_unique<Index>();
  m_index->byNamespace.assign(size, nullptr);
  m_index->byQName.assign(size, nullptr);
  for (EKNode* node = first(); node; node = node == m_last ? nullptr : node->m_next)
    indexAttr(static_cast<EKAttr*>(node));
}

void AttrNodeMap::indexAttr(EKAttr* attr) {
  const size_t mask = m_index->byNamespace.size() - 1;
  const EKName local = attr->getLocalName();
  size_t i = slot(attr->getNamespaceUri(), local, mask);
  while (m_index->byNamespace[i])
    i = (i + 1) & mask;
  m_index->byNamespace[i] = attr;
  i = slot(attr->getPrefix(), local, mask);
  while (m_index->byQName[i])
    i = (i + 1) & mask;
  m_index->byQName[i] = attr;
}

} // namespace EKCommonNS
