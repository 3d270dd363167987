// Intrusive, atomically reference-counted base of every shared heap object. EKPtr holds it; the
// release that takes the count to zero deletes the object.
#pragma once

#include "ekcommon/core/EKObjectBase.h"

#include <atomic>

namespace EKCommonNS {

class EKCOMMON_API EKRCObject : public EKObjectBase {
public:
  static constexpr unsigned int getStaticTypeID() { return EKTypeID::EKRCObject; }
  static constexpr bool isTypeInChain(unsigned int id) {
    return id == EKTypeID::EKRCObject || EKObjectBase::isTypeInChain(id);
  }
  bool isA(unsigned int id) const override { return isTypeInChain(id); }

  // Increments the count and returns the new value.
  int addRef() const;
  // Decrements the count and returns the new value; at 0 or below the object is deleted, and
  // the caller must not touch it again.
  int release() const;
  // Decrements and returns the new value but never deletes (hand-over without destruction).
  int removeRef() const;
  int getRefCount() const;

  // Kept for interface compatibility with hosts' debugging hooks; they do nothing.
  static void DebugPrintInstanceCount(const char* label);
  static void DebugPrintInstanceId(const char* label, int id);

protected:
  EKRCObject() = default;
  // A copy is a new object: it starts with no references.
  EKRCObject(const EKRCObject& other) : EKObjectBase(other) {}
  EKRCObject& operator=(const EKRCObject&) { return *this; }
  ~EKRCObject() override = default;

  void clearRefCount();
  // Non-atomic decrement, for use while the object is not yet shared.
  int decrementRefCount();

private:
  mutable std::atomic<int> m_refCount{0};
};

} // namespace EKCommonNS
