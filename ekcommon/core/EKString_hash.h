// Hash functor for UnicodeString keys in unordered containers (ICU's own string hash).
#pragma once

#include "ekcommon/core/EKUnicode.h"

#include <cstddef>

namespace EKCommonNS {

struct EKString_hash {
  size_t operator()(const UnicodeString& s) const { return static_cast<size_t>(s.hashCode()); }
};

} // namespace EKCommonNS
