#include "ekcommon/values/EKValueArray.h"

namespace EKCommonNS {

EKPtr<EKValueArray> EKValueArray::clone() const {
  EKPtr<EKValueArray> copy(new EKValueArray());
  copy->m_items.reserve(m_items.size());
  for (const EKValue& item : m_items)
    copy->m_items.push_back(item.clone());
  return copy;
}

} // namespace EKCommonNS
