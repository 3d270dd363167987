// The named items of a compound value (the parts of a length range, the channels of a colour),
// shared by the values that hold it. Iteration follows insertion order; replacing an item keeps
// its place.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/values/EKNamedValue.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKNamedValueMap : public EKRCObject {
  EK_TYPE_IDENTITY(EKNamedValueMap, EKRCObject)

public:
  EKNamedValueMap() = default;
  EKNamedValueMap(const EKNamedValueMap&) = delete;
  EKNamedValueMap& operator=(const EKNamedValueMap&) = delete;
  ~EKNamedValueMap() override;

  // Stores the item, replacing one of the same name in place.
  void setNamedItem(EKName name, const EKValue& value);
  void setNamedItem(const EKNamedValue& item) { setNamedItem(item.getName(), item); }
  // The item, or a null value named `name` when absent.
  EKNamedValue getNamedItem(EKName name) const;
  // Copies the item into `out` and returns true when present; leaves `out` alone otherwise.
  bool getNamedItemFast(EKName name, EKValue& out) const;
  bool hasNamedItem(EKName name) const { return find(name) >= 0; }
  // True when an item was removed.
  bool removeNamedItem(EKName name);
  // Removes the item only when its value == `value`.
  bool removeNamedItem(EKName name, const EKValue& value);
  int getCount() const { return static_cast<int>(m_items.size()); }
  // The i-th item in iteration order; a null value outside the range.
  EKNamedValue item(int i) const {
    return i >= 0 && i < getCount() ? m_items[static_cast<size_t>(i)] : EKNamedValue();
  }
  // The map with every item cloned (nested containers included).
  EKPtr<EKNamedValueMap> clone() const;

  // Direct access for iteration; i must lie in 0..count-1.
  const EKNamedValue& at(int i) const { return m_items[static_cast<size_t>(i)]; }

private:
  int find(EKName name) const;
  void rebuildIndex();

  std::vector<EKNamedValue> m_items;
  // Full names of the items (the tag of a value keeps only 23 bits of a name).
  std::vector<EKNameEnum> m_names;
  // Name to position, only once the map is too large for a linear scan.
  std::unique_ptr<std::unordered_map<EKNameEnum, int>> m_index;
};

// Walks the items of a map in iteration order. The map must outlive the iterator and must not
// change while it is used.
class EKCOMMON_API EKNamedValueMapIterator {
public:
  explicit EKNamedValueMapIterator(const EKNamedValueMap* map) : m_map(map) {}
  bool hasNext() const { return m_map && m_next < m_map->getCount(); }
  // The next item; call only when hasNext().
  const EKNamedValue& next() { return m_map->at(m_next++); }
  void setToStart() { m_next = 0; }

private:
  const EKNamedValueMap* m_map;
  int m_next = 0;
};

} // namespace EKCommonNS
