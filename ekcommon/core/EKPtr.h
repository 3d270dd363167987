// Owning smart pointer for EKRCObject-derived objects: taking a raw pointer adds a reference,
// dropping one releases it. Copies may be made and dropped on several threads.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace EKCommonNS {

template <class T>
class EKPtr {
public:
  EKPtr() noexcept = default;
  EKPtr(std::nullptr_t) noexcept {}
  EKPtr(T* object) : m_object(object) {
    if (m_object)
      m_object->addRef();
  }
  EKPtr(const EKPtr& other) : EKPtr(other.m_object) {}
  EKPtr(EKPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
  EKPtr(const EKPtr<U>& other) : EKPtr(other.get()) {}
  template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
  EKPtr(EKPtr<U>&& other) noexcept : m_object(other.detach()) {}

  ~EKPtr() {
    if (m_object)
      m_object->release();
  }

  EKPtr& operator=(T* object) {
    if (object)
      object->addRef();
    T* previous = std::exchange(m_object, object);
    if (previous)
      previous->release();
    return *this;
  }
  EKPtr& operator=(const EKPtr& other) { return *this = other.m_object; }
  EKPtr& operator=(EKPtr&& other) noexcept {
    if (this != &other) {
      T* previous = std::exchange(m_object, std::exchange(other.m_object, nullptr));
      if (previous)
        previous->release();
    }
    return *this;
  }
  EKPtr& operator=(std::nullptr_t) { return *this = static_cast<T*>(nullptr); }
  // From a pointer to a derived class (an EKPtr<EKElement> into an EKPtr<EKNode>).
  template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
  EKPtr& operator=(const EKPtr<U>& other) {
    return *this = static_cast<T*>(other.get());
  }
  template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
  EKPtr& operator=(EKPtr<U>&& other) noexcept {
    T* previous = std::exchange(m_object, static_cast<T*>(other.detach()));
    if (previous)
      previous->release();
    return *this;
  }

  T* get() const noexcept { return m_object; }
  T* operator->() const noexcept { return m_object; }
  T& operator*() const noexcept { return *m_object; }
  operator T*() const noexcept { return m_object; }

  // Gives up the held object without releasing it; the caller takes over that reference.
  T* detach() noexcept { return std::exchange(m_object, nullptr); }

private:
  T* m_object = nullptr;
};

} // namespace EKCommonNS
