#include "ekcommon/names/EKName.h"

#include "ekcommon/core/EKMutex.h"
#include "ekcommon/names/EKNameTable.h"

namespace EKCommonNS {

EKName::EKName(const UnicodeString& string) : m_number(EKNameTable::getSharedNameEnum(string)) {}

const UnicodeString& EKName::toString() const {
  return EKNameTable::getSharedNameString(m_number);
}

bool EKName::isLowerName() const {
  const UnicodeString& s = toString();
  const int32_t length = s.length();
  for (int32_t i = 0; i < length; ++i) {
    const char16_t c = s.charAt(i);
    if (!((c >= 0x20 && c <= 0x40) || (c >= 0x5B && c <= 0x7E)))
      return false;
  }
  return true;
}

UnicodeString EKName::toLowerString() const {
  UnicodeString s = toString();
  if (!isLowerName())
    s.toLower();
  return s;
}

EKName EKName::lowerName() const {
  return isLowerName() ? *this : EKName(toLowerString());
}

bool EKName::isInheritEtc(EKName name) {
  switch (name.m_number) {
  case EKN_inherit:
  case EKN_default:
  case EKN_initial:
  case EKN_unset:
    return true;
  default:
    return false;
  }
}

EKName EKName::generateID(const UnicodeString& base) {
  // Hold the table lock so that the number read is the one the new name receives.
  EKMutex guard(EKNameTable::s_sharedNameTableLock);
  UnicodeString id(u'-');
  id.append(base.isEmpty() ? UnicodeString(u'N') : base);
  id.append(UnicodeString::fromUTF8(std::to_string(EKNameTable::getSharedNameTable()->getNameLast() + 1)));
  return EKName(EKNameTable::getSharedNameEnum(id));
}

} // namespace EKCommonNS
