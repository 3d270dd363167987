// The attribute map of an element: the attributes in insertion order, linked in a ring through
// their sibling links, with hash indexes by (namespace, local name) and by (prefix, local name)
// once an element has more attributes than a linear search handles well.
#pragma once

#include "ekcommon/dom/EKNamedNodeMap.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace EKCommonNS {

class AttrNodeMap : public EKNamedNodeMap {
  EK_TYPE_IDENTITY(AttrNodeMap, EKNamedNodeMap)

public:
  explicit AttrNodeMap(EKElement* owner) : m_owner(owner) {}
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

  // Appends an attribute that belongs to no element and has no namespace twin here.
  void append(EKAttr* attr);
  EKPtr<EKAttr> remove(EKAttr* attr);
  // The owner element's document is being destroyed: the attributes forget it.
  void forgetDocument();

private:
  struct Index {
    std::unordered_map<uint64_t, EKAttr*> byNamespace;
    std::unordered_map<uint64_t, EKAttr*> byQName;
  };
  static constexpr int INDEX_THRESHOLD = 8;

  static uint64_t key(EKName first, EKName second);
  void indexAttr(EKAttr* attr);
  void unindexAttr(EKAttr* attr);
  EKAttr* first() const;

  EKElement* m_owner;
  EKAttr* m_last = nullptr;
  int m_count = 0;
  std::unique_ptr<Index> m_index;
};

} // namespace EKCommonNS
