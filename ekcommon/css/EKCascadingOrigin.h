// Where a style sheet comes from, and the precedence number its declarations carry in the
// cascade: the higher number wins, so important user-agent rules beat everything and normal
// user-agent rules lose to everything.
#pragma once

#include <cstdint>

namespace EKCommonNS {

enum EKCascadingOrigin : int {
  EK_ORIGIN_USER_AGENT = 0,
  EK_ORIGIN_USER = 1,
  EK_ORIGIN_AUTHOR = 2,
};

// The precedence of a declaration of a sheet of this origin: 1/2/3 for normal user-agent, user and
// author declarations, 7/6/5 for important ones; 0 for any other origin.
constexpr uint32_t ekCascadePrecedence(int origin, bool important) {
  if (origin < EK_ORIGIN_USER_AGENT || origin > EK_ORIGIN_AUTHOR)
    return 0;
  return important ? 7u - static_cast<uint32_t>(origin) : 1u + static_cast<uint32_t>(origin);
}

// Whether precedence was given to declarations (normal or important) of a sheet of this origin.
// Always false for an origin outside the three known ones.
constexpr bool ekPrecedenceOfOrigin(uint32_t precedence, int origin) {
  return ekCascadePrecedence(origin, false) != 0 &&
         (precedence == ekCascadePrecedence(origin, false) || precedence == ekCascadePrecedence(origin, true));
}

} // namespace EKCommonNS
