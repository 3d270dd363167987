#include "ekcommon/values/EKTransMatrix.h"

#include <cfloat>
#include <cmath>
#include <utility>

namespace EKCommonNS {

EKTransMatrix EKTransMatrix::operator*(const EKTransMatrix& m) const {
  return EKTransMatrix(m_a * m.m_a + m_b * m.m_c, m_a * m.m_b + m_b * m.m_d, m_c * m.m_a + m_d * m.m_c,
                       m_c * m.m_b + m_d * m.m_d, m_e * m.m_a + m_f * m.m_c + m.m_e, m_e * m.m_b + m_f * m.m_d + m.m_f);
}

bool EKTransMatrix::operator==(const EKTransMatrix& m) const {
  return m_a == m.m_a && m_b == m.m_b && m_c == m.m_c && m_d == m.m_d && m_e == m.m_e && m_f == m.m_f;
}

EKPointT<float> EKTransMatrix::translate(float x, float y) const {
  return EKPointT<float>(m_a * x + m_c * y + m_e, m_b * x + m_d * y + m_f);
}

EKPointT<EKLength> EKTransMatrix::translate(EKLength x, EKLength y) const {
  const EKPointT<float> mapped = translate(static_cast<float>(x), static_cast<float>(y));
  return EKPointT<EKLength>(EKLength(mapped.x), EKLength(mapped.y));
}

EKPointT<double> EKTransMatrix::translateD(double x, double y) const {
  return EKPointT<double>(double(m_a) * x + double(m_c) * y + double(m_e),
                          double(m_b) * x + double(m_d) * y + double(m_f));
}

float EKTransMatrix::getAngleX() const { return std::atan2(m_b, m_a); }

float EKTransMatrix::getAngleY() const { return std::atan2(m_d, m_c); }

bool EKTransMatrix::inverse() {
  // Gauss-Jordan elimination of the linear part [a c; b d] beside the identity. A first pivot
  // too close to zero swaps the two rows, which is the same as multiplying by the swap matrix
  // [0 1; 1 0] first; the swap needs no undoing since the identity beside it was swapped too.
  double rows[2][4] = {{m_a, m_c, 1, 0}, {m_b, m_d, 0, 1}};
  const double tolerance = FLT_EPSILON;
  if (std::fabs(rows[0][0]) < tolerance)
    std::swap(rows[0], rows[1]);
  if (std::fabs(rows[0][0]) < tolerance)
    return false;
  for (int col = 3; col >= 0; --col)
    rows[0][col] /= rows[0][0];
  for (int col = 3; col >= 0; --col)
    rows[1][col] -= rows[1][0] * rows[0][col];
  if (std::fabs(rows[1][1]) < tolerance)
    return false;
  for (int col = 3; col >= 1; --col)
    rows[1][col] /= rows[1][1];
  for (int col = 3; col >= 1; --col)
    rows[0][col] -= rows[0][1] * rows[1][col];
  const double a = rows[0][2], c = rows[0][3], b = rows[1][2], d = rows[1][3];
  const double e = m_e, f = m_f;
  *this = EKTransMatrix(static_cast<float>(a), static_cast<float>(b), static_cast<float>(c), static_cast<float>(d),
                        static_cast<float>(-(a * e + c * f)), static_cast<float>(-(b * e + d * f)));
  return true;
}

bool EKTransMatrix::isMirror() const {
  float delta = getAngleY() - getAngleX();
  if (delta < 0)
    delta += 6.2831855f;
  return delta >= 3.1415927f;
}

} // namespace EKCommonNS
