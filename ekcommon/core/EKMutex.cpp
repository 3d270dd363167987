#include "ekcommon/core/EKMutex.h"

namespace EKCommonNS {

EKMutex::EKMutex() : m_lock(&s_libraryLock) {
  lock();
}

EKMutex::EKMutex(EKLock& lock) : m_lock(&lock) {
  this->lock();
}

EKMutex::EKMutex(EKLock* lock) : m_lock(lock) {
  this->lock();
}

EKMutex::~EKMutex() {
  unlock();
}

void EKMutex::lock() {
  if (m_lock)
    m_lock->enter();
}

void EKMutex::unlock() {
  if (m_lock)
    m_lock->leave();
}

int EKMutex::interlockedIncrement(int& value) {
  return __atomic_add_fetch(&value, 1, __ATOMIC_SEQ_CST);
}

int EKMutex::interlockedDecrement(int& value) {
  return __atomic_sub_fetch(&value, 1, __ATOMIC_SEQ_CST);
}

} // namespace EKCommonNS
