// A value together with its name, as stored in a compound: the name lives in the value's own tag,
// so a stored item is at once an EKValue and an EKNamedValue.
#pragma once

#include "ekcommon/values/EKValue.h"

#include <utility>

namespace EKCommonNS {

class EKCOMMON_API EKNamedValue : public EKValue {
public:
  // A null value with the empty name.
  static const EKNamedValue NULL_VALUE;

  constexpr EKNamedValue() noexcept = default;
  EKNamedValue(const EKValue& value, EKName name) : EKValue(value) { setTagName(name); }
  EKNamedValue(EKValue&& value, EKName name) noexcept : EKValue(std::move(value)) {
    setTagName(name);
  }
  EKNamedValue(const EKNamedValue&) = default;
  EKNamedValue(EKNamedValue&&) noexcept = default;
  EKNamedValue& operator=(const EKNamedValue&) = default;
  EKNamedValue& operator=(EKNamedValue&&) noexcept = default;

  EKName getName() const { return getTagName(); }
  // The value without its name.
  EKValue getValue() const;
  void setName(EKName name) { setTagName(name); }
  // Replaces the value and keeps the name.
  void setValue(const EKValue& value);
};

} // namespace EKCommonNS
