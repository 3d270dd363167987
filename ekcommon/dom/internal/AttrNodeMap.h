// The attribute map of an element: the attributes in insertion order, linked in a ring through
// their sibling links. Lookups search the ring; an element with more attributes than a short
// search handles well also gets open-addressing hash indexes by (namespace, local name) and by
// (prefix, local name), which cost one allocation each.
#pragma once

#include "ekcommon/dom/EKNamedNodeMap.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace EKCommonNS {

class AttrNodeMap : public EKNamedNodeMap {
  EK_TYPE_IDENTITY(AttrNodeMap, EKNamedNodeMap)

public:
  explicit AttrNodeMap(EKElement* owner) : m_owner(owner) {}
  // From the loading document's arena, like the nodes.
  static void* operator new(size_t size);
  static void operator delete(void* memory, size_t size) noexcept;
  ~AttrNodeMap() override;
  AttrNodeMap(const AttrNodeMap&) = delete;
  AttrNodeMap& operator=(const AttrNodeMap&) = delete;

  EKNode* getFirstNode() override;
  EKNode* getLastNode() override;
  EKNode* getNextNode(EKNode* node) override;
  EKNode* getPreviousNode(EKNode* node) override;

  int getLength() const override { return m_count; }
  EKAttr* item(int index) const override;
  EKAttr* getNamedItem(EKName qname) const override;
  EKAttr* getNamedItemNS(EKName namespaceUri, EKName localName) const override;
  void getNamedItemsLocal(EKName localName, std::vector<EKPtr<EKAttr>>* out) const override;
  EKPtr<EKAttr> removeNamedItem(EKName qname) override;
  EKPtr<EKAttr> removeNamedItemNS(EKName namespaceUri, EKName localName) override;
  EKPtr<EKAttr> setNamedItem(EKAttr* attr) override;

  // Appends an attribute that belongs to no element and has no namespace twin here. The map
  // takes a reference of its own, or with `adopt` the caller's.
  void append(EKAttr* attr, bool adopt = false);
  EKPtr<EKAttr> remove(EKAttr* attr);
  // The owner element's document is being destroyed: the attributes forget it.
  void forgetDocument();

private:
  // Two tables of the same power-of-two size, at most half full; null marks a free slot.
  struct Index {
    std::vector<EKAttr*> byNamespace;
    std::vector<EKAttr*> byQName;
  };
  static constexpr int INDEX_THRESHOLD = 24;

  static size_t slot(EKName first, EKName second, size_t mask);
  // Builds the index afresh for the attributes now in the map (also after a removal).
  void rebuildIndex();
  void indexAttr(EKAttr* attr);
  EKAttr* first() const;

  EKElement* m_owner;
  EKAttr* m_last = nullptr;
  int m_count = 0;
  std::unique_ptr<Index> m_index;
};

} // namespace EKCommonNS
