// A 2-D affine matrix (a, b, c, d, e, f) mapping (x, y) to (a*x + c*y + e, b*x + d*y + f), as
// layout uses for page and block rotations, mirrors and offsets. Arithmetic is in float, except
// where a function says otherwise.
#pragma once

#include "ekcommon/core/EKExport.h"
#include "ekcommon/values/EKLength.h"
#include "ekcommon/values/EKPointT.h"

namespace EKCommonNS {

class EKCOMMON_API EKTransMatrix {
public:
  // The identity.
  EKTransMatrix() = default;
  EKTransMatrix(float a, float b, float c, float d) : m_a(a), m_b(b), m_c(c), m_d(d) {}
  EKTransMatrix(float a, float b, float c, float d, float e, float f)
      : m_a(a), m_b(b), m_c(c), m_d(d), m_e(e), m_f(f) {}

  // Makes the matrix the identity, or all zero.
  void init() { *this = EKTransMatrix(); }
  void zero() { *this = EKTransMatrix(0, 0, 0, 0, 0, 0); }

  float getA() const { return m_a; }
  float getB() const { return m_b; }
  float getC() const { return m_c; }
  float getD() const { return m_d; }
  float getE() const { return m_e; }
  float getF() const { return m_f; }

  // This mapping followed by m's.
  EKTransMatrix operator*(const EKTransMatrix& m) const;
  // This becomes m followed by this.
  void mulLeft(const EKTransMatrix& m) { *this = m * *this; }
  // This becomes this followed by m.
  void mulRight(const EKTransMatrix& m) { *this = *this * m; }

  // All six coefficients equal.
  bool operator==(const EKTransMatrix& m) const;
  bool operator!=(const EKTransMatrix& m) const { return !(*this == m); }
  bool isUnitMatrix() const { return *this == EKTransMatrix(); }

  // The mapped point.
  EKPointT<float> translate(const EKPointT<float>& point) const { return translate(point.x, point.y); }
  EKPointT<float> translate(float x, float y) const;
  // Lengths in points.
  EKPointT<EKLength> translate(EKLength x, EKLength y) const;
  // In double arithmetic on the float coefficients.
  EKPointT<double> translateD(double x, double y) const;

  // The angles (radians) of the mapped x axis, atan2(b, a), and of the mapped y axis, atan2(d, c).
  float getAngleX() const;
  float getAngleY() const;

  // Inverts the matrix in place (computed in double precision) and returns true; returns false
  // and leaves it unchanged when it cannot be inverted (a pivot within FLT_EPSILON of zero).
  bool inverse();
  bool reverse() { return inverse(); }
  // True when the mapped y axis lies clockwise of the mapped x axis (the matrix mirrors).
  bool isMirror() const;

private:
  float m_a = 1;
  float m_b = 0;
  float m_c = 0;
  float m_d = 1;
  float m_e = 0;
  float m_f = 0;
};

} // namespace EKCommonNS
