// A point of layout geometry with coordinates of float, double or EKLength, as affine matrices
// map them.
#pragma once

namespace EKCommonNS {

template <class T>
struct EKPointT {
  T x{};
  T y{};

  EKPointT() = default;
  EKPointT(T x_, T y_) : x(x_), y(y_) {}

  bool operator==(const EKPointT& other) const { return x == other.x && y == other.y; }
  bool operator!=(const EKPointT& other) const { return !(*this == other); }
};

} // namespace EKCommonNS
