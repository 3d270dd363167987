#include "ekcommon/names/EKNameListInstance.h"

namespace EKCommonNS {

EKNameListInstance::EKNameListInstance(int count)
    : m_storage(count > 0 ? std::make_unique<EKNameEnum[]>(static_cast<size_t>(count)) : nullptr) {
  m_names = m_storage.get();
  m_count = count > 0 ? count : 0;
}

void EKNameListInstance::setItem(EKName name, int index) {
  if (index >= 0 && index < m_count)
    m_storage[static_cast<size_t>(index)] = name;
}

} // namespace EKCommonNS
