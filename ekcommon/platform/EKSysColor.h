// System colours (the CSS 2 system colour names) without a desktop to ask: one fixed palette,
// the classic defaults of the desktop the colour indexes come from.
#pragma once

#include <cstdint>

namespace EKCommonNS {
namespace EKPlatform {

// Number of system colour indexes (0..SYS_COLOR_COUNT-1).
constexpr int SYS_COLOR_COUNT = 25;

// The colour of a system colour index as 0x00BBGGRR (red in the low byte); 0 outside the range.
uint32_t getSysColor(int index);

} // namespace EKPlatform
} // namespace EKCommonNS
