// Float to int conversion for values and lengths: truncates toward zero, gives 0 for NaN and
// saturates where the float leaves the int range (a plain cast would be undefined there).
#pragma once

#include <climits>
#include <cmath>

namespace EKCommonNS {

inline int saturatingInt(float x) {
  if (std::isnan(x))
    return 0;
  if (x >= 2147483648.0f)
    return INT_MAX;
  if (x <= -2147483648.0f)
    return INT_MIN;
  return static_cast<int>(x);
}

} // namespace EKCommonNS
