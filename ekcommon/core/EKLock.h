// A recursive lock: the thread that holds it may take it again. Entered and left only through
// the scoped guard EKMutex.
#pragma once

#include "ekcommon/core/EKExport.h"

#include <mutex>

namespace EKCommonNS {

class EKCOMMON_API EKLock {
public:
  EKLock() = default;
  EKLock(const EKLock&) = delete;
  EKLock& operator=(const EKLock&) = delete;

private:
  friend class EKMutex;
  void enter() { m_mutex.lock(); }
  void leave() { m_mutex.unlock(); }

  std::recursive_mutex m_mutex;
};

} // namespace EKCommonNS
