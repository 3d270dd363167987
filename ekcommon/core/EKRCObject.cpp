#include "ekcommon/core/EKRCObject.h"

namespace EKCommonNS {

int EKRCObject::addRef() const {
  return m_refCount.fetch_add(1, std::memory_order_seq_cst) + 1;
}

int EKRCObject::release() const {
  const int count = m_refCount.fetch_sub(1, std::memory_order_seq_cst) - 1;
  if (count <= 0)
    delete this;
  return count;
}

int EKRCObject::removeRef() const {
  return m_refCount.fetch_sub(1, std::memory_order_seq_cst) - 1;
}

int EKRCObject::getRefCount() const {
  return m_refCount.load(std::memory_order_seq_cst);
}

void EKRCObject::clearRefCount() {
  m_refCount.store(0, std::memory_order_relaxed);
}

int EKRCObject::decrementRefCount() {
  const int count = m_refCount.load(std::memory_order_relaxed) - 1;
  m_refCount.store(count, std::memory_order_relaxed);
  return count;
}

void EKRCObject::DebugPrintInstanceCount(const char*) {}

void EKRCObject::DebugPrintInstanceId(const char*, int) {}

} // namespace EKCommonNS
