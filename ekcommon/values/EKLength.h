// A length as the formatter finally uses it: one float in points. NaN stands for "auto" and is
// also what every failed conversion gives. Conversions use float32 factors and arithmetic, so
// results agree bit for bit wherever lengths are computed.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/values/EKUnitType.h"

#include <cmath>
#include <type_traits>

namespace EKCommonNS {

class EKValue;

class EKCOMMON_API EKLength {
public:
  EKLength() = default;
  EKLength(int points) : m_points(static_cast<float>(points)) {}
  EKLength(unsigned int points) : m_points(static_cast<float>(points)) {}
  EKLength(float points) : m_points(points) {}
  EKLength(double points) : m_points(static_cast<float>(points)) {}
  // `value` in `unit`, converted to points; auto when `unit` is not an absolute length.
  EKLength(float value, EKUnitType unit);
  // The value's length (EKValue::getLengthValue).
  explicit EKLength(const EKValue& value);

  operator float() const { return m_points; }

  // Points per unit for an absolute length unit; 0 for every other unit.
  static float getUnitFactor(EKUnitType unit);

  // The length in `unit`; NaN for an auto length or a unit that is not an absolute length.
  float getRealValue(EKUnitType unit) const;
  // getRealValue(unit) + 0.5 truncated toward zero (so -1.5 gives -1); 0 when that is NaN.
  // Saturates at the int range.
  int getIntegerValue(EKUnitType unit) const;
  // Device pixels at `dpi`, rounded half away from zero; 0 for an auto length.
  int getPixelCount(float dpi) const;

  template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value>>
  EKLength operator+(T x) const { return EKLength(m_points + x); }
  template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value>>
  EKLength operator-(T x) const { return EKLength(m_points - x); }
  template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value>>
  EKLength operator*(T x) const { return EKLength(m_points * x); }
  template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value>>
  EKLength operator/(T x) const { return EKLength(m_points / x); }
  EKLength operator-() const { return EKLength(-m_points); }
  EKLength operator+() const { return *this; }

  // The compound assignments leave an auto length auto.
  EKLength& operator*=(float x) { return update(m_points * x); }
  EKLength& operator/=(float x) { return update(m_points / x); }
  EKLength& operator+=(float x) { return update(m_points + x); }
  EKLength& operator-=(float x) { return update(m_points - x); }
  EKLength& operator+=(EKLength x) { return update(m_points + x.m_points); }
  EKLength& operator-=(EKLength x) { return update(m_points - x.m_points); }

  // Equality in which two auto lengths are equal.
  bool eq(EKLength other) const {
    return (isAuto() && other.isAuto()) || m_points == other.m_points;
  }
  bool isAlmostEqual(EKLength other, float eps) const {
    const float d = m_points - other.m_points;
    return -eps <= d && d <= eps;
  }
  bool isAlmostZero(float eps) const { return -eps <= m_points && m_points <= eps; }
  bool isAlmostZeroOrNegative(float eps) const { return m_points <= eps; }
  bool isAlmostZeroOrPositive(float eps) const { return m_points >= -eps; }
  bool isZero() const { return m_points == 0; }
  bool isPositive() const { return m_points > 0; }
  bool isNegative() const { return m_points < 0; }
  bool isAuto() const { return std::isnan(m_points); }
  // Beyond +-100000 mm: no page is that large, so such a length is a mistake of the input.
  bool isInvalid() const;

private:
  EKLength& update(float points) {
    if (!isAuto())
      m_points = points;
    return *this;
  }

  float m_points = 0;
};

} // namespace EKCommonNS
