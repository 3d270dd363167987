// Scoped guard over an EKLock: constructing it enters the lock, destroying it leaves it. The
// default constructor takes the library-wide lock that guards the process-wide caches.
#pragma once

#include "ekcommon/core/EKLock.h"

namespace EKCommonNS {

class EKCOMMON_API EKMutex {
public:
  // Enters the library-wide lock.
  EKMutex();
  explicit EKMutex(EKLock& lock);
  // A null lock means that nothing is locked.
  explicit EKMutex(EKLock* lock);
  ~EKMutex();
  EKMutex(const EKMutex&) = delete;
  // Copies only the lock pointer; locking happens only in construction and destruction.
  EKMutex& operator=(const EKMutex& other) {
    m_lock = other.m_lock;
    return *this;
  }

  // Atomic (sequentially consistent) increment and decrement of any integer; return the new value.
  static int interlockedIncrement(int& value);
  static int interlockedDecrement(int& value);

private:
  void lock();
  void unlock();

  EKLock* m_lock;
  static EKLock s_libraryLock;
};

} // namespace EKCommonNS
