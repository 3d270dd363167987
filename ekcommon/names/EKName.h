// An interned name: one 32-bit number standing for one string, compared as a number. 0 is the
// empty name, 1 to 3206 the built-in vocabulary, and other strings get numbers on first use.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/core/EKUnicode.h"
#include "ekcommon/names/EKNameEnum.h"

#include <functional>

namespace EKCommonNS {

class EKValue;

class EKCOMMON_API EKName {
public:
  EKName() = default;
  EKName(EKNameEnum number) : m_number(number) {}
  // Interns the string in the shared name table.
  explicit EKName(const UnicodeString& string);
  // The name of a name value; for any other value its printed form, interned.
  explicit EKName(const EKValue& value);

  bool operator==(EKName other) const { return m_number == other.m_number; }
  bool operator!=(EKName other) const { return m_number != other.m_number; }
  bool operator==(EKNameEnum number) const { return m_number == number; }
  bool operator!=(EKNameEnum number) const { return m_number != number; }
  // Orders by number, not alphabetically: built-in names sort before run-time names.
  bool operator<(EKName other) const { return m_number < other.m_number; }
  operator EKNameEnum() const { return m_number; }

  const UnicodeString& toString() const;
  const UnicodeString& toEKString() const { return toString(); }
  operator const UnicodeString&() const { return toString(); }

  bool isEmpty() const { return m_number == EKN_EMPTY; }
  bool isBuiltin() const { return m_number <= EKN_BUILTIN_LAST; }
  // True when every character lies in U+0020..U+0040 or U+005B..U+007E: no upper-case ASCII
  // letter, no control character and nothing beyond ASCII.
  bool isLowerName() const;
  UnicodeString toLowerString() const;
  EKName lowerName() const;

  // True for the CSS-wide keywords inherit, default, initial and unset.
  static bool isInheritEtc(EKName name);
  // Interns "-" + base (or "N") + the number the next new name would get, e.g. "-x3207".
  static EKName generateID(const UnicodeString& base);

private:
  EKNameEnum m_number = EKN_EMPTY;
};

} // namespace EKCommonNS

namespace std {
template <>
struct hash<EKCommonNS::EKName> {
  size_t operator()(EKCommonNS::EKName name) const noexcept {
    return hash<int32_t>()(static_cast<EKCommonNS::EKNameEnum>(name));
  }
};
} // namespace std
