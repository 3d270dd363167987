// A rotation by a multiple of a right angle (0, 90, 180 or 270 degrees), as page and text
// orientations are given: any angle is rounded to the nearest quarter turn.
#pragma once

#include "ekcommon/core/EKExport.h"

namespace EKCommonNS {

class EKValue;

class EKCOMMON_API EKOrientation {
public:
  EKOrientation() = default;
  // The angle rounded to the nearest multiple of 90 (halves away from zero) and brought into
  // [0, 360): -90 gives 270, 44 gives 0, 45 gives 90, 405 gives 90.
  EKOrientation(int degrees);
  // The value's integer value (0 for a value that has none), as EKOrientation(int).
  explicit EKOrientation(const EKValue& value);

  int getDegrees() const { return m_degrees; }
  // A quarter turn either way: 90 or 270.
  bool isPerpendicular() const { return m_degrees == 90 || m_degrees == 270; }
  bool operator==(const EKOrientation& other) const { return m_degrees == other.m_degrees; }
  bool operator!=(const EKOrientation& other) const { return m_degrees != other.m_degrees; }
  // The angle as an integer value.
  operator EKValue() const;

private:
  int m_degrees = 0;
};

} // namespace EKCommonNS
