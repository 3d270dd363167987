// Root of every shared library object: a cheap run-time type identity (a fixed 32-bit ID per
// class, tested with isA) that hosts use for down-casts instead of RTTI.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKTypeID.h"
#include "ekcommon/core/EKUnicode.h"

namespace EKCommonNS {

class EKCOMMON_API EKObjectBase {
public:
  virtual ~EKObjectBase() = default;
  virtual unsigned int getTypeID() const = 0;
  // True for this class's own ID and the ID of every ancestor up to EKObjectBase.
  virtual bool isA(unsigned int id) const { return id == EKTypeID::EKObjectBase; }
  // The class name without namespace, e.g. "EKNameTable".
  virtual UnicodeString getTypeName() const = 0;

  static constexpr unsigned int getStaticTypeID() { return EKTypeID::EKObjectBase; }
  static constexpr bool isTypeInChain(unsigned int id) { return id == EKTypeID::EKObjectBase; }

protected:
  EKObjectBase() = default;
  // Copying keeps nothing but the object's own type.
  EKObjectBase(const EKObjectBase&) {}
  EKObjectBase& operator=(const EKObjectBase&) { return *this; }
};

// Declares the type identity of a class derived (directly) from Parent; the ID comes from
// EKTypeID. The ancestor chain is folded at compile time, so isA() walks nothing at run time.
#define EK_TYPE_IDENTITY(Class, Parent)                                                         \
public:                                                                                        \
  static constexpr unsigned int getStaticTypeID() { return ::EKCommonNS::EKTypeID::Class; }    \
  static constexpr bool isTypeInChain(unsigned int id) {                                       \
    return id == ::EKCommonNS::EKTypeID::Class || Parent::isTypeInChain(id);                   \
  }                                                                                            \
  unsigned int getTypeID() const override { return ::EKCommonNS::EKTypeID::Class; }            \
  bool isA(unsigned int id) const override { return isTypeInChain(id); }                       \
  ::EKCommonNS::UnicodeString getTypeName() const override { return UNICODE_STRING_SIMPLE(#Class); }

// Down-cast through the type identity: the object as a Target, or null when it is not one.
template <class Target, class Source>
Target* ekCast(Source* object) {
  return object && object->isA(Target::getStaticTypeID()) ? static_cast<Target*>(object) : nullptr;
}

} // namespace EKCommonNS
