#include "ekcommon/xml/EKNamespaceMap.h"

#include <iterator>

namespace EKCommonNS {

bool EKNamespaceMap::find(EKName prefix, EKName& uri) const {
  const auto it = m_map.find(prefix);
  if (it == m_map.end())
    return false;
  uri = it->second;
  return true;
}

bool EKNamespaceMap::at(int pos, EKName& prefix, EKName& uri) const {
  if (pos < 0 || pos >= size())
    return false;
  const auto it = std::next(m_map.begin(), pos);
  prefix = it->first;
  uri = it->second;
  return true;
}

} // namespace EKCommonNS
