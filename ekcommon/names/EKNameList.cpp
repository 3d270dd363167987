#include "ekcommon/names/EKNameList.h"

namespace EKCommonNS {

EKNameList::EKNameList(const EKNameEnum* terminated) : m_names(terminated) {
  if (terminated)
    while (terminated[m_count] != EKN_EMPTY)
      ++m_count;
}

int EKNameList::indexOf(EKName name) const {
  for (int i = 0; i < m_count; ++i)
    if (m_names[i] == name)
      return i;
  return -1;
}

} // namespace EKCommonNS
