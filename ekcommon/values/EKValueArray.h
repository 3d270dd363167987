// The ordered items of an array value (a space-separated list such as "1pt 2pt"), shared by the
// values that hold it.
#pragma once

#include "ekcommon/core/EKPtr.h"
#include "ekcommon/core/EKRCObject.h"
#include "ekcommon/values/EKValue.h"

#include <vector>

namespace EKCommonNS {

class EKCOMMON_API EKValueArray : public EKRCObject {
  EK_TYPE_IDENTITY(EKValueArray, EKRCObject)

public:
  EKValueArray() = default;

  void addItem(const EKValue& item) { m_items.push_back(item); }
  void clear() { m_items.clear(); }
  int getCount() const { return static_cast<int>(m_items.size()); }
  // A copy of item i; null outside 0..count-1.
  EKValue item(int i) const { return i >= 0 && i < getCount() ? m_items[static_cast<size_t>(i)] : EKValue(); }
  EKValue getNthItem(int i) const { return item(i); }
  // The array with every item cloned (nested containers included).
  EKPtr<EKValueArray> clone() const;

  // Direct access for the library's own traversals; i must lie in 0..count-1.
  const EKValue& at(int i) const { return m_items[static_cast<size_t>(i)]; }

private:
  std::vector<EKValue> m_items;
};

} // namespace EKCommonNS
