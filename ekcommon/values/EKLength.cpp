#include "ekcommon/values/EKLength.h"

#include "ekcommon/values/EKValue.h"
#include "ekcommon/values/internal/EKSaturate.h"

#include <limits>

namespace EKCommonNS {

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

} // namespace

EKLength::EKLength(float value, EKUnitType unit) {
  const float factor = getUnitFactor(unit);
  m_points = factor == 0 ? NaN : value * factor;
}

EKLength::EKLength(const EKValue& value) : EKLength(value.getLengthValue()) {}

float EKLength::getUnitFactor(EKUnitType unit) {
  switch (unit) {
  case UNIT_CM: return 28.3464565f;
  case UNIT_MM: return 2.83464575f;
  case UNIT_IN: return 72.0f;
  case UNIT_PT: return 1.0f;
  case UNIT_PC: return 12.0f;
  case UNIT_JPT: return 0x1.FE0018p-1f; // 0.3514 mm, exactly the float bits 0x3F7F000C
  case UNIT_Q: return 0.708661437f;
  case UNIT_DD: return 1.06775999f;
  case UNIT_CC: return 12.8131199f;
  case UNIT_TWIP: return 0.05f;
  case UNIT_EMU: return 7.87401586e-05f;
  case UNIT_PI: return 12.0f;
  default: return 0.0f;
  }
}

float EKLength::getRealValue(EKUnitType unit) const {
  const float factor = getUnitFactor(unit);
  return factor == 0 ? NaN : m_points / factor;
}

int EKLength::getIntegerValue(EKUnitType unit) const {
  return saturatingInt(getRealValue(unit) + 0.5f);
}

int EKLength::getPixelCount(float dpi) const {
  const float p = dpi * m_points / 72.0f;
  return saturatingInt(p >= 0 ? p + 0.5f : p - 0.5f);
}

bool EKLength::isInvalid() const {
  const float limit = 100000.0f * getUnitFactor(UNIT_MM);
  return m_points < -limit || m_points > limit;
}

} // namespace EKCommonNS
