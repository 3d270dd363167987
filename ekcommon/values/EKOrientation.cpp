#include "ekcommon/values/EKOrientation.h"

#include "ekcommon/values/EKValue.h"

#include <cstdint>

namespace EKCommonNS {

EKOrientation::EKOrientation(int degrees) {
  // In 64 bits so that angles near the int range do not overflow on rounding.
  const int64_t d = degrees;
  const int64_t quarters = d >= 0 ? (d + 45) / 90 : (d - 45) / 90;
  m_degrees = static_cast<int>(quarters & 3) * 90;
}

EKOrientation::EKOrientation(const EKValue& value) : EKOrientation(value.getIntegerValue(0)) {}

EKOrientation::operator EKValue() const { return EKValue(m_degrees); }

} // namespace EKCommonNS
